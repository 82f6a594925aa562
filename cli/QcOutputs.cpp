#include "QcOutputs.h"

#include <algorithm>
#include <cstdio>

#include "JsonWriter.h"
#include "graphs/ReportPage.h"
#include "shell/ProgramVersion.h"

namespace kalvex::cli {
namespace {

QcOutcome OutcomeOf(const QcFileResult& file, const QcRun& run) {
  return {file.figures, run.profile, run.Provenance(file.sha256)};
}

struct Counts {
  int pass = 0, fail = 0, undecided = 0, refused = 0, abnormal = 0;
};

Counts CountOf(const std::vector<QcFileResult>& files, const QcRun& run) {
  Counts n;
  for (const QcFileResult& f : files) {
    if (f.refusedCode) {
      ++(f.abnormal ? n.abnormal : n.refused);
      continue;
    }
    const QcOverall o = FileOverall(f, run);
    (o == QcOverall::Pass ? n.pass : o == QcOverall::Fail ? n.fail : n.undecided)++;
  }
  return n;
}

std::string CsvNumber(const QcChannelFigures& c, QcFigureId id) {
  if (!c.Available(id)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", c.Value(id));
  return text;
}

// The settings that change the figures, as values and as one line.
void SettingsJson(JsonWriter& j, const QcRun& run) {
  const ProgramSettings& s = run.settings;
  j.Key("settings").BeginObject().Key("amplitudeFrame").Integer(s.AmplitudeFrame);
  j.Key("amplitudeStep").Integer(s.AmplitudeStep).Key("fftSize").String(InputSizeName(s.InputSize));
  j.Key("calibration").BeginArray();
  for (double c : s.ChannelCalibration) j.Number(c);
  j.EndArray().Key("minSpectrum").Integer(s.MinSpectrum);
  j.Key("minCorrelation").Integer(s.MinCorrelation).Key("text").String(run.settingsText);
  j.EndObject();
}

void LimitsJson(JsonWriter& j, const LimitProfile& profile) {
  j.BeginObject();
  for (const QcFigureKind& k : QcFigureKinds()) {
    const FigureLimit& l = profile.Of(k.id);
    j.Key(k.key).BeginObject().Key("unit").String(k.unit).Key("min");
    l.min ? j.Number(*l.min) : j.Null();
    j.Key("max");
    l.max ? j.Number(*l.max) : j.Null();
    j.EndObject();
  }
  j.EndObject();
}

void ChannelJson(JsonWriter& j, const QcOutcome& outcome, const QcChannelFigures& c) {
  j.BeginObject().Key("channel").Integer(c.channel).Key("name").String(c.name);
  j.Key("figures").BeginObject();
  for (const QcFigureKind& k : QcFigureKinds()) {
    j.Key(k.key).BeginObject().Key("value");
    c.Available(k.id) ? j.Number(c.Value(k.id)) : j.Null();
    j.Key("verdict").String(VerdictText(outcome.VerdictOf(c, k.id))).EndObject();
  }
  j.EndObject().Key("verdict").String(OverallText(outcome.ChannelOverall(c))).EndObject();
}

void FileJson(JsonWriter& j, const QcFileResult& f, const QcRun& run) {
  j.BeginObject().Key("path").String(f.path).Key("sha256");
  f.sha256.empty() ? j.Null() : j.String(f.sha256);
  if (f.refusedCode) {
    j.Key("status").String(f.abnormal ? "abnormal" : "refused");
    j.Key("reason").String(f.reason).EndObject();
    return;
  }
  const QcOutcome outcome = OutcomeOf(f, run);
  j.Key("status").String("checked").Key("mode").Integer(f.mode).Key("modeName").String(f.modeName);
  j.Key("sweepFrames").Integer(f.figures.sweepFrames);
  j.Key("verdict").String(OverallText(outcome.Overall()));
  j.Key("channels").BeginArray();
  for (const QcChannelFigures& c : f.figures.channels) ChannelJson(j, outcome, c);
  j.EndArray().EndObject();
}

}  // namespace

std::string Padded(std::string text, std::size_t width, bool right) {
  std::size_t chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  if (chars >= width) return text;
  const std::string pad(width - chars, ' ');
  return right ? pad + text : text + pad;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

QcOverall FileOverall(const QcFileResult& file, const QcRun& run) {
  return OutcomeOf(file, run).Overall();
}

std::string QcTable(const std::vector<QcFileResult>& files, const QcRun& run) {
  std::size_t fileWidth = 4;
  for (const QcFileResult& f : files) fileWidth = std::max(fileWidth, f.path.size());
  fileWidth = std::min<std::size_t>(fileWidth, 48);
  std::string out = "Profile: " + run.profile.name + " (" + run.profileSource + ")\n";
  auto row = [&](const std::string& file, const std::string& mode, const std::string& channel) {
    return Padded(file, fileWidth) + "  " + Padded(mode, 10) + "  " + Padded(channel, 8);
  };
  out += row("FILE", "MODE", "CHANNEL");
  for (const QcFigureKind& k : QcFigureKinds()) out += Padded(k.label, 11, true);
  out += "  VERDICT\n" + row("", "", "limits");
  for (const QcFigureKind& k : QcFigureKinds())
    out += Padded(LimitText(run.profile.Of(k.id)), 11, true);
  out += "\n";
  for (const QcFileResult& f : files) {
    if (f.refusedCode) {
      out += row(f.path, "-", "-") + (f.abnormal ? "  " : "  refused: ") + f.reason + "\n";
      continue;
    }
    const QcOutcome outcome = OutcomeOf(f, run);
    if (f.figures.channels.empty()) out += row(f.path, f.modeName, "-") + "  UNDECIDED\n";
    for (const QcChannelFigures& c : f.figures.channels) {
      out += row(f.path, f.modeName, c.name);
      for (const QcFigureKind& k : QcFigureKinds()) {
        const bool failed = outcome.VerdictOf(c, k.id) == QcVerdict::Fail;
        out += Padded(FigureText(c, k.id) + (failed ? "*" : " "), 11, true);
      }
      out += std::string("  ") + OverallText(outcome.ChannelOverall(c)) + "\n";
    }
  }
  const Counts n = CountOf(files, run);
  out += std::to_string(files.size()) + (files.size() == 1 ? " file: " : " files: ") +
         std::to_string(n.pass) + " passed, " + std::to_string(n.fail) + " failed, " +
         std::to_string(n.undecided) + " undecided, " + std::to_string(n.refused) + " refused" +
         (n.abnormal ? ", " + std::to_string(n.abnormal) + " ended abnormally" : std::string()) +
         " (* outside its limit)\n";
  return out;
}

std::string QcJson(const std::vector<QcFileResult>& files, const QcRun& run) {
  JsonWriter j;
  j.BeginObject().Key("program").String("Kalvex").Key("version").String(ProgramVersionAndBuild());
  SettingsJson(j, run);
  j.Key("profile").BeginObject().Key("name").String(run.profile.name);
  j.Key("source").String(run.profileSource).Key("limits");
  LimitsJson(j, run.profile);
  j.EndObject().Key("files").BeginArray();
  for (const QcFileResult& f : files) FileJson(j, f, run);
  const Counts n = CountOf(files, run);
  j.EndArray().Key("summary").BeginObject().Key("files").Integer(
      static_cast<long long>(files.size()));
  j.Key("passed").Integer(n.pass).Key("failed").Integer(n.fail);
  j.Key("undecided").Integer(n.undecided).Key("refused").Integer(n.refused);
  j.Key("abnormal").Integer(n.abnormal);
  j.EndObject().EndObject();
  return j.Text() + "\n";
}

std::string QcCsv(const std::vector<QcFileResult>& files, const QcRun& run) {
  std::string out = "file,sha256,mode,channel";
  for (const QcFigureKind& k : QcFigureKinds()) out += std::string(",") + k.key;
  out += ",verdict,failed,reason,version,settings,profile\r\n";
  const std::string tail = "," + CsvField(ProgramVersionAndBuild()) + "," + CsvField(run.settingsText) +
                           "," + CsvField(run.profile.name + " (" + run.profileSource + ")") +
                           "\r\n";
  for (const QcFileResult& f : files) {
    const std::string head = CsvField(f.path) + "," + f.sha256 + ",";
    if (f.refusedCode) {
      out += head + ",," + std::string(QcFigureCount, ',') + (f.abnormal ? "ABNORMAL" : "REFUSED") +
             ",," + CsvField(f.reason) + tail;
      continue;
    }
    const QcOutcome outcome = OutcomeOf(f, run);
    if (f.figures.channels.empty())
      out += head + CsvField(f.modeName) + ",," + std::string(QcFigureCount, ',') + "UNDECIDED,," +
             tail;
    for (const QcChannelFigures& c : f.figures.channels) {
      out += head + CsvField(f.modeName) + "," + CsvField(c.name);
      for (const QcFigureKind& k : QcFigureKinds()) out += "," + CsvNumber(c, k.id);
      out += std::string(",") + OverallText(outcome.ChannelOverall(c)) + "," +
             CsvField(outcome.FailedKeys(c)) + "," + tail;
    }
  }
  return out;
}

}  // namespace kalvex::cli

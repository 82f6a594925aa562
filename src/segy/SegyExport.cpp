#include "segy/SegyExport.h"

#include <cstdio>

#include "analysis/UnitFactors.h"
#include "recordings/Cp1251.h"
#include "recordings/RecordingHeader.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramVersion.h"

namespace kalvex {
namespace {

constexpr int kUnitCode = 0;  // the first Signal Traces window's unit of every channel
constexpr int kSweepTraceId = 6;

// Latin letters for the Russian Windows code page's А..я (0xC0..0xFF).
constexpr const char* kLatin[64] = {
    "A", "B", "V", "G", "D", "E",  "Zh", "Z",  "I",  "Y",    "K", "L", "M", "N", "O",  "P",
    "R", "S", "T", "U", "F", "Kh", "Ts", "Ch", "Sh", "Shch", "",  "Y", "",  "E", "Yu", "Ya",
    "a", "b", "v", "g", "d", "e",  "zh", "z",  "i",  "y",    "k", "l", "m", "n", "o",  "p",
    "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya"};

bool HasDerived(int mode) {
  return mode == Velnarund || mode == Tarpokline || mode == Dodida;
}

std::string Printf(const char* format, double a, double b = 0, double c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

std::string HeaderText(const TFrmFile& rec, std::size_t at, std::size_t size) {
  std::string text;
  for (std::size_t i = at; i < at + size; ++i) {
    const auto c = static_cast<char>(rec.FileHeader[i]);
    if (c >= 0x20 && c <= 0x7E) text += c;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The test parameters the mode keeps.
std::vector<std::string> ParameterLines(const TFrmFile& rec) {
  std::vector<std::string> lines;
  const bool massAndPlate = rec.Mode == Velnarund || rec.Mode == Tarpokline || rec.Mode == Dodida;
  if (rec.Mode != Tarpokline)
    lines.push_back(Printf("HOLD-DOWN WEIGHT %.0f KG", rec.HoldDownWeight));
  if (massAndPlate) {
    lines.push_back(Printf("BASEPLATE %.0f KG  REACTION MASS %.0f KG", rec.BaseplateWeight,
                           rec.ReactionMassWeight));
    lines.push_back(Printf("ACCELEROMETERS RM %g MV/G  BP %g MV/G", rec.MassAccSensitivity,
                           rec.BaseplateAccSensitivity));
  }
  if (rec.Mode == Velnarund)
    lines.push_back(Printf("SERVO CURRENT FACTOR %g MV/MA", rec.ServoCurrentFactor));
  if (rec.Mode == Tarpokline)
    lines.push_back(Printf("SOURCE FACTORS %g V/KV  %g V/KA  %g V/M", rec.SourceVoltageFactor,
                           rec.SourceCurrentFactor, rec.SourceSensorFactor));
  if (rec.Mode == Similarity) lines.push_back(Printf("TEST OUT %g", rec.TestOut));
  return lines;
}

std::vector<std::string> TextLines(const AnalysisContext& ctx, const SegyExportChoices& choices,
                                   const SegyImage& image) {
  const TFrmFile& rec = ctx.rec;
  std::vector<std::string> lines = {
      "KALVEX VIBRATOR TEST RECORD  PROGRAM VERSION " + ProgramVersion(),
      "FILE " + AsciiText(choices.fileName),
      "MODE " + std::to_string(rec.Mode) + " " + std::string(ModeName(rec.Mode)) + "  RECORDED " +
          HeaderText(rec, header::Date, 10) + " " + HeaderText(rec, header::Time, 10),
      Printf("SAMPLE RATE %.0f HZ  RECORD %.0f SAMPLES  SWEEP %.0f SAMPLES", rec.SampleRate,
             rec.RecordLength, rec.SweepLength)};
  const std::string comment = AsciiText(rec.Comment);
  lines.push_back("COMMENT " + comment.substr(0, 60));
  if (comment.size() > 60) lines.push_back("        " + comment.substr(60));
  for (std::string& line : ParameterLines(rec)) lines.push_back(std::move(line));
  if (image.sweep.startHz || image.sweep.endHz)
    lines.push_back(Printf("SWEEP %.0f-%.0f HZ  TYPE CODE %.0f", image.sweep.startHz,
                           image.sweep.endHz, image.sweep.typeCode));
  lines.push_back("TRACE  CHANNEL  NAME      UNIT");
  for (std::size_t k = 0; k < image.traces.size(); ++k) {
    const SegyTrace& t = image.traces[k];
    char line[80];
    std::snprintf(line, sizeof line, "%5zu  %7d  %-8s  %s", k + 1, t.channelNumber,
                  AsciiText(t.name).c_str(),
                  AsciiText(UnitName(rec.Mode, t.channelNumber - 1, kUnitCode)).c_str());
    lines.push_back(line);
  }
  return lines;
}

// 40 card images "C nn ...", the last two as revision 1 asks.
std::string CardImages(std::vector<std::string> lines) {
  lines.resize(SegyTextLines - 2);
  lines.push_back("SEG Y REV1");
  lines.push_back("END TEXTUAL HEADER");
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    std::string card = "C" + std::string(number.size() < 2 ? " " : "") + number + " " + lines[i];
    card.resize(SegyTextLineLength, ' ');
    text += card;
  }
  return text;
}

SegyTrace TraceOf(const AnalysisContext& ctx, int slot) {
  const TFrmFile& rec = ctx.rec;
  SegyTrace t;
  t.channelNumber = slot + 1;
  t.traceId = slot == 0 ? kSweepTraceId : 1;
  t.name = Utf8Prefix(rec.ChannelName(rec.Mode, slot), ChannelNameMaxChars);
  const double factor = UnitFactor(ctx, rec.Mode, slot, kUnitCode);
  t.values.assign(rec.RecordLength, 0.0f);
  if (slot == ChannelCount(rec.Mode)) {
    if (!rec.DerivedChannel) return t;
    const auto& v = rec.DerivedChannel->Values;
    for (std::size_t i = 0; i < t.values.size() && i < v.size(); ++i)
      t.values[i] = static_cast<float>(v[i] * factor);
  } else if (rec.Channels[slot]) {
    const auto& s = rec.Channels[slot]->Samples;
    for (std::size_t i = 0; i < t.values.size() && i < s.size(); ++i)
      t.values[i] = static_cast<float>(s[i] * factor);
  }
  return t;
}

}  // namespace

std::vector<int> ExportedChannels(const TFrmFile& rec) {
  std::vector<int> slots;
  for (int slot = 0; slot < ChannelCount(rec.Mode); ++slot)
    if (rec.Mode != Similarity || slot == 0 || rec.SimilarityChannels[slot].Present)
      slots.push_back(slot);
  if (HasDerived(rec.Mode)) slots.push_back(ChannelCount(rec.Mode));
  return slots;
}

SegyImage RecordingAsSegy(const AnalysisContext& ctx, const SegyExportChoices& choices) {
  const TFrmFile& rec = ctx.rec;
  SegyImage image;
  image.intervalUs = rec.SampleRate > 0 ? 1000000 / rec.SampleRate : 0;
  image.sweep = {
      choices.sweepStartHz, choices.sweepEndHz,
      rec.SampleRate > 0 ? static_cast<int>(1000L * rec.SweepLength / rec.SampleRate) : 0,
      choices.sweepTypeCode};
  for (int slot : ExportedChannels(rec)) image.traces.push_back(TraceOf(ctx, slot));
  image.text = CardImages(TextLines(ctx, choices, image));
  return image;
}

std::string AsciiText(const std::string& utf8) {
  std::string out;
  for (char ch : Utf8ToCp1251(utf8)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c <= 0x7E)
      out += ch;
    else if (c >= 0xC0)
      out += kLatin[c - 0xC0];
    else if (c == 0xA8 || c == 0xB8)
      out += c == 0xA8 ? "Yo" : "yo";
    else
      out += '?';
  }
  return out;
}

}  // namespace kalvex

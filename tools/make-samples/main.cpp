// Writes recordings of vibrator tests made from the vibrator model, with the
// project's own writer: the bundled samples (one healthy vibrator per
// recording mode and one faulty vibrator), or one recording with the faults,
// time, comment and noise seed asked for. Dates and times are fixed or given,
// so the files come out the same on every run.

#include <QDir>
#include <QString>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "ModelRecording.h"
#include "platform/FileAccess.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/UserInteraction.h"

namespace {

using namespace kalvex;

const char* Usage() {
  return "usage: kalvex-make-samples OUTDIR\n"
         "       kalvex-make-samples --record OUT.qrm --mode M [--rate-index K] [--seconds T]\n"
         "                           [--time YYYY-MM-DDTHH:MM:SS] [--comment TEXT] [--seed N]\n"
         "                           [--start-hz F] [--end-hz F] [fault options]\n"
         "Writes the bundled sample recordings into OUTDIR, or with --record one recording\n"
         "of a vibrator test made from the vibrator model:\n"
         "  --mode M             recording mode 0..4\n"
         "  --rate-index K       sample rate 500 << K per second, K 0..4 (default 1)\n"
         "  --seconds T          sweep seconds (default 8)\n"
         "  --time T             date and time written into the header (default "
         "2026-12-01T10:00:00)\n"
         "  --comment TEXT       the recording's comment (at most 96 characters are kept)\n"
         "  --seed N             the vibrator's small traits and its sensor noise (default 1)\n"
         "  --start-hz F, --end-hz F  the linear sweep (default 10 to 110 Hz)\n"
         "Faults (none: a healthy vibrator):\n";
}

struct RecordRequest {
  int mode = Dodida;
  int sampleRateIndex = 1;
  int seconds = 8;
  LocalDateTime time{2026, 12, 1, 10, 0, 0};
  std::string comment;
  std::uint64_t seed = 1;
  vibmodel::Sweep sweep;
  vibmodel::Faults faults;
};

struct SampleFile {
  const char* fileName;
  RecordRequest record;
};

void SetParameters(TFrmFile& rec, const RecordRequest& r, ProcessValues& values) {
  rec.Mode = static_cast<std::uint8_t>(r.mode);
  values.SampleRateIndex = r.sampleRateIndex;
  rec.SweepSeconds = static_cast<std::uint16_t>(r.seconds);
  rec.Comment = r.comment;
  rec.HoldDownWeight = 20000;
  rec.ReactionMassWeight = 4000;
  rec.BaseplateWeight = 1800;
  rec.MassAccSensitivity = 100;
  rec.BaseplateAccSensitivity = 100;
  rec.ServoCurrentFactor = 1;
  rec.TriggerLevel = 1;
  rec.SourceVoltageFactor = rec.SourceCurrentFactor = rec.SourceSensorFactor = 1;
  // The similarity vibrators' force signals come out at about 0.35 V.
  rec.TestOut = 0.1;
  if (r.mode == Similarity) {
    ResetSimilarityChannels(rec);
    rec.SimilarityChannels[1] = {true, false, "VIB1"};
    rec.SimilarityChannels[2] = {true, false, "VIB2"};
    rec.SimilarityChannels[3] = {true, true, "VIB3"};
  }
}

// Refusals go to stderr.
struct StderrInteraction : UserInteraction {
  void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
};

// 0 when written; 2 when the parameters are refused (the reason on stderr);
// 3 when the file cannot be written.
int Write(const QString& path, const RecordRequest& r) {
  TFrmFile rec;
  ProcessValues values;
  SetParameters(rec, r, values);
  StderrInteraction ui;
  if (!vibmodel::GenerateModelRecord(rec, values, ProgramSettings{}, r.time, ui, r.sweep, r.faults,
                                     r.seed))
    return 2;
  std::vector<std::uint8_t> bytes;
  if (!WriteRecording(rec, values, true, r.time, bytes)) return 2;
  const std::string reason = SaveFileAtomically(NativePath(path), bytes);
  if (!reason.empty()) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), reason.c_str());
    return 3;
  }
  std::printf("%s\n", qPrintable(path));
  return 0;
}

int WriteSamples(const QString& dir) {
  auto sample = [](int mode, int rateIndex, int seconds, const char* comment, std::uint64_t seed) {
    RecordRequest r;
    r.mode = mode;
    r.sampleRateIndex = rateIndex;
    r.seconds = seconds;
    r.comment = comment;
    r.seed = seed;
    return r;
  };
  RecordRequest faulty =
      sample(Dodida, 1, 8, "Sample: Dodida vibrator with 20 % harmonic distortion", 6);
  faulty.faults.distortion = 20;
  const SampleFile files[] = {
      {"velnarund.qrm", sample(Velnarund, 1, 8, "Sample: Velnarund vibrator 8 s", 1)},
      {"tarpokline.qrm", sample(Tarpokline, 1, 6, "Sample: Tarpokline vibrator 6 s", 2)},
      {"similarity.qrm",
       sample(Similarity, 0, 10, "Sample: Similarity of three vibrators, VIB3 x8", 3)},
      {"dodida.qrm", sample(Dodida, 1, 8, "Sample: Dodida vibrator 8 s", 4)},
      {"ombrel16.qrm", sample(Ombrel16, 1, 6, "Sample: Ombrel16 vibrator 6 s", 5)},
      {"faulty-vibrator.qrm", faulty},
  };
  QDir().mkpath(dir);
  for (const SampleFile& f : files)
    if (const int status = Write(QDir(dir).filePath(f.fileName), f.record)) return status;
  return 0;
}

bool ParseWhole(const char* text, long low, long high, long& value) {
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && p == end && p != text && value >= low && value <= high;
}

bool ParseReal(const char* text, double& value) {
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && p == end && p != text;
}

// YYYY-MM-DDTHH:MM:SS.
std::optional<LocalDateTime> ParseTime(const std::string& text) {
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':')
    return std::nullopt;
  struct Field {
    int at, size;
    long low, high;
    int LocalDateTime::*member;
  };
  constexpr Field fields[] = {
      {0, 4, 1980, 2099, &LocalDateTime::Year}, {5, 2, 1, 12, &LocalDateTime::Month},
      {8, 2, 1, 31, &LocalDateTime::Day},       {11, 2, 0, 23, &LocalDateTime::Hour},
      {14, 2, 0, 59, &LocalDateTime::Minute},   {17, 2, 0, 59, &LocalDateTime::Second}};
  LocalDateTime t;
  for (const Field& f : fields) {
    const std::string part = text.substr(f.at, f.size);
    long v = 0;
    if (part.find_first_not_of("0123456789") != std::string::npos ||
        !ParseWhole(part.c_str(), f.low, f.high, v))
      return std::nullopt;
    t.*f.member = static_cast<int>(v);
  }
  return t;
}

int Refuse(const std::string& why) {
  std::fprintf(stderr, "kalvex-make-samples: %s\n(kalvex-make-samples --help lists the options)\n",
               why.c_str());
  return 1;
}

int WriteOneRecord(int argc, char** argv) {
  RecordRequest r;
  r.comment = "Vibrator model record";
  std::string out;
  bool modeGiven = false;
  for (int a = 1; a < argc; ++a) {
    const std::string name = argv[a];
    if (a + 1 >= argc) return Refuse(name + " needs a value");
    const char* v = argv[++a];
    long whole = 0;
    std::string error;
    if (name == "--record") {
      out = v;
    } else if (name == "--mode") {
      if (!ParseWhole(v, 0, 4, whole)) return Refuse("--mode is 0..4");
      r.mode = static_cast<int>(whole);
      modeGiven = true;
    } else if (name == "--rate-index") {
      if (!ParseWhole(v, 0, 4, whole)) return Refuse("--rate-index is 0..4");
      r.sampleRateIndex = static_cast<int>(whole);
    } else if (name == "--seconds") {
      if (!ParseWhole(v, 1, 130, whole)) return Refuse("--seconds is 1..130");
      r.seconds = static_cast<int>(whole);
    } else if (name == "--time") {
      const auto t = ParseTime(v);
      if (!t) return Refuse(std::string("--time is YYYY-MM-DDTHH:MM:SS: ") + v);
      r.time = *t;
    } else if (name == "--comment") {
      r.comment = v;
    } else if (name == "--seed") {
      if (!ParseWhole(v, 0, 2147483647, whole)) return Refuse("--seed is a whole number from 0 up");
      r.seed = static_cast<std::uint64_t>(whole);
    } else if (name == "--start-hz" || name == "--end-hz") {
      double hz = 0;
      if (!ParseReal(v, hz) || !(hz > 0 && hz < 4000))
        return Refuse(name + " is a frequency in Hz");
      (name == "--start-hz" ? r.sweep.startHz : r.sweep.endHz) = hz;
    } else if (vibmodel::IsFaultOption(name)) {
      if (!vibmodel::ParseFaultOption(name, v, r.faults, error)) return Refuse(error);
    } else {
      return Refuse("unknown option: " + name);
    }
  }
  if (out.empty() || !modeGiven) return Refuse("--record OUT.qrm and --mode M are required");
  if (const std::string why = vibmodel::CheckFaults(r.faults, r.mode); !why.empty())
    return Refuse(why);
  return Write(QString::fromLocal8Bit(out.c_str()), r);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf("%s%s", Usage(), vibmodel::FaultOptionsUsage());
    return 0;
  }
  if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0) return WriteOneRecord(argc, argv);
  if (argc != 2) return Refuse("give OUTDIR, or --record OUT.qrm and --mode M");
  return WriteSamples(QString::fromLocal8Bit(argv[1]));
}

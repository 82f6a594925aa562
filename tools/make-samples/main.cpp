// Writes the bundled sample recordings, one per recording mode: the
// synthetic test signal of the mode, written by the project's own writer.
// The date and time are fixed so that the files come out the same on every
// run.
//
// usage: kalvex-make-samples OUTDIR

#include <QDir>
#include <QString>
#include <cstdio>

#include "acquisition/SyntheticSignal.h"
#include "platform/FileAccess.h"
#include "recordings/DerivedValues.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/UserInteraction.h"

namespace {

using namespace kalvex;

struct SampleFile {
  int mode;
  const char* fileName;
  int sampleRateIndex;
  int seconds;
  const char* comment;
};

void SetParameters(TFrmFile& rec, const SampleFile& sample, ProcessValues& values) {
  rec.Mode = static_cast<std::uint8_t>(sample.mode);
  values.SampleRateIndex = sample.sampleRateIndex;
  rec.SweepSeconds = static_cast<std::uint16_t>(sample.seconds);
  rec.Comment = sample.comment;
  rec.HoldDownWeight = 20000;
  rec.ReactionMassWeight = 4000;
  rec.BaseplateWeight = 1800;
  rec.MassAccSensitivity = 100;
  rec.BaseplateAccSensitivity = 100;
  rec.ServoCurrentFactor = 1;
  rec.TriggerLevel = 1;
  rec.SourceVoltageFactor = rec.SourceCurrentFactor = rec.SourceSensorFactor = 1;
  rec.TestOut = 1;
  if (sample.mode == Similarity) {
    ResetSimilarityChannels(rec);
    rec.SimilarityChannels[1] = {true, false, "VIB1"};
    rec.SimilarityChannels[2] = {true, false, "VIB2"};
    rec.SimilarityChannels[3] = {true, true, "VIB3"};
  }
}

// Refusals go to stderr: the sample parameters are fixed, so one means a fault.
struct StderrInteraction : UserInteraction {
  void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool AskYesNo(const std::string&) override { return false; }
};

bool WriteSample(const QString& dir, const SampleFile& sample) {
  TFrmFile rec;
  ProcessValues values;
  SetParameters(rec, sample, values);
  const LocalDateTime fixedTime{2026, 12, 1, 10, 0, 0};
  StderrInteraction ui;
  if (!GenerateSyntheticRecord(rec, values, ProgramSettings{}, fixedTime, ui)) return false;
  std::vector<std::uint8_t> bytes;
  if (!WriteRecording(rec, values, true, fixedTime, bytes)) return false;
  QString path = QDir(dir).filePath(sample.fileName);
  const std::string reason = SaveFileAtomically(NativePath(path), bytes);
  if (!reason.empty()) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), reason.c_str());
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kalvex-make-samples OUTDIR\n");
    return 1;
  }
  const SampleFile files[] = {
      {Velnarund, "velnarund.qrm", 1, 8, "Sample: Velnarund synthetic signal 8 s"},
      {Tarpokline, "tarpokline.qrm", 1, 6, "Sample: Tarpokline synthetic signal 6 s"},
      {Similarity, "similarity.qrm", 0, 10, "Sample: Similarity synthetic signal, VIB3 x8"},
      {Dodida, "dodida.qrm", 1, 8, "Sample: Dodida synthetic signal 8 s"},
      {Ombrel16, "ombrel16.qrm", 1, 6, "Sample: Ombrel16 synthetic signal 6 s"},
  };
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));
  for (const SampleFile& sample : files)
    if (!WriteSample(QString::fromLocal8Bit(argv[1]), sample)) return 3;
  return 0;
}

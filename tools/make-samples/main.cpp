// Writes the bundled sample recordings, one per recording mode, from signals
// computed here: a linear reference sweep and channels that follow it with the
// gain, phase lag and distortion a working vibrator shows. The date in the
// header is fixed so that the files come out the same on every run.
//
// usage: kalvex-make-samples OUTDIR

#include <QDir>
#include <QString>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/FileAccess.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"

namespace {

using namespace kalvex;

struct SampleFile {
  int mode;
  const char* fileName;
  int sampleRateIndex;
  int seconds;
  const char* comment;
};

// One channel: a fraction of full scale, a phase lag in degrees and a second
// harmonic in percent of the fundamental.
struct Response {
  double gain;
  double lagDegrees;
  double secondHarmonic;
};

constexpr double kStartHz = 8;
constexpr double kEndHz = 80;

std::vector<std::int16_t> SweepChannel(int rate, int sweepSamples, int recordSamples, Response r) {
  std::vector<std::int16_t> out(recordSamples, 0);
  const double seconds = static_cast<double>(sweepSamples) / rate;
  const double lag = r.lagDegrees * std::numbers::pi / 180;
  for (int i = 0; i < sweepSamples; ++i) {
    double t = static_cast<double>(i) / rate;
    double phase =
        2 * std::numbers::pi * (kStartHz * t + (kEndHz - kStartHz) * t * t / (2 * seconds));
    // Short cosine tapers at both ends, as a vibrator controller applies.
    double taper = std::min({1.0, t / 0.25, (seconds - t) / 0.25});
    double v = std::sin(phase - lag) + r.secondHarmonic / 100 * std::sin(2 * (phase - lag));
    out[i] = static_cast<std::int16_t>(
        std::lround(32767 * r.gain * taper * v / (1 + r.secondHarmonic / 100)));
  }
  return out;
}

void Fill(TFrmFile& rec, int slot, std::vector<std::int16_t> samples) {
  rec.Channels[slot] = std::make_unique<SampleArray>();
  rec.Channels[slot]->Samples = std::move(samples);
}

std::vector<Response> ResponsesOf(int mode) {
  switch (mode) {
    case Velnarund:  // REF, current, valve, mass, RM, BP
      return {{0.8, 0, 0}, {0.3, 20, 1}, {0.5, 35, 2}, {0.2, 90, 1}, {0.6, 175, 4}, {0.45, 10, 6}};
    case Tarpokline:  // REF, voltage, current, sensor, RM, BP
      return {{0.8, 0, 0}, {0.7, 5, 1}, {0.4, 30, 3}, {0.3, 60, 2}, {0.6, 170, 5}, {0.45, 12, 7}};
    case Similarity:  // REF and three vibrators; the third recorded through x8
      return {{0.8, 0, 0}, {0.5, 8, 3}, {0.48, 12, 4}, {0.06, 15, 5}, {0, 0, 0}, {0, 0, 0}};
    case Dodida:  // REF, RM, BP
      return {{0.8, 0, 0}, {0.6, 172, 4}, {0.45, 9, 6}};
    default:  // REF, VIB
      return {{0.8, 0, 0}, {0.55, 14, 5}};
  }
}

void SetParameters(TFrmFile& rec, const SampleFile& sample, ProcessValues& values) {
  rec.Mode = static_cast<std::uint8_t>(sample.mode);
  values.SampleRateIndex = sample.sampleRateIndex;
  rec.SampleRate = static_cast<std::uint16_t>(500 << sample.sampleRateIndex);
  rec.SweepSeconds = static_cast<std::uint16_t>(sample.seconds);
  rec.SweepLength = static_cast<std::uint16_t>(rec.SampleRate * sample.seconds);
  rec.RecordLength = static_cast<std::uint16_t>(rec.SweepLength + 500);
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
    rec.SimilarityChannels[0] = {true, false, "REF"};
    rec.SimilarityChannels[1] = {true, false, "VIB1"};
    rec.SimilarityChannels[2] = {true, false, "VIB2"};
    rec.SimilarityChannels[3] = {true, true, "VIB3"};
    for (int i = 4; i <= 5; ++i)
      rec.SimilarityChannels[i] = {false, false, std::string("CH").append(std::to_string(i))};
  }
}

bool WriteSample(const QString& dir, const SampleFile& sample) {
  TFrmFile rec;
  ProcessValues values;
  SetParameters(rec, sample, values);
  auto responses = ResponsesOf(sample.mode);
  for (std::size_t slot = 0; slot < responses.size(); ++slot)
    Fill(rec, static_cast<int>(slot),
         SweepChannel(rec.SampleRate, rec.SweepLength, rec.RecordLength, responses[slot]));
  std::vector<std::uint8_t> bytes;
  const LocalDateTime fixedDate{2026, 12, 1, 10, 0, 0};
  if (!WriteRecording(rec, values, true, fixedDate, bytes)) return false;
  QString path = QDir(dir).filePath(sample.fileName);
  QString reason = SaveFileAtomically(path, bytes);
  if (!reason.isEmpty()) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(reason));
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
      {Velnarund, "velnarund.qrm", 1, 8, "Sample: Velnarund 8-80 Hz 8 s"},
      {Tarpokline, "tarpokline.qrm", 1, 6, "Sample: Tarpokline 8-80 Hz 6 s"},
      {Similarity, "similarity.qrm", 0, 10, "Sample: Similarity, three vibrators, VIB3 x8"},
      {Dodida, "dodida.qrm", 1, 8, "Sample: Dodida 8-80 Hz 8 s"},
      {Ombrel16, "ombrel16.qrm", 1, 6, "Sample: Ombrel16 8-80 Hz 6 s"},
  };
  QDir().mkpath(QString::fromLocal8Bit(argv[1]));
  for (const SampleFile& sample : files)
    if (!WriteSample(QString::fromLocal8Bit(argv[1]), sample)) return 3;
  return 0;
}

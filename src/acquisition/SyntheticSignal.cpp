#include "acquisition/SyntheticSignal.h"

#include <cmath>
#include <numbers>

#include "acquisition/RecordName.h"
#include "recordings/DerivedValues.h"
#include "recordings/ParameterChecks.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRadiansPerDegree = kPi / 180;

// A fundamental with a phase drift and harmonics 2..5 with their envelopes:
// the 2nd and 4th fade out by mid-sweep, the 5th by a third, the 3rd by the end.
struct Recipe {
  double a1, drift, a2, a3, a4, a5, p2, p3, p4, p5;  // drift and phases in degrees
};

double Harmonics(const Recipe& r, double a1, int i, int n, int fs) {
  const double x = static_cast<double>(i) / n;
  const double f = 10 + 50.0 * i / n;
  auto phase = [&](int h) { return f * 2 * kPi * h * i / fs; };
  const bool firstHalf = i < n / 2;
  const bool firstThird = i < n / 3.0;
  return a1 * std::sin(phase(1) + r.drift * x * kRadiansPerDegree) +
         (firstHalf ? r.a2 * (1 - 2 * x) * std::sin(phase(2) + r.p2 * kRadiansPerDegree) : 0) +
         r.a3 * (1 - x) * std::sin(phase(3) + r.p3 * kRadiansPerDegree) +
         (firstHalf ? r.a4 * (1 - 2 * x) * std::sin(phase(4) + r.p4 * kRadiansPerDegree) : 0) +
         (firstThird ? r.a5 * (1 - 3 * x) * std::sin(phase(5) + r.p5 * kRadiansPerDegree) : 0);
}

// Half-second raised-cosine ramps at both ends of the sweep.
double Taper(int i, int n, int fs) {
  if (i < fs / 2.0) return 0.5 - 0.5 * std::cos(2 * kPi * i / fs);
  if (i > n - fs / 2.0) return 0.5 - 0.5 * std::cos(2 * kPi * (n - i) / fs);
  return 1;
}

double Response(int mode, int channel, int i, int n, int fs) {
  const double x = static_cast<double>(i) / n;
  if (mode == Dodida) {
    if (channel == 1)
      return Harmonics({0, 90, 1310, 983, 655, 820, 20, 30, -20, -30}, 6554 * (1 - 0.5 * x), i, n,
                       fs);
    return Harmonics({0, -180, 655, 983, 328, 492, 110, 120, -110, -120}, 3276 * (0.2 + 0.8 * x), i,
                     n, fs);
  }
  if (mode == Ombrel16)
    return Harmonics({16384, 5, 3276, 4915, 1638, 2458, 20, 30, -20, -30}, 16384, i, n, fs);
  static constexpr double drifts[] = {0, 10, 5, 0, -5, -10};
  const Recipe r{1638, drifts[channel], 328, 492, 164, 262, 20, 30, -20, -30};
  return Harmonics(r, r.a1, i, n, fs);
}

}  // namespace

double SyntheticSample(int mode, int channel, int i, int n, int fs, int sign) {
  const double w = Taper(i, n, fs);
  if (channel == 0) {
    const double amplitude = mode == Dodida || mode == Ombrel16 ? 31948 : 6710;
    return amplitude * w * std::sin((10 + 50.0 * i / n) * 2 * kPi * i / fs);
  }
  return sign * w * Response(mode, channel, i, n, fs);
}

bool GenerateSyntheticRecord(TFrmFile& rec, const ProcessValues& values,
                             const ProgramSettings& settings, const LocalDateTime& now,
                             UserInteraction& ui) {
  if (values.SampleRateIndex < 0 || values.SampleRateIndex > 4) {
    ui.ShowError(Text(TextId::BadTimeInterval));
    return false;
  }
  const int fs = 500 << values.SampleRateIndex;
  rec.SampleRate = static_cast<std::uint16_t>(fs);
  if (!CheckParametersEntered(rec, ui)) return false;
  // The record (sweep + 500 samples) must fit its 16-bit length.
  if (!RecordFits(values.SampleRateIndex, rec.SweepSeconds)) {
    ui.ShowError(Text(TextId::RecordTooLong));
    return false;
  }
  NameAcquiredRecord(rec, now);
  SetRecordLengths(rec, values.SampleRateIndex);
  const int n = rec.SweepLength;
  const int sign = rec.PolarityPositive ? 1 : -1;
  rec.FreeChannelsFrom(ChannelCount(rec.Mode));
  for (int channel = 0; channel < ChannelCount(rec.Mode); ++channel) {
    auto& block = rec.Channels[channel];
    if (!block) block = std::make_unique<SampleArray>();
    block->Samples.resize(rec.RecordLength, 0);
    for (int i = 0; i < n; ++i)
      block->Samples[i] = static_cast<std::int16_t>(
          std::nearbyint(SyntheticSample(rec.Mode, channel, i, n, fs, sign)));
    ScanRange(*block, n);
  }
  if (!rec.DerivedChannel) rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Min = rec.DerivedChannel->Max = 0;
  rec.DerivedChannel->Count = 0;
  rec.DerivedChannel->Values.resize(rec.RecordLength, 0.0);
  ComputeDerivedChannel(rec, settings);
  return true;
}

}  // namespace kalvex

#include "recordings/DerivedValues.h"

#include <algorithm>
#include <cmath>

#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

// One raw count in mV at an accelerometer (10 V full scale behind a gain of 8).
constexpr long double kMilliVoltsPerCount = 1250.0L / 32768.0L;

ValueArray& DerivedBlock(TFrmFile& rec) {
  if (!rec.DerivedChannel) rec.DerivedChannel = std::make_unique<ValueArray>();
  std::size_t room = std::max<std::size_t>(rec.RecordLength, rec.SweepLength);
  if (rec.DerivedChannel->Values.size() < room) rec.DerivedChannel->Values.resize(room, 0.0);
  return *rec.DerivedChannel;
}

// Entries of the sweep that every block involved really holds.
std::size_t SweepEntries(const TFrmFile& rec, std::initializer_list<const SampleArray*> blocks) {
  std::size_t n = rec.SweepLength;
  for (const SampleArray* b : blocks) n = std::min(n, b->Samples.size());
  return n;
}

// kgf per raw count of one accelerometer channel: counts → mV → g → × kg.
// A sensitivity that is not positive yields 0 rather than an infinity.
long double KgfPerCount(double calibration, std::int32_t weight, double sensitivity) {
  if (!(sensitivity > 0)) return 0.0L;
  return kMilliVoltsPerCount * calibration * weight / sensitivity;
}

}  // namespace

void ComputeDerivedChannel(TFrmFile& rec, const ProgramSettings& settings) {
  if (rec.Mode == Similarity || rec.Mode == Ombrel16) return;
  int rm = RmChannelIndex(rec.Mode);
  int bp = BpChannelIndex(rec.Mode);
  if (rm < 0 || !rec.Channels[rm] || !rec.Channels[bp]) return;
  ValueArray& out = DerivedBlock(rec);
  const auto& r = rec.Channels[rm]->Samples;
  const auto& b = rec.Channels[bp]->Samples;
  long double kr =
      KgfPerCount(settings.ChannelCalibration[3], rec.ReactionMassWeight, rec.MassAccSensitivity);
  long double kb =
      KgfPerCount(settings.ChannelCalibration[4], rec.BaseplateWeight, rec.BaseplateAccSensitivity);
  if (kr == 0 || kb == 0) kr = kb = 0;  // an unusable sensitivity gives no force at all
  std::size_t n = SweepEntries(rec, {rec.Channels[rm].get(), rec.Channels[bp].get()});
  for (std::size_t i = 0; i < n; ++i) out.Values[i] = static_cast<double>(r[i] * kr + b[i] * kb);
  ScanValueRange(out, static_cast<int>(n));
}

void ComputeAverageTrace(TFrmFile& rec, int mask) {
  if (rec.Mode != Similarity || (mask & 0x3E) == 0) return;
  std::vector<const SampleArray*> chosen;
  std::vector<long double> divisors;
  for (int j = 1; j <= 5; ++j) {
    if (!(mask & (1 << j)) || !rec.Channels[j]) continue;
    chosen.push_back(rec.Channels[j].get());
    divisors.push_back(rec.AttenuationDivisor(j));
  }
  if (chosen.empty()) return;
  ValueArray& out = DerivedBlock(rec);
  std::size_t n = rec.SweepLength;
  for (const SampleArray* c : chosen) n = std::min(n, c->Samples.size());
  for (std::size_t i = 0; i < n; ++i) {
    long double sum = 0;
    for (std::size_t k = 0; k < chosen.size(); ++k) sum += chosen[k]->Samples[i] / divisors[k];
    out.Values[i] = static_cast<double>(sum / chosen.size());
  }
  ScanValueRange(out, static_cast<int>(n));
}

void ComputeAmplitudeNorm(TFrmFile& rec, int sampleRateIndex) {
  const int seconds = rec.SweepSeconds;
  if (seconds == 0) return;
  constexpr double kFlat = 107.5;
  double c;
  if (sampleRateIndex == 0) {
    c = 6;
  } else if (sampleRateIndex == 1 && seconds <= 16) {
    c = 4;
  } else if (sampleRateIndex == 2 && seconds <= 4) {
    c = 2;
  } else {
    rec.AmplitudeNorm = kFlat;
    return;
  }
  const double d = c - std::log2(static_cast<double>(seconds));
  const long double ld = d;
  rec.AmplitudeNorm = static_cast<double>(107.5L - ld * ld * (5.275L - 0.45L * ld));
}

bool RecordFits(int sampleRateIndex, long seconds) {
  return sampleRateIndex >= 0 && sampleRateIndex <= 4 && seconds >= 0 &&
         (500L << sampleRateIndex) * seconds + 500 <= 65535;
}

bool SetRecordLengths(TFrmFile& rec, int sampleRateIndex) {
  if (!RecordFits(sampleRateIndex, rec.SweepSeconds)) return false;
  const long rate = 500L << sampleRateIndex;
  const long sweep = rate * rec.SweepSeconds;
  rec.SampleRate = static_cast<std::uint16_t>(rate);
  rec.SweepLength = static_cast<std::uint16_t>(sweep);
  rec.RecordLength = static_cast<std::uint16_t>(sweep + 500);
  return true;
}

void RecomputeDerivedValues(TFrmFile& rec, const ProgramSettings& settings,
                            const ProcessValues& values) {
  ComputeDerivedChannel(rec, settings);
  ComputeAmplitudeNorm(rec, values.SampleRateIndex);
}

}  // namespace kalvex

#include "analysis/ChannelSignal.h"

#include <algorithm>

#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

void AddCorrected(std::vector<double>& out, const SampleArray* block, double factor) {
  if (!block) return;
  const std::size_t n = std::min(out.size(), block->Samples.size());
  for (std::size_t i = 0; i < n; ++i) out[i] += block->Samples[i] * factor;
}

std::vector<double> MaskedAverage(const AnalysisContext& ctx, int mask, int count) {
  std::vector<double> sum(count, 0.0);
  int chosen = 0;
  for (int j = 1; j <= 5; ++j) {
    if (!(mask & (1 << j))) continue;
    ++chosen;
    AddCorrected(sum, ctx.rec.Channels[j].get(),
                 CorrectionFactor(ctx, j) / ctx.rec.AttenuationDivisor(j));
  }
  if (chosen == 0) return std::vector<double>(count, 0.0);
  for (double& v : sum) v /= chosen;
  return sum;
}

}  // namespace

int ComputedChannel(int mode) {
  return ChannelCount(mode);
}

double CorrectionFactor(const AnalysisContext& ctx, int channel) {
  int k = channel + ctx.values.ChannelOffset;
  return k >= 0 && k < 6 ? ctx.settings.ChannelCalibration[k] : 1.0;
}

std::vector<double> ChannelSignal(const AnalysisContext& ctx, int channel, int mask, int count) {
  count = std::max(count, 0);
  const TFrmFile& rec = ctx.rec;
  if (channel == ComputedChannel(rec.Mode)) {
    if (rec.Mode == Similarity) return MaskedAverage(ctx, mask, count);
    std::vector<double> out(count, 0.0);
    if (rec.DerivedChannel) {
      const auto& v = rec.DerivedChannel->Values;
      std::copy_n(v.begin(), std::min<std::size_t>(count, v.size()), out.begin());
    }
    return out;
  }
  std::vector<double> out(count, 0.0);
  if (channel >= 0 && channel < MaxChannelSlots)
    AddCorrected(out, rec.Channels[channel].get(), CorrectionFactor(ctx, channel));
  return out;
}

ScaledSignal ChannelSamples(const AnalysisContext& ctx, int channel, int mask, int count) {
  const TFrmFile& rec = ctx.rec;
  if (channel == ComputedChannel(rec.Mode) || channel < 0 || channel >= MaxChannelSlots)
    return {ChannelSignal(ctx, channel, mask, count), 1.0};
  // The samples converted as they are copied; zeros after the last.
  const std::size_t wanted = std::max(count, 0);
  ScaledSignal s{{}, CorrectionFactor(ctx, channel), true};
  s.values.reserve(wanted);
  if (const SampleArray* block = rec.Channels[channel].get())
    s.values.assign(block->Samples.begin(),
                    block->Samples.begin() + std::min(wanted, block->Samples.size()));
  s.values.resize(wanted, 0.0);
  return s;
}

}  // namespace kalvex

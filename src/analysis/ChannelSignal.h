#pragma once
// A channel as the transforms see it: raw samples times the channel's
// correction factor; for the computed channel the derived channel, or in mode
// 2 the average of the masked channels, each corrected and divided by its
// attenuation.

#include <vector>

#include "analysis/AnalysisContext.h"

namespace kalvex {

// The computed channel's index in a mode: the channel count.
int ComputedChannel(int mode);

// The correction factor of raw channel `channel` (factor[channel + offset]);
// 1 where the index falls outside the six factors.
double CorrectionFactor(const AnalysisContext& ctx, int channel);

// The first `count` values of the channel (zeros where the recording holds
// none). `mask` is the window's averaging mask (mode 2 only).
std::vector<double> ChannelSignal(const AnalysisContext& ctx, int channel, int mask, int count);

// A signal as values times a factor: a recorded channel keeps its raw
// integer samples and its correction factor apart, so that sums over its
// samples can be formed exactly; a computed channel has factor 1.
struct ScaledSignal {
  std::vector<double> values;
  double factor = 1;
  // The values are a recorded channel's samples (16-bit integers), known
  // without looking at them.
  bool recordedSamples = false;
};

// The same first `count` values as ChannelSignal, in that form.
ScaledSignal ChannelSamples(const AnalysisContext& ctx, int channel, int mask, int count);

}  // namespace kalvex

#pragma once
// Amplitude (graph type 2): a channel's amplitude frame by frame along the
// sweep, as the fundamental's magnitude, the RMS, or the positive or negative
// peak.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

enum AmplitudeMeasure : int { Fundamental = 0, Rms = 1, PositivePeak = 2, NegativePeak = 3 };

// Fills curve `curve` from the curve-th channel of the window's amplitude
// selection (the first when `firstOnly`). Leaves the curve as it was when
// the frame analysis cannot be made.
void ComputeAmplitude(const AnalysisContext& ctx, TGrWin& window, int curve, bool firstOnly);

}  // namespace kalvex

#pragma once
// Signal traces (graph type 1): a channel's samples in the chosen unit, with
// default vertical limits that follow from the vibrator's weights.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// Fills curve `curve` of the window with `channel` (its unit code from the
// window's trace selection).
void ComputeTrace(const AnalysisContext& ctx, TGrWin& window, int curve, int channel);

}  // namespace kalvex

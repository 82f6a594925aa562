#pragma once
// Frequency against time (graph type 8): the fundamental's frequency frame by
// frame, from the channel's frame table.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

void ComputeFrequencyVsTime(const AnalysisContext& ctx, TGrWin& window, int curve, bool firstOnly);

}  // namespace kalvex

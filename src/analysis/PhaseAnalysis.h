#pragma once
// Phase (graph type 3): each channel's phase at the fundamental against the
// reference channel, frame by frame, unwrapped from frame to frame.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

void ComputePhase(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                  bool skipComputed);

}  // namespace kalvex

#pragma once
// Correlation (graph type 7): the cross-correlation of a main channel with a
// reference channel over a grid of lags, linear (against its peak) or in dB.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// Lag grid: step t, the span r, and q (the curve holds 2q values).
struct CorrelationGrid {
  int step;
  int span;
  int q;
};
CorrelationGrid CorrelationGridFor(int sweepLength, int sampleRate, bool db);

// Curve `curve` of the window (-1: the last curve), between the window's
// reference and main channels.
void ComputeCorrelation(const AnalysisContext& ctx, TGrWin& window, int curve);

}  // namespace kalvex

#pragma once
// Distortion (graph type 4): short-time spectra of one channel in dB, one row
// per 500 samples, shown all at once or one row (time point) at a time.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// Builds the whole matrix into curve 0 and saves its whole-matrix view;
// a window that showed a time point shows it again.
void ComputeDistortion(const AnalysisContext& ctx, TGrWin& window);

// Moves the time point by `delta` when allowed (back needs a time point >= 0,
// forward one below the last row). Returns whether it moved.
bool StepDistortion(const AnalysisContext& ctx, TGrWin& window, int delta);

// Rows of a sweep of n samples: n / 500 + 1.
int DistortionRows(int n);

}  // namespace kalvex

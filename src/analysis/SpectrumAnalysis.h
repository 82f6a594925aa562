#pragma once
// Magnitude spectra: of whole channels (graph type 6) and of the interval
// shown in a signal traces window (graph type 14).

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// Bins of a spectrum curve: the transform has twice as many points.
inline constexpr int SpectrumBins = 16384;

// Every curve of the window (skipping computed ones when asked; only curve 0
// when `firstOnly`). Does nothing without the FFT library.
void ComputeSpectrum(const AnalysisContext& ctx, TGrWin& window, bool skipComputed, bool firstOnly);

// The spectrum of samples first..last of the source window's selected curve
// into the target window's one curve.
void ComputeIntervalSpectrum(const AnalysisContext& ctx, TGrWin& target, const TGrWin& source,
                             int first, int last);

}  // namespace kalvex

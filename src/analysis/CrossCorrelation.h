#pragma once
// Sums Σ r(j)·m(j+τ) over the overlap of two signals of equal length, for a
// range of lags τ. Computed with zero-padded transforms when the FFT library
// is bound, else directly.
//
// The transform sums equal the direct sums to rounding, and they are exactly
// 0 where the direct sums are: sums of integer signals (recorded samples,
// apart from their correction factors) are formed exactly, and for other
// signals a sum within the transforms' rounding bound counts as 0. A level
// in decibels thus never comes from rounding residue.

#include <vector>

#include "analysis/ChannelSignal.h"

namespace kalvex {

// The sum at each of the lags (lags without overlap give 0), of
// values × factor of each signal.
std::vector<double> CorrelationSums(const ScaledSignal& reference, const ScaledSignal& main,
                                    const std::vector<int>& lags);

// The same for signals with factor 1.
std::vector<double> CorrelationSums(const std::vector<double>& reference,
                                    const std::vector<double>& main, const std::vector<int>& lags);

// The same by direct summation (the slow way, kept for comparison and for
// running without the FFT library).
std::vector<double> DirectCorrelationSums(const std::vector<double>& reference,
                                          const std::vector<double>& main,
                                          const std::vector<int>& lags);

// The largest error of a correlation by zero-padded transforms of `length`
// points of two signals with these Euclidean norms.
double CorrelationRoundingBound(double normReference, double normMain, int length);

}  // namespace kalvex

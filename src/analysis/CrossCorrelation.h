#pragma once
// Sums Σ r(j)·m(j+τ) over the overlap of two signals of equal length, for a
// range of lags τ. Computed with zero-padded transforms when the FFT library
// is bound (equal to the direct sums to rounding), else directly.

#include <vector>

namespace kalvex {

// The sum at each of the lags (lags without overlap give 0).
std::vector<double> CorrelationSums(const std::vector<double>& reference,
                                    const std::vector<double>& main, const std::vector<int>& lags);

// The same by direct summation (the slow way, kept for comparison and for
// running without the FFT library).
std::vector<double> DirectCorrelationSums(const std::vector<double>& reference,
                                          const std::vector<double>& main,
                                          const std::vector<int>& lags);

}  // namespace kalvex

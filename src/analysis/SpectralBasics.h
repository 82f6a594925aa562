#pragma once
// Shared pieces of the frequency-domain analyses: the frame transform length,
// the Hamming taper, bin magnitudes and the decibel step.

#include "recordings/SampleBlocks.h"
#include "shell/ProgramSettings.h"

namespace kalvex {

class FftTransform;

// Transform length of the per-frame analyses for a sweep of n samples:
// 32768, n itself, or (the first choice) the smallest power of two not below
// n, never above 32768.
int FrameFftLength(int n, FundamentalInputSize choice);

// 0.54 − 0.46·cos(2πk/d), in extended precision. A frame of one sample
// (d = 0) has the weight 1.
double HammingWeight(int k, int d);

// √(re² + im²) of a bin; 0 where that is not a finite number and beyond the
// transform's output.
double Magnitude(const FftTransform& t, int bin);

// The magnitudes of bins 0..count-1 (count <= length/2 + 1) into out, as
// Magnitude gives them, in one pass the compiler can vectorise.
void BinMagnitudes(const FftTransform& t, int count, double* out);

// How the dB step fills bins that were exactly 0.
enum class DbFill { ArrayMinimum, MinSpectrum };

// Turns magnitudes into dB against vmax (20·log10(v / vmax)); zero bins never
// reach the logarithm but take the fill value. Sets the block's range; the
// minimum a caller shows is MinSpectrum.
void ApplyDbStep(ValueArray& block, int count, double vmax, DbFill fill, int minSpectrum);

// ScanValueRange of the first `count` values, a large block shared among the
// workers (the range is the same, whoever scans which part).
void ScanLargeValueRange(ValueArray& block, int count);

}  // namespace kalvex

#pragma once
// The cyclic correlation conj(A)·B of two spectra of `length` points,
// transformed back as two inverse transforms of half the length, which two
// workers can run at once: the first radix-2 stage of the inverse is taken
// by hand, so that the even values come from the half spectrum
// X_k + conj(X_{length/2-k}) and the odd ones from
// (X_k - conj(X_{length/2-k}))·e^(2πik/length), k = 0..length/4. Its
// rounding stays within the bound of one transform of the full length, of
// which this is the first stage. Used for sums of integers, which are
// rounded to the integers they must be, so the sums do not depend on how the
// transform was split.

#include <array>
#include <vector>

#include "analysis/FftLibrary.h"

namespace kalvex {

// conj(x)·y, the spectrum of a cyclic correlation bin by bin.
struct ConjugateProduct {
  double re, im;
  ConjugateProduct(const FftwComplex& x, const FftwComplex& y)
      : re(x[0] * y[0] + x[1] * y[1]), im(x[0] * y[1] - x[1] * y[0]) {}
};

class HalvedCorrelation {
 public:
  // For spectra of `length` points (a power of two of at least 8), in the
  // kept inverse transforms of length/2 in slots firstSlot and firstSlot + 1.
  // Make it on the thread that asks for plans; only objects of one length
  // are asked for, so none pushes out another in use.
  HalvedCorrelation(int length, int firstSlot);

  // Transforms the even (odd) half of conj(A)·B, the spectra in a's and b's
  // outputs; the two halves may run on two workers at once.
  void RunHalf(const FftTransform& a, const FftTransform& b, bool odd);
  // Both halves in turn, on one worker.
  void Run(const FftTransform& a, const FftTransform& b) {
    RunHalf(a, b, false);
    RunHalf(a, b, true);
  }

  // Value i of the correlation (0 <= i < length), unnormalised (times
  // length), once both halves have run.
  double At(int i) const { return half_[i & 1]->Output()[i >> 1]; }

 private:
  std::array<FftInverseTransform*, 2> half_;
  const std::vector<std::array<double, 2>>& twiddles_;
};

}  // namespace kalvex

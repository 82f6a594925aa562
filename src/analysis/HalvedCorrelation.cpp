#include "analysis/HalvedCorrelation.h"

#include <cmath>
#include <map>
#include <mutex>

namespace kalvex {
namespace {

using Twiddle = std::array<double, 2>;

// cos and sin of 2πk/length for k = 0..length/4, computed in extended
// precision and rounded once, so good to half a unit in the last place.
// Kept per length: a correlation length is a power of two, so few are made.
const std::vector<Twiddle>& Twiddles(int length) {
  static std::mutex lock;
  static std::map<int, std::vector<Twiddle>> kept;
  std::lock_guard<std::mutex> hold(lock);
  std::vector<Twiddle>& w = kept[length];
  if (w.empty()) {
    const long double turn = 6.283185307179586476925286766559L / length;
    w.resize(length / 4 + 1);
    for (int k = 0; k <= length / 4; ++k)
      w[k] = {static_cast<double>(std::cos(turn * k)), static_cast<double>(std::sin(turn * k))};
  }
  return w;
}

}  // namespace

HalvedCorrelation::HalvedCorrelation(int length, int firstSlot)
    : half_{FftLibrary::InverseTransform(length / 2, firstSlot),
            FftLibrary::InverseTransform(length / 2, firstSlot + 1)},
      twiddles_(Twiddles(length)) {}

void HalvedCorrelation::RunHalf(const FftTransform& a, const FftTransform& b, bool odd) {
  const FftwComplex* x = a.Output();
  const FftwComplex* y = b.Output();
  FftInverseTransform& half = *half_[odd];
  FftwComplex* in = half.Input();
  const int quarter = half.Length() / 2;
  const int middle = 2 * quarter;
  for (int k = 0; k <= quarter; ++k) {
    const ConjugateProduct p(x[k], y[k]);
    const ConjugateProduct q(x[middle - k], y[middle - k]);
    if (odd) {
      const Twiddle& w = twiddles_[k];
      const double re = p.re - q.re, im = p.im + q.im;
      in[k][0] = re * w[0] - im * w[1];
      in[k][1] = re * w[1] + im * w[0];
    } else {
      in[k][0] = p.re + q.re;
      in[k][1] = p.im - q.im;
    }
  }
  half.Execute();
}

}  // namespace kalvex

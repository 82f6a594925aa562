#include "analysis/CrossCorrelation.h"

#include <algorithm>

#include "analysis/FftLibrary.h"

namespace kalvex {
namespace {

// A transform length that holds every lag without wrapping: a power of two
// of at least 2n.
int PaddedLength(int n) {
  int length = 1;
  while (length < 2 * n) length *= 2;
  return length;
}

void Transform(FftTransform& t, const std::vector<double>& x, std::vector<double>& re,
               std::vector<double>& im) {
  double* in = t.Input();
  std::copy(x.begin(), x.end(), in);
  std::fill(in + x.size(), in + t.Length(), 0.0);
  t.Execute();
  const int bins = t.Length() / 2 + 1;
  re.resize(bins);
  im.resize(bins);
  for (int k = 0; k < bins; ++k) {
    re[k] = t.Re(k);
    im[k] = t.Im(k);
  }
}

}  // namespace

std::vector<double> DirectCorrelationSums(const std::vector<double>& r,
                                          const std::vector<double>& m,
                                          const std::vector<int>& lags) {
  const int n = static_cast<int>(std::min(r.size(), m.size()));
  std::vector<double> out;
  out.reserve(lags.size());
  for (int tau : lags) {
    double sum = 0;
    for (int j = std::max(0, -tau); j < std::min(n, n - tau); ++j) sum += r[j] * m[j + tau];
    out.push_back(sum);
  }
  return out;
}

std::vector<double> CorrelationSums(const std::vector<double>& r, const std::vector<double>& m,
                                    const std::vector<int>& lags) {
  const int n = static_cast<int>(std::min(r.size(), m.size()));
  if (!FftLibrary::Available() || n == 0) return DirectCorrelationSums(r, m, lags);
  const int length = PaddedLength(n);
  FftTransform* forward = FftLibrary::Transform(length);
  FftInverseTransform* inverse = FftLibrary::InverseTransform(length);
  std::vector<double> rRe, rIm, mRe, mIm;
  Transform(*forward, std::vector<double>(r.begin(), r.begin() + n), rRe, rIm);
  Transform(*forward, std::vector<double>(m.begin(), m.begin() + n), mRe, mIm);
  // conj(R)·M is the transform of the correlation sums.
  FftwComplex* spectrum = inverse->Input();
  for (std::size_t k = 0; k < rRe.size(); ++k) {
    spectrum[k][0] = rRe[k] * mRe[k] + rIm[k] * mIm[k];
    spectrum[k][1] = rRe[k] * mIm[k] - rIm[k] * mRe[k];
  }
  inverse->Execute();
  const double* c = inverse->Output();
  std::vector<double> out;
  out.reserve(lags.size());
  for (int tau : lags)
    out.push_back(tau > -n && tau < n ? c[tau >= 0 ? tau : length + tau] / length : 0.0);
  return out;
}

}  // namespace kalvex

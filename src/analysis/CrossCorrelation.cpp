#include "analysis/CrossCorrelation.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "analysis/FftLibrary.h"
#include "analysis/HalvedCorrelation.h"
#include "analysis/ParallelBlocks.h"

namespace kalvex {
namespace {

// A sum computed by transforms is rounded to the nearest integer only while
// its error bound stays below this; rounding is then certain to recover it.
constexpr double kCertainRounding = 0.25;
// Integer signals of at most this magnitude are summed exactly: a byte split
// of each sample keeps the partial sums far inside the rounding margin.
constexpr double kLargestInteger = 32768;

// x rounded to the nearest integer (ties to even), for |x| < 2^51: adding
// 1.5·2^52 leaves no fraction bits. Inline, unlike std::nearbyint, which
// matters over a hundred thousand lags.
double RoundToInteger(double x) {
  constexpr double kShift = 6755399441055744.0;  // 1.5·2^52
  return (x + kShift) - kShift;
}

// A transform length that holds every lag without wrapping: a power of two
// of at least 2n.
int PaddedLength(int n) {
  int length = 1;
  while (length < 2 * n) length *= 2;
  return length;
}

// Below this many lags, gathering them costs less than starting a worker.
constexpr std::size_t kSharedLags = 1 << 14;

// Runs two independent jobs, on two workers when there are two.
void RunBoth(const std::function<void()>& first, const std::function<void()>& second) {
  RunInBlocks(2, [&](int, int begin, int end) {
    for (int job = begin; job < end; ++job) (job == 0 ? first : second)();
  });
}

// Where lag τ sits in a cyclic correlation of `length` points of signals of
// n values; -1 for a lag without overlap.
int CyclicIndex(int tau, int n, int length) {
  if (tau <= -n || tau >= n) return -1;
  return tau >= 0 ? tau : length + tau;
}

// out[k] = value(i) for every lag k with overlap, i its cyclic index; 0 for
// the others. Consecutive lags on one side of 0 have consecutive indexes, so
// a grid's lags are taken as runs, without looking each one up. A long run
// of lags is shared among the workers (each value depends on its own lag
// only).
template <typename Value>
void FillLags(std::vector<double>& out, const std::vector<int>& lags, int n, int length,
              const Value& value) {
  auto part = [&](std::size_t k, std::size_t end) {
    while (k < end) {
      const int i = CyclicIndex(lags[k], n, length);
      if (i < 0) {
        out[k++] = 0;
        continue;
      }
      const int lastLag = lags[k] < 0 ? -1 : n - 1;
      std::size_t stop = k + 1;
      while (stop < end && lags[stop] == lags[stop - 1] + 1 && lags[stop] <= lastLag) ++stop;
      for (std::size_t j = k; j < stop; ++j) out[j] = value(i + static_cast<int>(j - k));
      k = stop;
    }
  };
  if (out.size() < kSharedLags) return part(0, out.size());
  RunInBlocks(static_cast<int>(out.size()), [&](int, int first, int end) { part(first, end); });
}

// Four running sums, so that the additions do not wait on each other.
double Norm(const double* x, int n) {
  double sums[4] = {0, 0, 0, 0};
  int j = 0;
  for (; j + 4 <= n; j += 4)
    for (int k = 0; k < 4; ++k) sums[k] += x[j + k] * x[j + k];
  for (; j < n; ++j) sums[0] += x[j] * x[j];
  return std::sqrt((sums[0] + sums[1]) + (sums[2] + sums[3]));
}

// A value is an integer when rounding leaves it as it is (exact below 2^51).
bool SmallIntegers(const double* x, int n) {
  bool all = true;
  for (int j = 0; j < n; ++j)
    all &= (std::fabs(x[j]) <= kLargestInteger) & (RoundToInteger(x[j]) == x[j]);
  return all;
}

// Transforms x[0..n) × factor, zero-padded to the transform's length; the
// spectrum stays in t's output.
void Forward(FftTransform& t, const double* x, int n, double factor) {
  double* in = t.Input();
  for (int j = 0; j < n; ++j) in[j] = x[j] * factor;
  std::fill(in + n, in + t.Length(), 0.0);
  t.Execute();
}

// Transforms one byte half of integers x = 256·high + low, with low in
// -128..127 and high in -128..128 (so neither half exceeds kLargestHalf).
constexpr double kLargestHalf = 128;
void ForwardHalf(FftTransform& t, const double* x, int n, bool high) {
  double* in = t.Input();
  for (int j = 0; j < n; ++j) {
    const int v = static_cast<int>(x[j]);
    const int l = ((v + 128) & 255) - 128;
    in[j] = high ? (v - l) / 256 : l;
  }
  std::fill(in + n, in + t.Length(), 0.0);
  t.Execute();
}

// The cyclic correlation of the two transformed signals, unnormalised:
// conj(A)·B transformed back.
const double* Correlate(const FftTransform& a, const FftTransform& b, FftInverseTransform& inv) {
  const FftwComplex* x = a.Output();
  const FftwComplex* y = b.Output();
  FftwComplex* spectrum = inv.Input();
  const int bins = inv.Length() / 2 + 1;
  for (int k = 0; k < bins; ++k) {
    const ConjugateProduct p(x[k], y[k]);
    spectrum[k][0] = p.re;
    spectrum[k][1] = p.im;
  }
  inv.Execute();
  return inv.Output();
}

// The correlation of a's and b's spectra, its two halves on two workers.
void CorrelateOnBoth(HalvedCorrelation& c, const FftTransform& a, const FftTransform& b) {
  RunBoth([&] { c.RunHalf(a, b, false); }, [&] { c.RunHalf(a, b, true); });
}

// Sums of integer signals, exact, times `scale`; nothing when the signals
// are too long for rounding to recover every sum.
std::optional<std::vector<double>> IntegerSums(const double* r, const double* m, int n,
                                               double scale, const std::vector<int>& lags) {
  const int length = std::max(8, PaddedLength(n));  // halves of at least 4 points
  const double perPoint = 1.0 / length;  // exact: a power of two
  FftTransform* fr = FftLibrary::Transform(length, 0);
  FftTransform* fm = FftLibrary::Transform(length, 1);
  double normR = 0, normM = 0;
  RunBoth([&] { normR = Norm(r, n); }, [&] { normM = Norm(m, n); });
  std::vector<double> out(lags.size());
  if (CorrelationRoundingBound(normR, normM, length) < kCertainRounding) {
    // Small enough to be rounded whole: one correlation.
    HalvedCorrelation c(length, 0);
    RunBoth([&] { Forward(*fr, r, n, 1.0); }, [&] { Forward(*fm, m, n, 1.0); });
    CorrelateOnBoth(c, *fr, *fm);
    FillLags(out, lags, n, length,
             [&](int i) { return RoundToInteger(c.At(i) * perPoint) * scale; });
    return out;
  }
  // Each byte half of the main signal correlated apart, each rounded, then
  // joined. (Certain for every record: n ≤ 65 535 gives a bound below 0.02.)
  // Five transforms' work on two workers: the reference and the high half;
  // the high half's correlation and the low half; the low half's correlation,
  // its two halves at once.
  const double largestHalfNorm = kLargestHalf * std::sqrt(static_cast<double>(n));
  if (CorrelationRoundingBound(normR, largestHalfNorm, length) >= kCertainRounding)
    return std::nullopt;
  FftTransform* fl = FftLibrary::Transform(length, 2);
  HalvedCorrelation high(length, 0), low(length, 2);
  RunBoth([&] { Forward(*fr, r, n, 1.0); }, [&] { ForwardHalf(*fm, m, n, true); });
  RunBoth([&] { high.Run(*fr, *fm); }, [&] { ForwardHalf(*fl, m, n, false); });
  CorrelateOnBoth(low, *fr, *fl);
  FillLags(out, lags, n, length, [&](int i) {
    return (256 * RoundToInteger(high.At(i) * perPoint) + RoundToInteger(low.At(i) * perPoint)) *
           scale;
  });
  return out;
}

// Sums of any signals; a sum within the rounding bound is taken as 0, since
// it cannot be told from the rounding residue of a sum that is 0.
std::vector<double> BoundedSums(const ScaledSignal& r, const ScaledSignal& m, int n,
                                const std::vector<int>& lags) {
  const int length = PaddedLength(n);
  FftTransform* fr = FftLibrary::Transform(length, 0);
  FftTransform* fm = FftLibrary::Transform(length, 1);
  FftInverseTransform* inv = FftLibrary::InverseTransform(length, 0);
  RunBoth([&] { Forward(*fr, r.values.data(), n, r.factor); },
          [&] { Forward(*fm, m.values.data(), n, m.factor); });
  const double bound =
      CorrelationRoundingBound(Norm(r.values.data(), n) * std::fabs(r.factor),
                               Norm(m.values.data(), n) * std::fabs(m.factor), length);
  const double* c = Correlate(*fr, *fm, *inv);
  const double perPoint = 1.0 / length;
  std::vector<double> out(lags.size());
  FillLags(out, lags, n, length, [&](int i) {
    const double v = c[i] * perPoint;
    return std::fabs(v) > bound ? v : 0.0;
  });
  return out;
}

std::vector<double> Scaled(const ScaledSignal& x) {
  std::vector<double> v = x.values;
  if (x.factor != 1)
    for (double& e : v) e *= x.factor;
  return v;
}

}  // namespace

double CorrelationRoundingBound(double normR, double normM, int length) {
  // Percival's bound for a convolution by radix-2 transforms, to first order
  // in the unit roundoff u over log2(length) stages, with twiddle factors
  // good to 2u; doubled for the mixed radices and real transforms used.
  const double u = std::numeric_limits<double>::epsilon() / 2;
  const double stages = std::log2(std::max(length, 2));
  const double growth = u * (3 * stages + std::sqrt(5.0) * (3 * stages + 1) + 6 * stages);
  return 2 * growth * normR * normM;
}

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

std::vector<double> CorrelationSums(const ScaledSignal& r, const ScaledSignal& m,
                                    const std::vector<int>& lags) {
  const int n = static_cast<int>(std::min(r.values.size(), m.values.size()));
  if (!FftLibrary::Available() || n == 0) return DirectCorrelationSums(Scaled(r), Scaled(m), lags);
  auto integers = [n](const ScaledSignal& x) {
    return x.recordedSamples || SmallIntegers(x.values.data(), n);
  };
  if (integers(r) && integers(m)) {
    auto exact = IntegerSums(r.values.data(), m.values.data(), n, r.factor * m.factor, lags);
    if (exact) return std::move(*exact);
  }
  return BoundedSums(r, m, n, lags);
}

std::vector<double> CorrelationSums(const std::vector<double>& r, const std::vector<double>& m,
                                    const std::vector<int>& lags) {
  return CorrelationSums(ScaledSignal{r, 1.0}, ScaledSignal{m, 1.0}, lags);
}

}  // namespace kalvex

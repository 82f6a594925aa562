#include "analysis/SpectralBasics.h"

#include <functional>

#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/FftLibrary.h"
#include "analysis/ParallelBlocks.h"

namespace kalvex {
namespace {

// Below this many values, converting them costs less than starting workers.
constexpr std::size_t kSharedLevels = 1 << 16;

}  // namespace

int FrameFftLength(int n, FundamentalInputSize choice) {
  if (choice == FundamentalInputSize::Fixed32768) return 32768;
  if (choice == FundamentalInputSize::WholeSignal) return n;
  int length = 32768;
  while (2 * n < length) length /= 2;
  return length;
}

double HammingWeight(int k, int d) {
  if (d == 0) return 1.0;
  const long double twoPi = 2.0L * std::numbers::pi_v<long double>;
  return static_cast<double>(0.54L - 0.46L * std::cos(twoPi * k / d));
}

namespace {

// A root of a sum of squares is never negative: it is finite exactly when
// it is at most the largest double (NaN compares false).
double FiniteMagnitude(double re, double im) {
  const double m = std::sqrt(re * re + im * im);
  return m <= std::numeric_limits<double>::max() ? m : 0.0;
}

}  // namespace

double Magnitude(const FftTransform& t, int bin) {
  return FiniteMagnitude(t.Re(bin), t.Im(bin));
}

void BinMagnitudes(const FftTransform& t, int count, double* out) {
  const FftwComplex* bins = t.Output();
  for (int j = 0; j < count; ++j) out[j] = FiniteMagnitude(bins[j][0], bins[j][1]);
}

void ApplyDbStep(ValueArray& block, int count, double vmax, DbFill fill, int minSpectrum) {
  constexpr double kMarker = 1.0;
  auto& v = block.Values;
  const std::size_t n = std::min<std::size_t>(count > 0 ? count : 0, v.size());
  if (n == 0) return ScanValueRange(block, 0);
  // Each value on its own: a large matrix is shared among the workers, each
  // finding its part's range (markers included) and whether it holds one,
  // so that the values are passed over once more only to fill markers.
  struct Part {
    double lo, hi;
    bool marked;
  };
  const int blocks = n < kSharedLevels ? 1 : BlockCount(static_cast<int>(n));
  std::vector<Part> parts(blocks);
  RunInBlocks(static_cast<int>(n), blocks, [&](int worker, int first, int end) {
    Part part{0, 0, false};
    for (int i = first; i < end; ++i) {
      double db = v[i] != 0 && vmax > 0 ? 20.0 * std::log10(v[i] / vmax) : kMarker;
      v[i] = std::isfinite(db) ? db : kMarker;
      part.lo = i == first ? v[i] : std::min(part.lo, v[i]);
      part.hi = i == first ? v[i] : std::max(part.hi, v[i]);
      part.marked |= v[i] == kMarker;
    }
    parts[worker] = part;
  });
  block.Count = static_cast<std::int32_t>(n);
  block.Min = parts[0].lo;
  block.Max = parts[0].hi;
  bool marked = false;
  for (const Part& part : parts) {
    block.Min = std::min(block.Min, part.lo);
    block.Max = std::max(block.Max, part.hi);
    marked |= part.marked;
  }
  const double fillValue = fill == DbFill::ArrayMinimum ? block.Min : minSpectrum;
  if (marked)
    RunInBlocks(static_cast<int>(n), blocks, [&](int, int first, int end) {
      for (int i = first; i < end; ++i)
        if (v[i] == kMarker) v[i] = fillValue;
    });
  if (fill == DbFill::MinSpectrum) block.Min = minSpectrum;
}

void ScanLargeValueRange(ValueArray& block, int count) {
  if (count < 0) count = block.Count;
  const std::size_t n = std::min<std::size_t>(std::max(count, 0), block.Values.size());
  if (n < kSharedLevels) return ScanValueRange(block, count);
  std::vector<std::pair<double, double>> ranges(BlockCount(static_cast<int>(n)));
  RunInBlocks(static_cast<int>(n), [&](int worker, int first, int end) {
    const auto [lo, hi] =
        std::minmax_element(block.Values.begin() + first, block.Values.begin() + end);
    ranges[worker] = {*lo, *hi};
  });
  block.Count = static_cast<std::int32_t>(n);
  block.Min = ranges[0].first;
  block.Max = ranges[0].second;
  for (const auto& [lo, hi] : ranges) {
    block.Min = std::min(block.Min, lo);
    block.Max = std::max(block.Max, hi);
  }
}

}  // namespace kalvex

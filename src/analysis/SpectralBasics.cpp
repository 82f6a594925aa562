#include "analysis/SpectralBasics.h"

#include <functional>

#include <cmath>
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

double Magnitude(const FftTransform& t, int bin) {
  double re = t.Re(bin), im = t.Im(bin);
  double m = std::sqrt(re * re + im * im);
  return std::isfinite(m) ? m : 0.0;
}

void ApplyDbStep(ValueArray& block, int count, double vmax, DbFill fill, int minSpectrum) {
  constexpr double kMarker = 1.0;
  auto& v = block.Values;
  const std::size_t n = std::min<std::size_t>(count > 0 ? count : 0, v.size());
  auto levels = [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      double db = v[i] != 0 && vmax > 0 ? 20.0 * std::log10(v[i] / vmax) : kMarker;
      v[i] = std::isfinite(db) ? db : kMarker;
    }
  };
  // Each value on its own: a large matrix is shared among the workers.
  auto shared = [n](const std::function<void(std::size_t, std::size_t)>& part) {
    if (n < kSharedLevels)
      part(0, n);
    else
      RunInBlocks(static_cast<int>(n), [&](int, int first, int end) { part(first, end); });
  };
  shared(levels);
  ScanLargeValueRange(block, static_cast<int>(n));
  const double fillValue = fill == DbFill::ArrayMinimum ? block.Min : minSpectrum;
  shared([&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
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

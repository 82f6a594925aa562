#include "recordings/SampleBlocks.h"

#include <algorithm>

namespace kalvex {
namespace {

template <typename Block, typename Entries>
void ScanEntries(Block& block, const Entries& entries, int count) {
  if (count < 0) count = block.Count;
  std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), entries.size());
  block.Count = static_cast<std::int32_t>(n);
  if (n == 0) {
    block.Min = block.Max = 0;
    return;
  }
  auto [lo, hi] = std::minmax_element(entries.begin(), entries.begin() + n);
  block.Min = static_cast<double>(*lo);
  block.Max = static_cast<double>(*hi);
}

}  // namespace

void ScanRange(SampleArray& block, int count) {
  ScanEntries(block, block.Samples, count);
}

void ScanValueRange(ValueArray& block, int count) {
  ScanEntries(block, block.Values, count);
}

void NegateSamples(SampleArray& block, int count) {
  std::size_t n =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), block.Samples.size());
  for (std::size_t i = 0; i < n; ++i) {
    std::int16_t s = block.Samples[i];
    block.Samples[i] = s == INT16_MIN ? s : static_cast<std::int16_t>(-s);
  }
}

}  // namespace kalvex

#pragma once
// One channel's per-frame analysis table: 14 arrays of one value per frame
// (fundamental bin, its complex value, harmonics 2..5, phase, cross values),
// stored array after array. Part of the recording's analysis cache.

#include <cstddef>
#include <vector>

namespace kalvex {

struct FrameAnalysis {
  static constexpr int ArrayCount = 14;

  explicit FrameAnalysis(int frameCount)
      : FrameCount(frameCount), Values(static_cast<std::size_t>(frameCount) * ArrayCount, 0.0) {}

  double* Array(int k) { return Values.data() + static_cast<std::size_t>(k) * FrameCount; }
  const double* Array(int k) const {
    return Values.data() + static_cast<std::size_t>(k) * FrameCount;
  }

  int FrameCount;
  std::vector<double> Values;
};

}  // namespace kalvex

#pragma once
// Channel blocks: a range header (minimum, maximum, count of the samples it
// describes) followed by the samples. Raw channels hold signed 16-bit counts
// (32768 = full scale); the derived channel and graph curves hold doubles.

#include <cstdint>
#include <vector>

namespace kalvex {

struct SampleArray {
  double Min = 0;
  double Max = 0;
  std::int32_t Count = 0;
  std::vector<std::int16_t> Samples;
};

struct ValueArray {
  double Min = 0;
  double Max = 0;
  std::int32_t Count = 0;
  std::vector<double> Values;
};

// Stores minimum, maximum and count of entries 0..count-1 in the header; a
// count of -1 takes the count already in the header. The first entry seeds
// both; no entries give a range of 0..0. Never reads past the block.
void ScanRange(SampleArray& block, int count);
void ScanValueRange(ValueArray& block, int count);

// Negates samples 0..count-1 (16-bit: -32768 stays -32768).
void NegateSamples(SampleArray& block, int count);

}  // namespace kalvex

#pragma once
// A command block as the program builds it, for tests that talk to the unit
// simulator; only the fields the unit reads vary.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace kalvex::test {

// Sample rate index k, sweep seconds, channel count, configuration byte and
// input map; a positive trigger edge.
inline std::vector<std::uint8_t> UnitCommandBlock(int k, int seconds, int channels,
                                                  int configuration,
                                                  std::initializer_list<int> inputMap) {
  std::vector<std::uint8_t> b(23, 0);
  b[0] = 0xCC;
  b[1] = 0xA5;
  const int interval = 1840 >> k;
  b[2] = static_cast<std::uint8_t>(interval >> 8);
  b[3] = static_cast<std::uint8_t>(interval);
  const std::uint32_t length = (500u << k) * seconds + 500;
  for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  b[8] = static_cast<std::uint8_t>(channels);
  int at = 9;
  for (int m : inputMap) b[at++] = static_cast<std::uint8_t>(m);
  b[16] = static_cast<std::uint8_t>(configuration);
  b[18] = 0x01;
  return b;
}

}  // namespace kalvex::test

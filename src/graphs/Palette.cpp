#include "graphs/Palette.h"

#include <array>
#include <vector>

#include "graphs/GraphTypes.h"

namespace kalvex {
namespace {

using Row = std::vector<std::int32_t>;

const Row& PaletteRow(int type, int mode) {
  static const Row harmonics{0x804000, 0x0000FF, 0xFF0000, 0x0080FF, 0xFF00FF, 0x00FF00, 0xFF8040};
  static const Row ground{0x804000, 0xFF0000, 0x0000FF};
  static const Row power{0x0080FF, 0xFF00FF};
  static const std::array<Row, 5> byMode{
      Row{0xFF0000, 0xFF00FF, 0x00FF00, 0xFF8040, 0x0000FF, 0x008000, 0x804000},
      Row{0xFF0000, 0x00FF00, 0xFF00FF, 0xFF8040, 0x0000FF, 0x008000, 0x804000},
      Row{0xFF0000, 0x0000FF, 0x008000, 0x804000, 0xFF00FF, 0xFF8040, 0x0080FF},
      Row{0xFF0000, 0x0000FF, 0x008000, 0x804000}, Row{0xFF0000, 0x0000FF}};
  static const Row none;
  if (type == Harmonics) return harmonics;
  if (type == Ground) return ground;
  if (type == Power) return power;
  return mode >= 0 && mode < 5 ? byMode[mode] : none;
}

constexpr std::int32_t kCycle[] = {0xFF0000, 0x0000FF, 0x008000, 0x804000,
                                   0xFF00FF, 0xFF8040, 0x00FF00, 0x0080FF};

}  // namespace

std::int32_t CurveColour(int type, int mode, int index) {
  const Row& row = PaletteRow(type, mode);
  int i = ((index % 8) + 8) % 8;
  return i < static_cast<int>(row.size()) ? row[i] : 0x000000;
}

std::int32_t NextAccumulationColour(std::int32_t colour) {
  for (std::size_t i = 0; i < std::size(kCycle); ++i)
    if (kCycle[i] == colour) return kCycle[(i + 1) % std::size(kCycle)];
  return colour;
}

}  // namespace kalvex

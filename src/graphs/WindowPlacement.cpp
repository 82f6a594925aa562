#include "graphs/WindowPlacement.h"

#include <algorithm>

namespace kalvex {

IntRect PlaceNewWindow(WindowSize area, WindowSize own, int openCount, int step) {
  const int width = std::clamp(own.width, 0, std::max(0, area.width));
  const int height = std::clamp(own.height, 0, std::max(0, area.height));
  // How many steps fit before the window would cross the right or bottom
  // edge; the cascade wraps after the last of them.
  const int room = std::min(area.width - width, area.height - height);
  const int positions = step > 0 ? room / step + 1 : 1;
  const int offset = step > 0 ? std::max(0, openCount) % positions * step : 0;
  return {offset, offset, offset + width, offset + height};
}

}  // namespace kalvex

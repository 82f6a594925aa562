#pragma once
// The window side of what follows an accepted settings dialog. The desktop
// program wires the steps to its window set; every step is optional and an
// empty one does nothing. User-interface thread only.

#include <functional>

namespace kalvex {

struct SettingsWindowSteps {
  // The graph windows' data are reset after the frame analysis cache was
  // dropped: each window's curves are made again from the current recording
  // under the new settings (keeping type, choices and scaling).
  std::function<void()> resetWindowData;
  // Every graph window is redrawn: caption and repaint.
  std::function<void()> redrawAll;
};

}  // namespace kalvex

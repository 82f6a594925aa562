#pragma once
// Where a new graph window opens in the main window's client area: at its
// own size when that fits, always wholly inside the area, cascaded from the
// top-left so that the windows already open stay reachable by their title
// bars.

#include "graphs/TGrWin.h"

namespace kalvex {

struct WindowSize {
  int width = 0, height = 0;
};

// The rectangle (right and bottom exclusive) of the window opened after
// `openCount` others in an area of `area` pixels, each window offset by
// `step` pixels right and down from the one before; the cascade starts again
// at the top-left once the next step would leave the area.
IntRect PlaceNewWindow(WindowSize area, WindowSize own, int openCount, int step);

}  // namespace kalvex

#pragma once
// How the main window's progress panel looks for a value of the progress
// indicator: the worker and the acquisition control write the value, the
// status bar draws it.

#include <string>

namespace kalvex {

// The indicator's value at program start: the panel draws nothing.
inline constexpr int ProgressUnset = -1;
// The panel is blank.
inline constexpr int ProgressBlank = 999;
// Values from here up are seconds left, plus this.
inline constexpr int ProgressSecondsBase = 1000;

struct ProgressPanelLook {
  enum Kind {
    Nothing,      // leave the panel as the platform drew it
    Blank,        // fill it with the button-face colour
    Bar,          // a bar of barWidth pixels from the left edge
    SecondsLeft,  // blank, with `text` 10 px from the left, 1 px down
  };
  Kind kind = Nothing;
  int barWidth = 0;
  std::string text;
};

// The look for value v on a panel `panelWidth` pixels wide: 1..998 is a
// percentage bar (width rounded to nearest, ties to even), 999 blank, 1000
// and above the seconds left, 0 and below nothing.
ProgressPanelLook LookOfProgress(int v, int panelWidth);

}  // namespace kalvex

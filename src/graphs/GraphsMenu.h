#pragma once
// The state of the "Графики" menu's type items when the menu opens.

namespace kalvex {

class TGrWin;

struct GraphsMenuState {
  // The type items can be chosen (not for an interval spectrum window, whose
  // type follows its source window).
  bool TypeItemsEnabled = true;
  // The tag of the one checked item; 0 = none checked.
  int CheckedTag = 0;
  bool operator==(const GraphsMenuState&) const = default;
};

// For the active window (nullptr when there is none).
GraphsMenuState GraphsMenuStateFor(const TGrWin* active);

// The "Графики" menu's type items, tags 1..14, in menu order.
inline constexpr int GraphsMenuItems = 14;

// Whether the type item with this tag is shown for a recording of `mode`.
bool MenuItemOffered(int tag, int mode);

}  // namespace kalvex

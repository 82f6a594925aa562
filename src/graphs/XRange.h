#pragma once
// Changing the displayed x range of one graph window: from the label editor
// (one end at a time, in axis units) and "show whole".

#include "graphs/TGrWin.h"

namespace kalvex {

// New last index = round(v × XPerUnit), taken only when it lies after the
// first index, and clamped to the full range's end. Returns whether it was
// taken. The caller redraws.
bool SetRangeEnd(TGrWin& window, double v);
// New first index likewise: taken only before the last index, clamped to the
// full range's start.
bool SetRangeStart(TGrWin& window, double v);
// Both ends at once: shows the interval first..last (axis units) as far as the
// full range allows, so that a range wholly before or after the current one
// can be set in one step. A window whose full range does not overlap the
// interval, or in which it would be narrower than one index, keeps its range.
// Returns whether the range was set. The caller redraws.
bool SetXRange(TGrWin& window, double first, double last);

// Displayed range = full range; the selected curve (every curve while
// accumulating, and for Harmonics) is rescaled to fit its extremes at the next
// drawing. Updates the scroll bar and repaints.
void ShowWhole(TGrWin& window);

}  // namespace kalvex

#pragma once
// The mouse and label-editor rules of a graph window that need no screen:
// which axis label lies under the pointer, applying a typed-in label value,
// zooming the x range by clicks and by the two horizontal drags. The form
// routes its events here, then redraws, updates its scroll bar and refreshes
// dependent windows as each function's result says.

#include "graphs/TGrWin.h"

namespace kalvex {

// An editable label under the pointer: its edit target (LabelTargets) and the
// value the editor opens with. Target NoLabel when there is none.
struct LabelHit {
  std::int32_t Target = NoLabel;
  double Value = 0;
};

// The value of a curve at pixel row p of its band; 0 while it has no scale.
double ValueAtPixel(const CurveSlot& curve, double p);

// The value that stands for a band's scale in the editor: the value at the
// band top (scale modes 0 and 1), at the band bottom (mode 2), or half the
// difference of the two (mode 3).
double BandValue(const CurveSlot& curve, std::uint8_t scaleMode);

// The editable label at (x, y), with `textHeight` the height of a label's
// text: the first and last x labels (their hit rectangles), and, left of the
// plot, the band-top and band-bottom labels of the selected curve and, in
// scale mode 3, the rest of that margin for the centre value.
LabelHit HitLabel(const TGrWin& window, int x, int y, int textHeight);

// Opens the editor on the label at (x, y): sets the edit target and the value
// shown. Returns false, leaving the window as it was, when no label is there.
bool OpenLabelEditor(TGrWin& window, int x, int y, int textHeight);

// Applies the value n typed into the editor to its target, then closes the
// editor (target NoLabel). The x ends go through SetRangeStart/SetRangeEnd;
// a y label rescales the selected curve, keeping the opposite band edge in
// scale mode 3. A value that would leave the curve without a positive, finite
// zoom (0, the wrong sign, an inverted band) is refused. While accumulating,
// and for Harmonics, every curve then takes the selected curve's scale and
// zoom. Returns whether anything changed.
bool ApplyLabelEdit(TGrWin& window, double n);

// Whether (x, y) lies inside the plot rectangle (right and bottom excluded).
bool InPlot(const TGrWin& window, int x, int y);

// Whether (x, y) lies right of, above or below the plot: where a mouse move
// leaves it. Left of the plot, over the y labels, drags go on.
bool BeyondPlot(const TGrWin& window, int x, int y);

// The x index under pixel column x of the plot.
std::int32_t IndexAtPixel(const TGrWin& window, int x);

// The zoom-by-clicks tool: a click at (x, y) inside the plot halves the range
// around the index there (zoomIn) or doubles it, within the full range.
// Zooming in needs more than 4 indices shown; zooming out, a range smaller
// than the full one. Returns whether the range changed.
bool ZoomByClick(TGrWin& window, int x, int y, bool zoomIn);

// Mouse down with a horizontal zoom tool on: inside the plot, the drag of
// that tool starts, anchored at (x, y). Returns whether it started.
bool StartHorizontalDrag(TGrWin& window, int x, int y);

// One step of a horizontal drag to column x. Right end fixed: the first index
// moves so that the span from the anchor to the plot right now ends at x;
// left end fixed: the last index likewise, measured from the plot left. The
// anchor follows x when the range changed. Returns whether it changed.
bool DragHorizontally(TGrWin& window, int x);

// The vertical zoom tool applies: it is on and a curve is selected, or the
// window shows one curve, or it accumulates (all curves share one zoom).
bool VerticalZoomApplies(const TGrWin& window);

// Mouse down where the vertical zoom applies: the vertical drag starts,
// anchored at (x, y), and the tool's hover state rests until mouse up.
// Returns whether it started.
bool StartVerticalDrag(TGrWin& window, int x, int y);

// One step of the vertical drag to row y: the selected curve (curve 0 when
// none is) is zoomed by how much farther from its band's fixed line the
// pointer is now than at the anchor — the band bottom in scale mode 1, the
// top in mode 2, the middle (which the pointer may not cross) in modes 0 and
// 3. The anchor follows y. While accumulating, and for Harmonics, every curve
// takes the new zoom; an interval spectrum passes it to its source curve.
// Returns whether a zoom changed.
bool DragVertically(TGrWin& window, int y);

// Mouse up: every drag ends and the vertical tool's hover state returns as
// its button (`verticalToolDown`) says.
void EndDrags(TGrWin& window, bool verticalToolDown);

}  // namespace kalvex

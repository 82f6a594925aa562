#pragma once
// Drawing a graph window onto a canvas: plot rectangle from the font's
// metrics, frame and grid, the five x labels with their hit rectangles, the
// curves (one segment per pixel column, an envelope when there are more
// samples than pixels), y labels, vertical legends and, on screen, the
// read-out line. The renderer keeps nothing between calls.

#include <string>

#include "analysis/AnalysisContext.h"
#include "graphs/TGrWin.h"

namespace kalvex {

class Canvas;

struct DrawRequest {
  // 0: take the mouse position (`mouseX`, surface co-ordinates).
  int cursorX = 0;
  int mouseX = 0;
  // true: curves and labels in their colours; false: black.
  bool colour = true;
  // A rectangle of a report page; null on screen.
  const IntRect* outer = nullptr;
};

// The whole drawing (on screen when the window has a form and no outer
// rectangle is given). `ctx` gives the recording (origin, sweep seconds,
// channel names and units, the REF frame table) and the settings.
void DrawGraph(TGrWin& window, Canvas& canvas, const AnalysisContext& ctx, const DrawRequest& request);

// Number formats of labels and read-outs ("." is the separator).
std::string FormatXLabel(int index, double xPerUnit);
std::string FormatXReadout(int index, double xPerUnit);
std::string FormatYLabel(double value);
std::string FormatReadoutValue(double value, int graphType);

}  // namespace kalvex

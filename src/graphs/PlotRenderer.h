#pragma once
// Drawing a graph window onto a canvas: plot rectangle from the font's
// metrics, frame and grid, the five x labels with their hit rectangles, the
// curves (one segment per pixel column, an envelope when there are more
// samples than pixels), y labels, vertical legends and, on screen, the
// read-out line. The renderer keeps nothing between calls.

#include <functional>
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

// The text of an x label at an index; unset: the index in the window's x
// units.
using XLabelText = std::function<std::string(double index)>;

// The whole drawing (on screen when the window has a form and no outer
// rectangle is given). `ctx` gives the recording (origin, sweep seconds,
// channel names and units, the REF frame table) and the settings.
void DrawGraph(TGrWin& window, Canvas& canvas, const AnalysisContext& ctx,
               const DrawRequest& request, const XLabelText& xLabel = {});

// One curve in the band DrawGraph gave it (nothing without data, or for an
// interval spectrum without a chosen source curve).
void DrawCurve(const TGrWin& window, int curve, bool colour, Canvas& canvas,
               const AnalysisContext& ctx);

// The ordinate labels of a curve's band, each ending at x.
void DrawYLabels(const TGrWin& window, Canvas& canvas, int x, bool colour, int curve,
                 const AnalysisContext& ctx);

// The value line above the plot for the pixel column x (on screen); stores
// each curve's text extent in its slot.
void DrawReadout(TGrWin& window, Canvas& canvas, const AnalysisContext& ctx, int x);

// A curve's label written bottom-to-top beside the plot, centred on its band,
// in the current font colour; only on screen.
void DrawVerticalLegend(Canvas& canvas, const std::string& text, int x, bool onScreen,
                        bool selected, int bandTop, int bandBottom);

// Number formats of labels and read-outs ("." is the separator).
std::string FormatXLabel(int index, double xPerUnit);
// The in-between labels fall between indices.
std::string FormatXLabel(double index, double xPerUnit);
std::string FormatXReadout(int index, double xPerUnit);
std::string FormatYLabel(double value);
std::string FormatReadoutValue(double value, int graphType);

}  // namespace kalvex

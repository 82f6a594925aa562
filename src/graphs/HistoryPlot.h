#pragma once
// One vibrator's QC history drawn like every graph window: a band per
// figure with its daily means over the days, the figure's limits as red
// lines across the band and its drift line in grey, the days' dates along x.
// The x range runs on to the day the drift line crosses a limit when the
// vibrator is drifting, so that the crossing shows.

#include <span>
#include <string>

#include "graphs/Canvas.h"
#include "graphs/TGrWin.h"
#include "qc/QcHistory.h"

namespace kalvex {

// Draws into `area` (a page's rectangle, or the whole surface of width ×
// height when null). Nothing but the frame and the title without daily
// figures.
void DrawHistoryPlot(Canvas& canvas, int width, int height, const IntRect* area,
                     const std::string& vibrator, std::span<const DailyFigure> daily,
                     std::span<const DriftLine> drift);

}  // namespace kalvex

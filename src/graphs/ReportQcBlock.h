#pragma once
// The QC block of the report: the overall verdict with the profile's name, a
// table of the figures (a limits row, one row per compared channel, figures
// outside their limits marked), and the provenance line, fitted into the
// room the header leaves.

#include "graphs/Canvas.h"
#include "graphs/TGrWin.h"
#include "qc/QcVerdict.h"

namespace kalvex {

// Draws the block in `area` with the largest font (9 down to 5 points) at
// which its lines fit the height and its columns their texts; where not even that fits, the verdict line and the failed
// figures only. Restores the canvas font.
void DrawQcBlock(Canvas& canvas, const IntRect& area, const QcOutcome& outcome, bool colour);

}  // namespace kalvex

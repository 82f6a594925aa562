#pragma once
// The QC block of the report: the overall verdict with the profile's name, a
// table of the figures (a limits row, one row per compared channel, figures
// outside their limits marked), and the provenance line, fitted into the
// room the header leaves.

#include "graphs/Canvas.h"
#include "graphs/TGrWin.h"
#include "qc/QcVerdict.h"

namespace kalvex {

// The largest type, 9 down to 5 points, at which the whole block fits `area`
// in the canvas's current font: its lines the height, each figure column its
// widest text. 0 when not even 5 points fit.
int QcBlockSize(Canvas& canvas, const IntRect& area, const QcOutcome& outcome);

// The height the whole block takes at `size` points.
int QcBlockHeight(Canvas& canvas, const QcOutcome& outcome, int size);

// Draws the block in `area` at QcBlockSize; where not even 5 points fit, the
// verdict line and the failed figures only. Restores the canvas font.
void DrawQcBlock(Canvas& canvas, const IntRect& area, const QcOutcome& outcome, bool colour);

}  // namespace kalvex

#pragma once
// Setting a graph window's type without a dialog (the report's windows and
// the command line), and the pieces every way of setting a type shares: the
// type's x scale and curves, and the computation of its curves.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;
class TFrmFile;

// The type's default choices for the recording (channels, orders, options,
// dB flags, measure, display); frees the curves and sets the type.
void ChooseDefaults(TGrWin& window, int type, int option, const TFrmFile& rec);

// The type's x scale: x per unit and full range.
void ScaleWindow(const AnalysisContext& ctx, TGrWin& window);

// How many curves of how many values the window's choices make.
struct CurveLayout {
  int count;
  int length;
};
CurveLayout CurveLayoutOf(const AnalysisContext& ctx, const TGrWin& window);

// Frees the curves and allocates those of the layout (the computed markers
// cleared).
void AllocateCurves(TGrWin& window, CurveLayout layout);

// x scale and curves from the window's choices; displayed range = full
// range, selected curve 0.
void LayoutWindow(const AnalysisContext& ctx, TGrWin& window);

// Fills the window's curves from the recording with the type's analysis;
// with `skipComputed`, curves whose computed marker is set keep their values
// (the marker is reset).
void ComputeWindow(const AnalysisContext& ctx, TGrWin& window, bool skipComputed = false);

// Curve 0 only, for a recording entering an accumulating window: the
// analyses' first-curve form (values only; the curve keeps its name, colour
// and range).
void ComputeFirstCurveOnly(const AnalysisContext& ctx, TGrWin& window);

// The vertical limits the defaults give some types' curves.
void ApplyDefaultLimits(TGrWin& window, int option, const TFrmFile& rec);

// All of the above, as the report sets up its windows. Ground, Power and
// AccCompare change nothing in modes without RM and BP channels.
void SetTypeWithDefaults(const AnalysisContext& ctx, TGrWin& window, int type, int option);

}  // namespace kalvex

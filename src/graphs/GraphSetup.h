#pragma once
// Setting up a graph window without a dialog (the report's windows and the
// command line): the type's default choices, the curves and x scale that
// follow from them, the computation, and the limits the defaults fix.

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// The type's default choices for the recording (channels, orders, options,
// dB flags, measure, display); frees the curves and sets the type.
void ChooseDefaults(TGrWin& window, int type, int option, const TFrmFile& rec);

// From the window's choices: x per unit, full range, curve count, curve
// lengths; displayed range = full range, selected curve 0.
void LayoutWindow(const AnalysisContext& ctx, TGrWin& window);

// Fills every curve from the recording with the type's analysis.
void ComputeWindow(const AnalysisContext& ctx, TGrWin& window);

// The vertical limits the defaults give some types' curves.
void ApplyDefaultLimits(TGrWin& window, int option, const TFrmFile& rec);

// All of the above, as the report sets up its windows.
void SetTypeWithDefaults(const AnalysisContext& ctx, TGrWin& window, int type, int option);

}  // namespace kalvex

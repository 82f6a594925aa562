#pragma once
// Analyses that combine the reaction-mass (RM) and baseplate (BP) channels
// frame by frame (modes 0, 1, 3): ground impedance (type 9), power (type 10)
// and the accelerometer comparison (type 11).

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// Kinds of the Ground curves and of the Power curves in dimension 0.
enum ImpedanceKind : int { ModuleKind = 0, ActiveKind = 1, ReactiveKind = 2 };

// The kind of curve `curve` among the options switched on.
int ImpedanceKindOf(bool module, bool active, int curve);

// Curves a window of these types holds for its options.
int GroundCurveCount(const TGrWin& window);
int PowerCurveCount(const TGrWin& window);
int AccCompareCurveCount(const TGrWin& window);

void ComputeGround(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                   bool skipComputed);
void ComputePower(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                  bool skipComputed);
void ComputeAccCompare(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                       bool skipComputed);

}  // namespace kalvex

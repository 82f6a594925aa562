#pragma once
// Harmonics (graph type 5): frame by frame, the harmonics 2..5 of a channel in
// percent of its fundamental, alone or combined ("All", "Even", "Odd").

#include "analysis/AnalysisContext.h"

namespace kalvex {

class TGrWin;

// The order codes of the harmonics selection.
enum HarmonicOrder : int {
  AllOrders = 0,
  EvenOrders = 1,
  OddOrders = 2,
  Order2 = 3,
  Order3 = 4,
  Order4 = 5,
  Order5 = 6
};

// Curves of the window: with fewer than two orders one per selected channel
// (first order), otherwise one per selected order (first channel).
int HarmonicsCurveCount(const TGrWin& window);

void ComputeHarmonics(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                      bool skipComputed);

}  // namespace kalvex

#pragma once
// Raw counts to physical units: the factor by mode, channel and unit code,
// and the range roundings that give the default vertical limits.

#include "analysis/AnalysisContext.h"

namespace kalvex {

// Whether the channel's correction factor is part of the unit factor. Values
// computed from corrected samples (the frame tables) take it without.
enum class Correction { Included, Excluded };

// The factor by which a raw count (for the computed channel: a derived
// value) becomes the unit UnitName(mode, channel, code) names; 1 for any
// combination without one.
double UnitFactor(const AnalysisContext& ctx, int mode, int channel, int unitCode,
                  Correction correction = Correction::Included);

// The smallest even integer above round(x).
double EvenAbove(double x);
// round(x / 45.4) · 100 + 100: a pounds-force limit.
double Hundreds(double x);
// round(x / 98 / 20) · 20 + 20: a kilonewton limit.
double Twenties(double x);

}  // namespace kalvex

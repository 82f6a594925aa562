#pragma once
// The one fixed-point number-to-text conversion of the system, used by the
// dialogs, the model lists, the reports, the graph labels and the text export.

#include <string>

namespace kalvex {

// digits >= 1: that many decimals; 0: two decimals with trailing zeros trimmed
// ("12.5", "12"); < 0: an integer text. NoValue gives the empty text.
// Values keep at most 10 significant digits; "." is always the separator.
std::string FormatNumber(double x, int digits);

// x in fixed notation with `decimals` places and at most `precision`
// significant digits, rounding half away from zero on the decimal digits; too
// many integer digits switch to scientific notation.
std::string FixedText(double x, int precision, int decimals);

}  // namespace kalvex

#pragma once
// The program's text-to-number conversion of decimal fractions, as the dialogs
// read what the operator typed: "." is always the separator, whatever the
// system's regional settings say.

#include <string_view>

namespace kalvex {

// An optional sign, digits with at most one ".", an optional exponent
// ("1.05", "-.5", "1e-3"); the whole text must be the number. Blanks,
// infinities, "nan", hexadecimal forms and values beyond the 64-bit float
// range are not numbers. On success `value` holds the nearest 64-bit float.
bool ParseDecimalText(std::string_view text, double& value);

}  // namespace kalvex

#pragma once

namespace kalvex {

// Marks a parameter that was never entered; number-to-text conversions turn
// exactly this value into an empty text.
inline constexpr double NoValue = -1.789E308;

}  // namespace kalvex

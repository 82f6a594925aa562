#pragma once
// Curve colours (RGB 0xRRGGBB): by graph type first, else by recording mode;
// and the cycle that gives accumulated recordings their colours.

#include <cstdint>

namespace kalvex {

// The colour of curve (or channel) index `index` in a window of `type` made
// for `mode`; black where the palette has no entry.
std::int32_t CurveColour(int type, int mode, int index);

// The successor of a colour in the accumulation cycle; a colour outside the
// cycle stays as it is.
std::int32_t NextAccumulationColour(std::int32_t colour);

}  // namespace kalvex

#pragma once
// Small pieces the parts of the plot renderer share.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "graphs/Canvas.h"
#include "graphs/TGrWin.h"

namespace kalvex::plot {

inline constexpr std::int32_t Black = 0x000000;
inline constexpr std::int32_t White = 0xFFFFFF;
inline constexpr std::int32_t Grey = 0x808080;

inline bool HasValues(const CurveSlot& curve) {
  return curve.Values && !curve.Values->Values.empty();
}

// A Distortion window showing every row at once.
inline bool IsWaterfall(const TGrWin& window) {
  return window.Type == Distortion && window.TimePoint == -1;
}

inline int CurveCountOf(const TGrWin& window) {
  return std::clamp<int>(window.CurveCount, 0, MaxCurves);
}

// Nearest integer, halves to even; values beyond the int range (and NaN)
// are held at a safe pixel instead of overflowing the conversion.
inline int RoundToInt(double v) {
  constexpr double limit = 1 << 30;
  if (!(v > -limit)) return -(1 << 30);
  if (v > limit) return 1 << 30;
  return static_cast<int>(std::nearbyint(v));
}

inline void SetFontColour(Canvas& canvas, std::int32_t rgb) {
  CanvasFont font = canvas.Font();
  font.colour = rgb;
  canvas.SetFont(font);
}

// Text that ends at x.
inline void PutTextRight(Canvas& canvas, int x, int y, const std::string& text) {
  canvas.PutText(x - canvas.TextWidth(text), y, text);
}

// The value of a curve at x index j, reading element j + offset; an index
// past either end of the values reads the nearest one.
inline double ValueAt(const CurveSlot& curve, long long j, long long offset) {
  const auto& v = curve.Values->Values;
  const long long i = std::clamp<long long>(j + offset, 0, static_cast<long long>(v.size()) - 1);
  return v[static_cast<std::size_t>(i)];
}

}  // namespace kalvex::plot

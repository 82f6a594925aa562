#include "graphs/XRange.h"

#include <algorithm>
#include <cmath>

#include "graphs/GraphForm.h"

namespace kalvex {
namespace {

// Index of axis value v, rounded to nearest (ties to even). Kept as a double:
// typed-in values may lie far outside the index range, and are compared and
// clamped before they become integers.
double IndexOf(const TGrWin& w, double v) {
  return std::nearbyint(v * w.XPerUnit);
}

std::int32_t ClampedToFull(const TGrWin& w, double index) {
  if (index <= w.FullRange.First) return w.FullRange.First;
  if (index >= w.FullRange.Last) return w.FullRange.Last;
  return static_cast<std::int32_t>(index);
}

void FitToExtremes(CurveSlot& c) {
  c.Scale = 0;
  c.Centre = (c.Min + c.Max) / 2;
  c.HalfRange = (c.Max - c.Min) / 2;
}

}  // namespace

bool SetRangeEnd(TGrWin& window, double v) {
  double last = IndexOf(window, v);
  if (!(last > window.DisplayedRange.First)) return false;  // also refuses NaN
  window.DisplayedRange.Last =
      last >= window.FullRange.Last ? window.FullRange.Last : static_cast<std::int32_t>(last);
  return true;
}

bool SetRangeStart(TGrWin& window, double v) {
  double first = IndexOf(window, v);
  if (!(first < window.DisplayedRange.Last)) return false;
  window.DisplayedRange.First =
      first <= window.FullRange.First ? window.FullRange.First : static_cast<std::int32_t>(first);
  return true;
}

bool SetXRange(TGrWin& window, double start, double end) {
  double first = IndexOf(window, start);
  double last = IndexOf(window, end);
  // Also refuses NaN.
  if (!(last > window.FullRange.First && first < window.FullRange.Last)) return false;
  std::int32_t f = ClampedToFull(window, first);
  std::int32_t l = ClampedToFull(window, last);
  if (f >= l) return false;
  window.DisplayedRange = {f, l};
  return true;
}

void ShowWhole(TGrWin& window) {
  window.DisplayedRange = window.FullRange;
  int count = std::min(window.CurveCount, MaxCurves);
  if (window.Accumulating || window.Type == Harmonics) {
    for (int i = 0; i < count; ++i) FitToExtremes(window.Curves[i]);
  } else if (window.SelectedCurve >= 0 && window.SelectedCurve < count) {
    FitToExtremes(window.Curves[window.SelectedCurve]);
  }
  if (window.Form) {
    window.Form->UpdateScrollBar();
    window.Form->Repaint();
  }
}

}  // namespace kalvex

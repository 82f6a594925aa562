#include "graphs/GraphMouse.h"

#include <algorithm>
#include <cmath>

#include "graphs/XRange.h"

namespace kalvex {
namespace {

bool Contains(const IntRect& r, int x, int y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// The selected curve's index, or -1 when none of the window's curves is.
int SelectedIndex(const TGrWin& w) {
  const int count = std::clamp<int>(w.CurveCount, 0, MaxCurves);
  return w.SelectedCurve >= 0 && w.SelectedCurve < count ? w.SelectedCurve : -1;
}

// Nearest integer (halves to even) of v, held within lo..hi (lo <= hi).
std::int32_t Clamped(double v, std::int32_t lo, std::int32_t hi) {
  if (std::isnan(v)) return lo;
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(v), double(lo), double(hi)));
}

// Zoom × old ÷ new, when that keeps the curve drawable.
bool Rezoom(CurveSlot& c, double factor) {
  const double zoom = c.Zoom * factor;
  if (!std::isfinite(zoom) || !(zoom > 0)) return false;
  c.Zoom = zoom;
  return true;
}

// Scale mode 3: one band edge moves to n while the opposite edge `fixed`
// stays. The half range must stay positive.
bool MoveEdge(CurveSlot& c, double fixed, double n, double oldHalf, bool movingTop) {
  const double half = (movingTop ? n - fixed : fixed - n) / 2;
  if (!(half > 0) || !(oldHalf > 0)) return false;
  if (!Rezoom(c, oldHalf / half)) return false;
  c.Centre = movingTop ? fixed + half : fixed - half;
  return true;
}

bool ApplyYLabel(std::int32_t target, std::uint8_t scaleMode, CurveSlot& c, double o, double n) {
  const double centre = c.Centre;
  switch (target) {
    case CentreValue:
      if (!std::isfinite(n)) return false;
      c.Centre = n;
      return true;
    case BottomYLabel:
      if (scaleMode == FitCentreHalfRange) {
        const double half = centre - o;
        return MoveEdge(c, centre + half, n, half, false);
      }
      return Rezoom(c, o / n);
    case TopYLabel:
      if (scaleMode == FitCentreHalfRange) {
        const double half = o - centre;
        return MoveEdge(c, centre - half, n, half, true);
      }
      return Rezoom(c, o / n);
    default:
      return false;
  }
}

}  // namespace

double ValueAtPixel(const CurveSlot& curve, double p) {
  const double divisor = curve.BandHeight * curve.Scale * curve.Zoom;
  return divisor == 0 ? 0.0 : (p - curve.ZeroLine) / divisor;
}

double BandValue(const CurveSlot& curve, std::uint8_t scaleMode) {
  const double top = ValueAtPixel(curve, curve.BandTop);
  const double bottom = ValueAtPixel(curve, curve.BandBottom);
  switch (scaleMode) {
    case ZeroAtTop:
      return bottom;
    case FitCentreHalfRange:
      return (top - bottom) / 2;
    default:
      return top;
  }
}

LabelHit HitLabel(const TGrWin& w, int x, int y, int textHeight) {
  const IntRect& plot = w.PlotRect;
  const bool inLeftMargin = x < plot.Left && y >= plot.Top - 2 && y <= plot.Bottom;
  if (!inLeftMargin) {
    if (Contains(w.LeftXLabelRect, x, y))
      return {LeftXLabel, w.XPerUnit == 0 ? 0.0 : w.DisplayedRange.First / w.XPerUnit};
    if (Contains(w.RightXLabelRect, x, y))
      return {RightXLabel, w.XPerUnit == 0 ? 0.0 : w.DisplayedRange.Last / w.XPerUnit};
    return {};
  }
  const int selected = SelectedIndex(w);
  if (selected < 0) return {};
  const CurveSlot* c = &w.Curves[selected];
  const double v = BandValue(*c, w.ScaleMode);
  const bool mode3 = w.ScaleMode == FitCentreHalfRange;
  if (y >= c->BandBottom - (textHeight + 2) && y <= c->BandBottom)
    return {BottomYLabel, w.ScaleMode == SymmetricAboutCentre ? -v : mode3 ? c->Centre - v : v};
  if (y >= c->BandTop - 2 && y <= c->BandTop + textHeight)
    return {TopYLabel, mode3 ? c->Centre + v : v};
  if (mode3) return {CentreValue, c->Centre};
  return {};
}

bool OpenLabelEditor(TGrWin& w, int x, int y, int textHeight) {
  const LabelHit hit = HitLabel(w, x, y, textHeight);
  if (hit.Target == NoLabel) return false;
  w.LabelEditTarget = hit.Target;
  w.EditorValue = hit.Value;
  return true;
}

bool ApplyLabelEdit(TGrWin& w, double n) {
  const std::int32_t target = w.LabelEditTarget;
  w.LabelEditTarget = NoLabel;
  if (target == LeftXLabel) return SetRangeStart(w, n);
  if (target == RightXLabel) return SetRangeEnd(w, n);
  const int selected = SelectedIndex(w);
  if (selected < 0 || std::isnan(n)) return false;
  CurveSlot* c = &w.Curves[selected];
  if (!ApplyYLabel(target, w.ScaleMode, *c, w.EditorValue, n)) return false;
  if (w.Accumulating || w.Type == Harmonics) {
    const int count = std::clamp<int>(w.CurveCount, 0, MaxCurves);
    for (int i = 0; i < count; ++i) {
      w.Curves[i].Scale = c->Scale;
      w.Curves[i].Zoom = c->Zoom;
    }
  }
  return true;
}

bool InPlot(const TGrWin& w, int x, int y) {
  return x >= w.PlotRect.Left && x < w.PlotRect.Right && y >= w.PlotRect.Top &&
         y < w.PlotRect.Bottom;
}

bool BeyondPlot(const TGrWin& w, int x, int y) {
  return x >= w.PlotRect.Right || y < w.PlotRect.Top || y >= w.PlotRect.Bottom;
}

std::int32_t IndexAtPixel(const TGrWin& w, int x) {
  const IndexRange r = w.DisplayedRange;
  const int width = w.PlotRect.Right - w.PlotRect.Left;
  if (width == 0) return r.First;
  const double offset =
      std::nearbyint(double(x - w.PlotRect.Left) * (double(r.Last) - r.First) / width);
  return Clamped(r.First + offset, std::min(r.First, r.Last), std::max(r.First, r.Last));
}

bool ZoomByClick(TGrWin& w, int x, int y, bool zoomIn) {
  if (!InPlot(w, x, y)) return false;
  IndexRange& r = w.DisplayedRange;
  const IndexRange before = r;
  std::int32_t j = IndexAtPixel(w, x);
  if (j == r.Last) j = r.Last - 1;
  if (j == r.First) j = r.First + 1;
  if (zoomIn) {
    if (r.Last - r.First <= 4) return false;
    const std::int32_t a = j - r.First, b = r.Last - j;
    if (a < b) {
      r.First += a / 2;
      r.Last = r.First + a;
    } else {
      r.Last -= b / 2;
      r.First = r.Last - b;
    }
  } else {
    if (r == w.FullRange) return false;
    const double width = double(r.Last) - r.First;
    r.First = Clamped(j - width, w.FullRange.First, w.FullRange.Last);
    r.Last = Clamped(j + width, w.FullRange.First, w.FullRange.Last);
  }
  return r != before;
}

bool StartHorizontalDrag(TGrWin& w, int x, int y) {
  if (!(w.ToolZoomKeepRight || w.ToolZoomKeepLeft) || !InPlot(w, x, y)) return false;
  w.DragRightFixed = w.ToolZoomKeepRight;
  w.DragLeftFixed = !w.ToolZoomKeepRight;
  w.DragAnchorX = x;
  w.DragAnchorY = y;
  return true;
}

bool DragHorizontally(TGrWin& w, int x) {
  IndexRange& r = w.DisplayedRange;
  const double span = double(r.Last) - r.First;
  const IntRect& plot = w.PlotRect;
  if (w.DragRightFixed) {
    if (x == plot.Right || r.Last - 1 < w.FullRange.First) return false;
    const double moved = std::nearbyint(span * (plot.Right - w.DragAnchorX) / (plot.Right - x));
    const std::int32_t first = Clamped(r.Last - moved, w.FullRange.First, r.Last - 1);
    if (first == r.First) return false;
    r.First = first;
  } else if (w.DragLeftFixed) {
    if (x == plot.Left || r.First + 1 > w.FullRange.Last) return false;
    const double moved = std::nearbyint(span * (w.DragAnchorX - plot.Left) / (x - plot.Left));
    const std::int32_t last = Clamped(r.First + moved, r.First + 1, w.FullRange.Last);
    if (last == r.Last) return false;
    r.Last = last;
  } else {
    return false;
  }
  w.DragAnchorX = x;
  return true;
}

bool VerticalZoomApplies(const TGrWin& w) {
  return SelectedIndex(w) >= 0 || w.CurveCount == 1 || w.Accumulating;
}

bool StartVerticalDrag(TGrWin& w, int x, int y) {
  if (!w.ToolZoomVertical || !VerticalZoomApplies(w)) return false;
  w.DragAnchorX = x;
  w.DragAnchorY = y;
  w.DragVertical = true;
  w.ToolZoomVertical = false;
  return true;
}

namespace {

// How much farther from the band's fixed line row y lies than the anchor;
// 0 when the step changes nothing. In modes 0 and 3 y is kept on the
// anchor's side of the band middle.
double VerticalRatio(const TGrWin& w, const CurveSlot& c, int& y) {
  const int top = c.BandTop, bottom = c.BandBottom, anchor = w.DragAnchorY;
  if (y == anchor) return 0;
  int fixed = bottom;
  if (w.ScaleMode == ZeroAtBottom) {
    if (y == top) return 0;
  } else if (w.ScaleMode == ZeroAtTop) {
    fixed = top;
  } else {
    fixed = top + (bottom - top) / 2;
    if (anchor < fixed && y >= fixed) y = fixed - 1;
    if (anchor > fixed && y <= fixed) y = fixed + 1;
  }
  if (anchor == fixed) return 0;
  return std::abs(double(y) - fixed) / std::abs(double(anchor) - fixed);
}

}  // namespace

bool DragVertically(TGrWin& w, int y) {
  if (!w.DragVertical || !VerticalZoomApplies(w) || w.CurveCount < 1) return false;
  if (SelectedIndex(w) < 0) w.SelectedCurve = 0;
  CurveSlot& c = w.Curves[w.SelectedCurve];
  const double r = VerticalRatio(w, c, y);
  if (r == 0) return false;
  w.DragAnchorY = y;
  // A ratio that would leave the curve without a drawable zoom is skipped.
  if (c.Max == c.Min || !std::isfinite(r) || !(r > 0)) return false;
  c.Zoom *= r;
  if (w.ScaleMode == FitCentreHalfRange) c.HalfRange /= r;
  if (w.Accumulating || w.Type == Harmonics) {
    const int count = std::clamp<int>(w.CurveCount, 0, MaxCurves);
    for (int i = 0; i < count; ++i) w.Curves[i].Zoom = c.Zoom;
  }
  if (w.Type == IntervalSpectrum && w.SourceWindow) {
    if (const int source = SelectedIndex(*w.SourceWindow); source >= 0)
      w.SourceWindow->Curves[source].Zoom = c.Zoom;
  }
  return true;
}

void EndDrags(TGrWin& w, bool verticalToolDown) {
  w.DragRightFixed = w.DragLeftFixed = w.DragVertical = false;
  w.ToolZoomVertical = verticalToolDown;
}

}  // namespace kalvex

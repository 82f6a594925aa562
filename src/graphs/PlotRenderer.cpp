// The whole drawing of a graph window: background, plot rectangle and grid
// from the font's metrics, x labels, each curve's band and vertical scale,
// y labels and legends, then the read-out line and the selected curve on top.

#include "graphs/PlotRenderer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "graphs/PlotInternals.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

using plot::Black;
using plot::Grey;
using plot::RoundToInt;

void VerticalLine(Canvas& canvas, int x, int top, int bottom, std::int32_t rgb) {
  canvas.SetPenColour(rgb);
  canvas.MoveTo(x, top);
  canvas.LineTo(x, bottom);
}

void HorizontalLine(Canvas& canvas, int left, int right, int y, std::int32_t rgb) {
  canvas.SetPenColour(rgb);
  canvas.MoveTo(left, y);
  canvas.LineTo(right, y);
}

// Background (and, on a page, the frame); returns the drawing rectangle.
IntRect DrawBackground(TGrWin& w, Canvas& canvas, const IntRect* outer) {
  canvas.SetBrushColour(plot::White);
  canvas.SetPenColour(Black);
  IntRect r{0, 0, w.PlotWidth - 1, w.PlotHeight - 1};
  if (outer) {
    r = *outer;
    w.PlotWidth = r.Right - r.Left - 1;
    w.PlotHeight = r.Bottom - r.Top - 1;
  }
  canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom);
  if (outer) {
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    canvas.LineTo(r.Right, r.Bottom);
    canvas.LineTo(r.Left, r.Bottom);
    canvas.LineTo(r.Left, r.Top);
  }
  plot::SetFontColour(canvas, Black);
  return r;
}

void DrawNoSignal(const TGrWin& w, Canvas& canvas, const IntRect& r) {
  const std::string& text = Text(TextId::PlotNoSignal);
  const int tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
  canvas.PutText(r.Left + tw + (w.PlotWidth - (r.Left + tw)) / 2,
                 r.Top + th + (w.PlotHeight - (r.Top + th)) / 2, text);
}

// Plot rectangle and grid; returns the grid width.
int DrawGrid(TGrWin& w, Canvas& canvas, const IntRect& r) {
  const int xHeight = canvas.TextHeight("X");
  IntRect& p = w.PlotRect;
  p.Left = canvas.TextWidth("-999.9999") + r.Left;
  p.Right = w.PlotWidth + r.Left - 4 - (w.Form ? xHeight : 0);
  const int g = (p.Right - p.Left) / 4 * 4;
  p.Right = p.Left + g;
  p.Top = xHeight + r.Top + 8;
  p.Bottom = w.PlotHeight + r.Top - xHeight - 8;
  if ((p.Bottom - p.Top) % 2 != 0) --p.Bottom;

  VerticalLine(canvas, p.Left, p.Top, p.Bottom, Black);
  for (int k = 1; k <= 3; ++k) VerticalLine(canvas, p.Left + k * (g / 4), p.Top, p.Bottom, Grey);
  VerticalLine(canvas, p.Right, p.Top, p.Bottom, Black);
  HorizontalLine(canvas, p.Left, p.Right, p.Top, Black);
  HorizontalLine(canvas, p.Left, p.Right, p.Bottom, Black);
  if (!w.SeparateAxes && !plot::IsWaterfall(w))
    HorizontalLine(canvas, p.Left, p.Right, (p.Top + p.Bottom) / 2, Grey);
  return g;
}

void PutCentred(Canvas& canvas, int x, int y, const std::string& text) {
  canvas.PutText(x - canvas.TextWidth(text) / 2, y, text);
}

void DrawXLabels(TGrWin& w, Canvas& canvas, int g, const XLabelText& text) {
  const IntRect& p = w.PlotRect;
  const int first = w.DisplayedRange.First, last = w.DisplayedRange.Last;
  const double xpu = w.XPerUnit;
  auto label = [&](double index) {
    return text ? text(index) : FormatXLabel(index, xpu);
  };
  const int y = p.Bottom + 4;
  const std::string left = label(first);
  const int lw = canvas.TextWidth(left), lh = canvas.TextHeight(left);
  canvas.PutText(p.Left, y, left);
  w.LeftXLabelRect = {p.Left - 1, p.Bottom + 3, p.Left + lw + 1, p.Bottom + lh + 5};

  const std::string right = label(last);
  const int rw = canvas.TextWidth(right), rh = canvas.TextHeight(right);
  canvas.PutText(p.Right - rw, y, right);
  w.RightXLabelRect = {p.Right - rw - 1, p.Bottom + 3, p.Right + 1, p.Bottom + rh + 5};

  const double f = first, l = last;
  PutCentred(canvas, p.Left + 2 * (g / 4), y, label((f + l) / 2));
  PutCentred(canvas, p.Left + g / 4, y, label((3 * f + l) / 4));
  PutCentred(canvas, p.Left + 3 * (g / 4), y, label((f + 3 * l) / 4));
}

std::string CurveLabel(const TGrWin& w, const CurveSlot& curve) {
  if (w.Accumulating && curve.Recording)
    return FormatText(TextId::RecordListItem, {std::to_string(curve.Recording->Number)});
  return curve.Name;
}

void PlaceBand(const TGrWin& w, CurveSlot& curve, int c, int count) {
  const IntRect& p = w.PlotRect;
  int top = p.Top, bottom = p.Bottom;
  if (w.SeparateAxes && count > 1) {
    top = (p.Bottom - p.Top) * c / count + p.Top;
    bottom = (p.Bottom - p.Top) * (c + 1) / count + p.Top;
  }
  curve.BandTop = static_cast<std::int16_t>(top);
  curve.BandBottom = static_cast<std::int16_t>(bottom);
  curve.BandHeight = static_cast<std::int16_t>(top - bottom);
}

// Symmetric about the band middle: the fallback where a mode's own fit would
// divide by zero.
void FitSymmetric(CurveSlot& c, double a) {
  c.Scale = 0.5 / a;
  c.ZeroLine = (c.BandTop + c.BandBottom) / 2.0;
}

void ScaleCurve(const TGrWin& w, CurveSlot& c) {
  const double top = c.BandTop, bottom = c.BandBottom, middle = (top + bottom) / 2;
  if (c.Scale == 0) {
    c.Zoom = 1.0;
    if (c.Max == c.Min) {
      c.ZeroLine = (c.BandTop + c.BandBottom) / 2;
      return;
    }
    const double a = std::max(std::fabs(c.Min), std::fabs(c.Max));
    switch (w.ScaleMode) {
      case FitCentreHalfRange: {
        const double half = c.HalfRange, centre = c.Centre;
        c.Scale = 0.5 / half;
        c.ZeroLine = ((half + centre) * bottom - (centre - half) * top) / (2 * half);
        break;
      }
      case ZeroAtBottom:
        c.Scale = 1 / c.Max;
        c.ZeroLine = bottom;
        break;
      case ZeroAtTop:
        c.Scale = 1 / a;
        c.ZeroLine = top;
        break;
      default:
        FitSymmetric(c, a);
        break;
    }
    // A zero half range, or a zero maximum with the zero line at the foot,
    // gives no finite scale: such a curve is fitted about its middle.
    if (!std::isfinite(c.Scale) || !std::isfinite(c.ZeroLine)) FitSymmetric(c, a);
    return;
  }
  switch (w.ScaleMode) {
    case ZeroAtBottom:
      c.ZeroLine = bottom;
      break;
    case ZeroAtTop:
      c.ZeroLine = top;
      break;
    case FitCentreHalfRange:
      c.ZeroLine = middle - c.BandHeight * c.Zoom * c.Scale * c.Centre;
      break;
    default:
      c.ZeroLine = middle;
      break;
  }
}

}  // namespace

void DrawVerticalLegend(Canvas& canvas, const std::string& text, int x, bool onScreen,
                        bool selected, int bandTop, int bandBottom) {
  if (!onScreen) return;
  const CanvasFont saved = canvas.Font();
  CanvasFont font;
  font.name = "Arial";
  font.charset = 204;
  font.escapement = 900;
  font.height = selected ? 10 : 8;
  font.width = selected ? 8 : 6;
  font.weight = selected ? 300 : 150;
  font.colour = saved.colour;
  canvas.SetFont(font);
  canvas.PutText(x, bandTop + (canvas.TextWidth(text) + bandBottom - bandTop) / 2, text);
  canvas.SetFont(saved);
}

void DrawYLabels(const TGrWin& w, Canvas& canvas, int x, bool colour, int c,
                 const AnalysisContext& ctx) {
  if (c < 0 || c >= MaxCurves) return;
  const CurveSlot& curve = w.Curves[c];
  plot::SetFontColour(canvas, colour ? curve.Colour : Black);
  const int h = canvas.TextHeight("9");
  if (plot::IsWaterfall(w)) {
    plot::PutTextRight(canvas, x, curve.BandBottom - h, Text(TextId::PlotSweepStart));
    plot::PutTextRight(canvas, x, curve.BandTop - RoundToInt(w.WaterfallRowStep * 1.5) - h,
                       FormatText(TextId::PlotSweepEnd, {std::to_string(ctx.rec.SweepSeconds)}));
    return;
  }
  const double divisor = curve.BandHeight * curve.Scale * curve.Zoom;
  auto valueAt = [&](double pixel) {
    return divisor == 0 ? 0.0 : (pixel - curve.ZeroLine) / divisor;
  };
  const double top = valueAt(curve.BandTop), bottom = valueAt(curve.BandBottom);
  const int height = curve.BandBottom - curve.BandTop;
  // Each label stays inside its band, so that the labels of short bands
  // never run into each other or into the next band's: the top one needs one
  // text height, the bottom one a second. Six bands in a low window would
  // otherwise print their numbers over each other, none of them readable.
  if (height >= h) plot::PutTextRight(canvas, x, curve.BandTop, FormatYLabel(top));
  if (height >= 2 * h) plot::PutTextRight(canvas, x, curve.BandBottom - h, FormatYLabel(bottom));
  if (3 * canvas.TextHeight("1") - 3 < height)
    plot::PutTextRight(canvas, x, curve.BandTop + (height - h) / 2,
                       FormatYLabel((top + bottom) / 2));
}

void DrawGraph(TGrWin& w, Canvas& canvas, const AnalysisContext& ctx, const DrawRequest& request,
               const XLabelText& xLabel) {
  const bool onScreen = w.Form != nullptr && request.outer == nullptr;
  const IntRect r = DrawBackground(w, canvas, request.outer);
  if (w.RecordingMode == NoSignal) {
    DrawNoSignal(w, canvas, r);
    DrawXLabels(w, canvas, 0, xLabel);
    return;
  }
  const int g = DrawGrid(w, canvas, r);
  DrawXLabels(w, canvas, g, xLabel);

  const IntRect& p = w.PlotRect;
  const int count = plot::CurveCountOf(w);
  const bool waterfall = plot::IsWaterfall(w);
  for (int c = 0; c < count; ++c) {
    CurveSlot& curve = w.Curves[c];
    const std::string label = CurveLabel(w, curve);
    if (!plot::HasValues(curve)) return;
    PlaceBand(w, curve, c, count);
    ScaleCurve(w, curve);
    if (waterfall) {
      const int rows = std::max(w.WaterfallRows, 0);
      w.WaterfallFactor = 3.0 / (2.0 * rows + 1);
      w.WaterfallRowStep = curve.BandHeight * w.WaterfallFactor * 2 / 3;
    }
    if (w.SeparateAxes) DrawYLabels(w, canvas, p.Left - 2, request.colour, c, ctx);
    if (c == w.SelectedCurve) {
      if (!w.SeparateAxes) DrawYLabels(w, canvas, p.Left - 2, request.colour, c, ctx);
      DrawVerticalLegend(canvas, label, p.Right + 2, onScreen, true, curve.BandTop,
                         curve.BandBottom);
    } else {
      DrawCurve(w, c, request.colour, canvas, ctx);
      if (w.SeparateAxes)
        DrawVerticalLegend(canvas, label, p.Right + 2, onScreen, false, curve.BandTop,
                           curve.BandBottom);
    }
  }
  if (onScreen) {
    const int x = request.cursorX != 0
                      ? request.cursorX
                      : std::clamp(request.mouseX, p.Left, std::max(p.Left, p.Right - 1));
    DrawReadout(w, canvas, ctx, x);
  }
  if (w.SelectedCurve >= 0 && w.SelectedCurve < count)
    DrawCurve(w, w.SelectedCurve, request.colour, canvas, ctx);
  plot::SetFontColour(canvas, Black);
}

}  // namespace kalvex

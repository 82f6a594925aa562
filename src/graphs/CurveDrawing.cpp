// One curve of a graph window: a value-to-pixel mapping inside its band (or
// its row of the Distortion waterfall) and one segment per pixel column, with
// an envelope of minimum and maximum when the columns hold several samples.

#include <algorithm>

#include "graphs/PlotInternals.h"
#include "graphs/PlotRenderer.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

using plot::RoundToInt;

// Pixel y of a value: zero line + v × gain − shift, held between `upper`
// (smallest y) and `lower`.
struct YMap {
  double zero, gain, shift;
  int upper, lower;
  int operator()(double v) const {
    int y = RoundToInt(zero + v * gain - shift);
    y = std::min(y, lower);
    return std::max(y, upper);
  }
};

// The values read for x index j are values[j + offset].
struct Trace {
  const double* values;
  long long count;
  long long offset;
  double At(long long j) const { return values[std::clamp<long long>(j + offset, 0, count - 1)]; }
};

void DrawTrace(const TGrWin& w, Canvas& canvas, const Trace& t, const YMap& y) {
  const IntRect& p = w.PlotRect;
  const long long first = w.DisplayedRange.First, last = w.DisplayedRange.Last;
  const double n = static_cast<double>(last - first);
  const double width = p.Right - p.Left;
  const double e = static_cast<double>(first) * p.Right - static_cast<double>(last) * p.Left;
  canvas.MoveTo(p.Left, y(t.At(first)));
  if (width <= 0) return;
  if (n <= width) {
    // Fewer indices than pixels: a vertex per index.
    for (long long j = first + 1; j <= last; ++j) {
      if (j >= w.FullRange.Last) break;
      canvas.LineTo(RoundToInt((width * static_cast<double>(j) - e) / n), y(t.At(j)));
    }
  } else if (n / width < 1.5) {
    // About one index per pixel: the nearest index of each column.
    for (int x = p.Left + 1; x <= p.Right; ++x) {
      const long long j = RoundToInt((e + n * x) / width);
      canvas.LineTo(x, y(t.At(j)));
    }
  } else {
    // Envelope: each column's indices lo..hi, read once.
    for (int x = p.Left; x < p.Right; ++x) {
      const long long hi = static_cast<long long>((n * (x + 0.5) + e) / width);
      const long long lo =
          x == p.Left ? first : static_cast<long long>(std::ceil((e + n * (x - 0.5)) / width));
      const long long a = std::clamp<long long>(lo + t.offset, 0, t.count - 1);
      const long long b = std::clamp<long long>(hi + t.offset, a, t.count - 1);
      double lowest = t.values[a], highest = lowest;
      for (long long i = a + 1; i <= b; ++i) {
        const double v = t.values[i];
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
      }
      const int ylow = y(lowest);
      canvas.LineTo(x, ylow);
      canvas.MoveTo(x, ylow);
      canvas.LineTo(x, y(highest));
    }
  }
}

}  // namespace

void DrawCurve(const TGrWin& w, int c, bool colour, Canvas& canvas, const AnalysisContext& ctx) {
  if (ctx.rec.Origin == OriginNone) return;
  if (w.Type == IntervalSpectrum && (!w.SourceWindow || w.SourceWindow->SelectedCurve < 0)) return;
  if (c < 0 || c >= MaxCurves || !plot::HasValues(w.Curves[c])) return;
  const CurveSlot& curve = w.Curves[c];
  const IntRect& p = w.PlotRect;
  const bool waterfall = plot::IsWaterfall(w);
  if (w.SeparateAxes && !waterfall) {
    const int middle = (curve.BandTop + curve.BandBottom) / 2;
    canvas.SetPenColour(plot::Grey);
    canvas.MoveTo(p.Left, middle);
    canvas.LineTo(p.Right, middle);
    if (curve.BandTop != p.Top) {
      canvas.SetPenColour(plot::Black);
      canvas.MoveTo(p.Left, curve.BandTop);
      canvas.LineTo(p.Right, curve.BandTop);
    }
  }
  canvas.SetPenColour(colour ? curve.Colour : plot::Black);
  const auto& values = curve.Values->Values;
  const double gain = curve.BandHeight * curve.Scale * curve.Zoom;
  Trace trace{values.data(), static_cast<long long>(values.size()), -w.FullRange.First};
  if (!waterfall) {
    DrawTrace(w, canvas, trace, {curve.ZeroLine, gain, 0.0, curve.BandTop, curve.BandBottom});
    return;
  }
  // Row r sits (rows - r - 1) row steps above the band's foot: the earliest
  // row lowest.
  const int rows = w.WaterfallRows;
  const double step = w.WaterfallRowStep;
  for (int r = 0; r < rows; ++r) {
    const double shift = (rows - r - 1) * step;
    const int top = RoundToInt(curve.BandTop - shift);
    const int limit = RoundToInt(top - 1.5 * step);
    trace.offset = static_cast<long long>(r) * w.FullRange.Last - w.FullRange.First;
    DrawTrace(w, canvas, trace,
              {curve.ZeroLine, gain * w.WaterfallFactor, shift, top, std::max(top, limit)});
  }
}

}  // namespace kalvex

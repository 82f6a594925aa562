#include "graphs/HistoryPlot.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "graphs/PlotInternals.h"
#include "graphs/PlotRenderer.h"
#include "graphs/TGrWin.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr std::int32_t kLimitColour = 0xD00000;
constexpr std::int32_t kDriftColour = 0x909090;
// The band colours: the figures in their order.
constexpr std::int32_t kFigureColours[QcFigureCount] = {0x0000C0, 0x0060A0, 0x008000, 0x408000,
                                                         0x800080, 0xA04000, 0x806000};

struct Band {
  QcFigureId figure;
  std::vector<double> means;  // per day index, NaN where no judgement was made
  FigureLimit limit;
  const DriftLine* drift = nullptr;
};

// Days without a judgement take the straight line between their neighbours,
// so that a curve runs through every day it has.
std::vector<double> Filled(std::vector<double> v) {
  int before = -1;
  for (int i = 0; i < static_cast<int>(v.size()); ++i) {
    if (std::isnan(v[i])) continue;
    if (before < 0)
      std::fill(v.begin(), v.begin() + i, v[i]);
    else
      for (int k = before + 1; k < i; ++k)
        v[k] = v[before] + (v[i] - v[before]) * (k - before) / (i - before);
    before = i;
  }
  if (before >= 0) std::fill(v.begin() + before + 1, v.end(), v[before]);
  return v;
}

// The band's value range: its means, its limits and its drift line, with a
// tenth of room above and below.
void FitBand(CurveSlot& curve, const Band& band, int firstDay, int days) {
  double lo = INFINITY, hi = -INFINITY;
  for (double v : curve.Values->Values) lo = std::min(lo, v), hi = std::max(hi, v);
  for (const auto& l : {band.limit.min, band.limit.max})
    if (l) lo = std::min(lo, *l), hi = std::max(hi, *l);
  if (band.drift) {
    const int last = *DayNumber(band.drift->lastDay);
    for (int day : {firstDay, firstDay + days - 1}) {
      const double v = band.drift->level + band.drift->slopePerDay * (day - last);
      lo = std::min(lo, v), hi = std::max(hi, v);
    }
  }
  const double half = std::max((hi - lo) / 2 * 1.1, 1e-6);
  curve.Centre = (lo + hi) / 2;
  curve.HalfRange = half;
  curve.Min = curve.Centre - half;
  curve.Max = curve.Centre + half;
}

int PixelOf(const CurveSlot& c, double v) {
  return plot::RoundToInt(c.ZeroLine + v * c.BandHeight * c.Scale * c.Zoom);
}

int ColumnOf(const TGrWin& w, double index) {
  const IntRect& p = w.PlotRect;
  const double n = std::max(1, w.DisplayedRange.Last - w.DisplayedRange.First);
  return plot::RoundToInt(p.Left + (p.Right - p.Left) * (index - w.DisplayedRange.First) / n);
}

void Line(Canvas& canvas, int x0, int y0, int x1, int y1, std::int32_t colour) {
  canvas.SetPenColour(colour);
  canvas.MoveTo(x0, y0);
  canvas.LineTo(x1, y1);
}

// A dashed line, told apart from the curves it runs over.
void DashedLine(Canvas& canvas, int x0, int y0, int x1, int y1, std::int32_t colour) {
  constexpr int kDash = 6, kGap = 4;
  const double length = std::hypot(x1 - x0, y1 - y0);
  for (double a = 0; a < length; a += kDash + kGap) {
    const double b = std::min(length, a + kDash);
    Line(canvas, plot::RoundToInt(x0 + (x1 - x0) * a / length),
         plot::RoundToInt(y0 + (y1 - y0) * a / length),
         plot::RoundToInt(x0 + (x1 - x0) * b / length),
         plot::RoundToInt(y0 + (y1 - y0) * b / length), colour);
  }
}

// Limits, drift line and title of each band, over what the renderer drew.
void DrawBandMarks(const TGrWin& w, Canvas& canvas, const std::vector<Band>& bands, int firstDay) {
  const IntRect& p = w.PlotRect;
  for (std::size_t b = 0; b < bands.size() && b < MaxCurves; ++b) {
    const CurveSlot& c = w.Curves[b];
    for (const auto& l : {bands[b].limit.min, bands[b].limit.max})
      if (l) Line(canvas, p.Left, PixelOf(c, *l), p.Right, PixelOf(c, *l), kLimitColour);
    if (const DriftLine* d = bands[b].drift) {
      const int last = *DayNumber(d->lastDay), from = *DayNumber(d->firstDay);
      auto at = [&](int day) { return PixelOf(c, d->level + d->slopePerDay * (day - last)); };
      const int to = firstDay + w.DisplayedRange.Last;
      DashedLine(canvas, ColumnOf(w, from - firstDay), at(from), ColumnOf(w, to - firstDay),
                 at(to), kDriftColour);
    }
    const QcFigureKind& k = KindOf(bands[b].figure);
    plot::SetFontColour(canvas, kFigureColours[b % QcFigureCount]);
    canvas.PutText(p.Left + 4, c.BandTop + 2, Text(k.title) + ", " + k.unit);
  }
  plot::SetFontColour(canvas, plot::Black);
}

}  // namespace

void DrawHistoryPlot(Canvas& canvas, int width, int height, const IntRect* area,
                     const std::string& vibrator, std::span<const DailyFigure> daily,
                     std::span<const DriftLine> drift) {
  // The days shown: the vibrator's first to last, on to a crossing ahead.
  std::optional<int> first, last;
  for (const DailyFigure& d : daily)
    if (const auto n = DayNumber(d.day); n && d.vibrator == vibrator)
      first = std::min(first.value_or(*n), *n), last = std::max(last.value_or(*n), *n);
  const int judgedDays = first ? *last - *first + 1 : 1;
  for (const DriftLine& d : drift)
    if (d.vibrator == vibrator && d.drifting && d.crossingDay && last)
      last = std::max(*last, *DayNumber(*d.crossingDay));

  TFrmFile rec;
  rec.Origin = OriginFile;
  const ProgramSettings settings;
  const ProcessValues values;
  const AnalysisContext ctx{rec, settings, values};
  TGrWin w;
  w.Type = FrequencyVsTime;
  w.RecordingMode = first ? Velnarund : NoSignal;
  w.PlotWidth = width;
  w.PlotHeight = height;
  w.SeparateAxes = true;
  w.ScaleMode = FitCentreHalfRange;
  w.XPerUnit = 1;
  // The curves end on the last judged day; the drift lines run on.
  const int days = first ? *last - *first + 1 : 1;
  w.FullRange = {0, judgedDays};
  w.DisplayedRange = {0, std::max(1, days - 1)};

  std::map<int, Band> byFigure;
  for (const DailyFigure& d : daily) {
    if (d.vibrator != vibrator || d.count == 0) continue;
    Band& band = byFigure.try_emplace(static_cast<int>(d.figure), Band{d.figure, {}, {}, nullptr}).first->second;
    band.means.resize(judgedDays, NAN);
    band.means[*DayNumber(d.day) - *first] = d.mean;
    band.limit = d.limit;
  }
  std::vector<Band> bands;
  for (auto& [id, band] : byFigure) {
    for (const DriftLine& d : drift)
      if (d.vibrator == vibrator && d.figure == band.figure) band.drift = &d;
    bands.push_back(std::move(band));
  }
  w.CurveCount = static_cast<int>(std::min<std::size_t>(bands.size(), MaxCurves));
  for (int b = 0; b < w.CurveCount; ++b) {
    CurveSlot& c = w.Curves[b];
    c.Values = std::make_shared<ValueArray>();
    c.Values->Values = Filled(bands[b].means);
    c.Values->Count = judgedDays;
    c.Colour = kFigureColours[b % QcFigureCount];
    FitBand(c, bands[b], *first, days);
  }
  DrawRequest request;
  request.outer = area;
  const int firstDay = first.value_or(0);
  DrawGraph(w, canvas, ctx, request, [firstDay](double index) {
    return DayText(firstDay + static_cast<int>(std::lround(index)));
  });
  if (first) DrawBandMarks(w, canvas, bands, firstDay);
  const int left = area ? area->Left : 0, top = area ? area->Top : 0;
  canvas.PutText(left + 6, top + 2, FormatText(TextId::HistoryPlotTitle, {vibrator}));
}

}  // namespace kalvex

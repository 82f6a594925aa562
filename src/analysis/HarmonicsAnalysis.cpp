#include "analysis/HarmonicsAnalysis.h"

#include <cmath>

#include "analysis/CurveFinish.h"
#include "analysis/FrameAnalyser.h"
#include "graphs/Captions.h"
#include "graphs/Palette.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

double Level(const FrameAnalysis& t, int order, int frame) {
  const double h2 = t.Array(3)[frame], h3 = t.Array(4)[frame], h4 = t.Array(5)[frame],
               h5 = t.Array(6)[frame];
  switch (order) {
    case AllOrders:
      return std::sqrt(h2 * h2 + h3 * h3 + h4 * h4 + h5 * h5);
    case EvenOrders:
      return std::sqrt(h2 * h2 + h4 * h4);
    case OddOrders:
      return std::sqrt(h3 * h3 + h5 * h5);
    default:
      return t.Array(order)[frame];  // "2-d".."5-th" (codes 3..6) are arrays 3..6
  }
}

struct CurveChoice {
  int channel;
  int order;
};

CurveChoice ChoiceOf(const TGrWin& w, int curve) {
  const bool byChannel = SelectedCount(w.HarmonicsOrders) < 2;
  return {NthSelected(w.HarmonicsChannels, byChannel ? curve : 0),
          NthSelected(w.HarmonicsOrders, byChannel ? 0 : curve)};
}

void LabelHarmonic(const TFrmFile& rec, TGrWin& w, int curve, CurveChoice c) {
  CurveSlot& slot = w.Curves[curve];
  slot.Colour = CurveColour(Harmonics, w.RecordingMode, c.order);
  slot.Name = SelectedCount(w.HarmonicsOrders) < 2 ? CurveName(rec, w, c.channel)
                                                   : HarmonicOrderName(c.order);
}

// Every curve ends with the largest maximum among them.
void ShareMaximum(TGrWin& w) {
  double top = w.Curves[0].Max;
  for (int s = 1; s < w.CurveCount; ++s) top = std::max(top, w.Curves[s].Max);
  for (int s = 0; s < w.CurveCount; ++s) w.Curves[s].Max = top;
}

}  // namespace

int HarmonicsCurveCount(const TGrWin& w) {
  const int orders = SelectedCount(w.HarmonicsOrders);
  return orders < 2 ? SelectedCount(w.HarmonicsChannels) : orders;
}

void ComputeHarmonics(const AnalysisContext& ctx, TGrWin& w, int frames, bool firstOnly,
                      bool skipComputed) {
  TFrmFile& rec = ctx.rec;
  for (int s = 0; s < w.CurveCount; ++s) {
    const CurveChoice c = ChoiceOf(w, s);
    if (c.channel < 0 || c.order < 0) continue;
    if (SkipComputed(w.Curves[s], skipComputed)) {
      LabelHarmonic(rec, w, s, c);  // a kept curve still gets its name and colour
      continue;
    }
    if (firstOnly && s > 0) break;
    if ((!rec.AnalysisValid[c.channel] || !HasTable(ctx, c.channel, frames)) &&
        AnalyseFrames(ctx, w.MaskFor(Harmonics), c.channel, 0, Harmonics, frames) < 1)
      return;
    const FrameAnalysis& table = *rec.FrameAnalyses[c.channel];
    CurveSlot& slot = w.Curves[s];
    ValueArray& values = slot.Allocate(std::min(frames, table.FrameCount));
    for (int i = 0; i < values.Count; ++i) values.Values[i] = Level(table, c.order, i);
    w.ScaleMode = ZeroAtBottom;
    if (firstOnly) continue;
    ScanValueRange(values, -1);
    slot.Min = 0;
    slot.Max = 100;
    slot.Scale = 0;
    LabelHarmonic(rec, w, s, c);
  }
  if (!firstOnly && w.CurveCount > 0) ShareMaximum(w);
}

}  // namespace kalvex

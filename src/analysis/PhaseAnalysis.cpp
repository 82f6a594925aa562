#include "analysis/PhaseAnalysis.h"

#include <cmath>

#include "analysis/CurveFinish.h"
#include "analysis/FrameAnalyser.h"
#include "graphs/TGrWin.h"
#include "recordings/Cp1251.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082320877;

// The phase difference of one frame, folded into -180..180 and then kept
// within half a turn of the previous frame's value.
double Unwrapped(double d, const double* previous) {
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  if (previous) {
    const double p = *previous;
    if (d - p > 180 && d >= 0) {
      d -= 360;
    } else if (p - d > 180 && d <= 0) {
      d += 360;
    }
  }
  return d;
}

void FillCurve(const TFrmFile& rec, TGrWin& window, int s, int channel, int reference, int frames) {
  const FrameAnalysis& r = *rec.FrameAnalyses[reference];
  const FrameAnalysis& c = *rec.FrameAnalyses[channel];
  CurveSlot& curve = window.Curves[s];
  ValueArray& values = curve.Allocate(frames);
  for (int i = 0; i < frames && i < r.FrameCount && i < c.FrameCount; ++i) {
    const double ref = std::atan2(r.Array(1)[i], r.Array(2)[i]) * kDegreesPerRadian;
    values.Values[i] = Unwrapped(c.Array(7)[i] - ref, i > 0 ? &values.Values[i - 1] : nullptr);
  }
}

void FinishCurve(const TFrmFile& rec, TGrWin& window, int s, int channel, int reference) {
  CurveSlot& curve = window.Curves[s];
  ScanValueRange(*curve.Values, -1);
  const bool narrow = rec.Mode == Similarity || rec.Mode == Ombrel16;
  curve.Min = narrow ? -30 : -180;
  curve.Max = narrow ? 30 : 180;
  curve.Centre = (curve.Min + curve.Max) / 2;
  curve.HalfRange = (curve.Max - curve.Min) / 2;
  LabelCurve(curve, rec, window, channel);
  curve.Name = Utf8Prefix(CurveName(rec, window, channel) + "-" + CurveName(rec, window, reference),
                          CurveNameMaxChars);
}

}  // namespace

void ComputePhase(const AnalysisContext& ctx, TGrWin& window, int frames, bool firstOnly,
                  bool skipComputed) {
  TFrmFile& rec = ctx.rec;
  const int reference = window.PhaseReference;
  if (reference < 0 || reference >= MaxChannelSlots) return;
  const int mask = window.MaskFor(Phase);
  const bool referenceChanged = reference != rec.CrossReferenceChannel;
  if (!HasTable(ctx, reference, frames) &&
      AnalyseFrames(ctx, mask, reference, 1, PhasePurpose, frames) < 1)
    return;
  rec.InvalidateCross(reference);
  const int curves = firstOnly ? std::min(1, window.CurveCount) : window.CurveCount;
  for (int s = 0; s < curves; ++s) {
    CurveSlot& curve = window.Curves[s];
    if (SkipComputed(curve, skipComputed)) continue;
    const int channel = NthSelected(window.PhaseChannels, s);
    if (channel < 0) continue;
    if (!HasTable(ctx, channel, frames) || !rec.CrossValid[channel] || referenceChanged) {
      if (AnalyseFrames(ctx, mask, channel, 0, PhasePurpose, frames) < 1) return;
    }
    FillCurve(rec, window, s, channel, reference, frames);
    if (!firstOnly) FinishCurve(rec, window, s, channel, reference);
  }
  window.ScaleMode = FitCentreHalfRange;
}

}  // namespace kalvex

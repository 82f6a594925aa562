#include "analysis/AmplitudeAnalysis.h"

#include <cmath>

#include "analysis/ChannelSignal.h"
#include "analysis/CurveFinish.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/UnitFactors.h"
#include "graphs/TGrWin.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

bool EnsureTable(const AnalysisContext& ctx, int mask, int channel, int frames) {
  if (HasTable(ctx, channel, frames)) return true;
  return AnalyseFrames(ctx, mask, channel, 0, Amplitude, frames) >= 1;
}

// The time-domain measure of samples a..e-1.
template <typename Sample>
double FrameMeasure(const Sample* x, int a, int e, int measure, int frameLength) {
  double result = 0;
  for (int j = a; j < e; ++j) {
    const double v = x[j];
    if (measure == Rms) {
      result += v * v;
    } else if (measure == PositivePeak ? v > 0 : v < 0) {
      result = std::max(result, std::fabs(v));
    }
  }
  return measure == Rms ? std::sqrt(result / frameLength) : result;
}

template <typename Sample>
void TimeDomain(const AnalysisContext& ctx, const Sample* x, std::size_t available, int measure,
                double k, ValueArray& out) {
  const int n = std::min<int>(ctx.rec.SweepLength, static_cast<int>(available));
  const int half = ctx.settings.AmplitudeFrame / 2;
  for (int i = 0; i < out.Count; ++i) {
    const int centre = i * ctx.settings.AmplitudeStep;
    const int a = std::max(0, centre - half), e = std::min(n - 1, centre + half);
    out.Values[i] = k * FrameMeasure(x, a, std::max(a, e), measure, ctx.settings.AmplitudeFrame);
  }
}

bool Fill(const AnalysisContext& ctx, const TGrWin& window, int channel, int code,
          ValueArray& out) {
  TFrmFile& rec = ctx.rec;
  const int mask = window.MaskFor(Amplitude);
  if (!EnsureTable(ctx, mask, 0, out.Count)) return false;
  if (window.AmplitudeMeasure == Fundamental) {
    if (!EnsureTable(ctx, mask, channel, out.Count)) return false;
    // The table holds the transform of corrected samples: the correction
    // factor is not applied a second time.
    const double k = UnitFactor(ctx, rec.Mode, channel, code, Correction::Excluded);
    const FrameAnalysis& t = *rec.FrameAnalyses[channel];
    for (int i = 0; i < out.Count; ++i) {
      const double m = std::hypot(t.Array(1)[i], t.Array(2)[i]);
      out.Values[i] = rec.AmplitudeNorm != 0 ? m * k / rec.AmplitudeNorm : 0.0;
    }
    return true;
  }
  BusyScope busy;
  const double k = UnitFactor(ctx, rec.Mode, channel, code);
  if (channel == ComputedChannel(rec.Mode)) {
    if (rec.Mode == Similarity) ComputeAverageTrace(rec, mask);
    if (rec.DerivedChannel)
      TimeDomain(ctx, rec.DerivedChannel->Values.data(), rec.DerivedChannel->Values.size(),
                 window.AmplitudeMeasure, k, out);
  } else if (rec.Channels[channel]) {
    TimeDomain(ctx, rec.Channels[channel]->Samples.data(), rec.Channels[channel]->Samples.size(),
               window.AmplitudeMeasure, k, out);
  }
  return true;
}

// The curve's range: [0, limit] or, where marked, [-limit, limit].
void SetLimits(const TFrmFile& rec, CurveSlot& curve, int channel, int code) {
  const double w = rec.HoldDownWeight;
  curve.Min = 0;
  if (channel == 0) {
    curve.Max = 10;
    return;
  }
  const int mode = rec.Mode;
  if ((channel == ComputedChannel(mode) && mode != Similarity) || mode == Ombrel16) {
    curve.Max = code == 0   ? EvenAbove(w / 1000)
                : code == 1 ? Hundreds(w)
                : code == 2 ? Twenties(w)
                            : 10;
    return;
  }
  const int unit = mode == Similarity && code != 0 ? code + 1 : code;
  double limit = 0;
  switch (unit) {
    case 0:
      curve.Max = 1.25;
      return;
    case 1:
      limit = rec.BaseplateWeight > 0 ? EvenAbove(w / rec.BaseplateWeight) : 0;
      break;
    case 2:
      limit = EvenAbove(w / 1000);
      break;
    case 3:
      limit = Hundreds(w);
      break;
    case 4:
      limit = Twenties(w);
      break;
    default:
      return;
  }
  curve.Min = -limit;
  curve.Max = limit;
}

}  // namespace

void ComputeAmplitude(const AnalysisContext& ctx, TGrWin& window, int curve, bool firstOnly) {
  const int channel = NthSelected(window.AmplitudeChannels, firstOnly ? 0 : curve);
  if (channel < 0) return;
  const int code = std::max<int>(0, window.AmplitudeChannels[channel]);
  const int frames = FrameCount(ctx);
  ValueArray values;
  values.Values.assign(frames, 0.0);
  values.Count = frames;
  if (!Fill(ctx, window, channel, code, values)) return;

  CurveSlot& slot = window.Curves[curve];
  slot.Values = std::make_shared<ValueArray>(std::move(values));
  if (firstOnly) return;
  ScanCurve(slot);
  SetLimits(ctx.rec, slot, channel, code);
  LabelCurve(slot, ctx.rec, window, channel);
}

}  // namespace kalvex

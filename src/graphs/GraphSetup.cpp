#include "graphs/GraphSetup.h"

#include <cmath>

#include "analysis/AmplitudeAnalysis.h"
#include "analysis/CorrelationAnalysis.h"
#include "analysis/CurveFinish.h"
#include "analysis/DistortionAnalysis.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/FrequencyAnalysis.h"
#include "analysis/HarmonicsAnalysis.h"
#include "analysis/MassPlateAnalysis.h"
#include "analysis/PhaseAnalysis.h"
#include "analysis/SpectrumAnalysis.h"
#include "analysis/TraceAnalysis.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

int DefaultChannel(int mode) {
  return mode == Ombrel16 ? 1 : 3;
}

// Mode 2: the similarity channels 1..5 marked present.
ChannelSelection PresentChannels(const TFrmFile& rec) {
  ChannelSelection s = NoChannels;
  for (int i = 1; i <= 5; ++i)
    if (rec.SimilarityChannels[i].Present) s[i] = 0;
  return s;
}

ChannelSelection Only(std::initializer_list<int> channels) {
  ChannelSelection s = NoChannels;
  for (int c : channels)
    if (c >= 0 && c < 7) s[c] = 0;
  return s;
}

bool NeedsMassAndPlate(int type) {
  return type == Ground || type == Power || type == AccCompare;
}

void ChooseCorrelation(TGrWin& w, int option, const TFrmFile& rec) {
  const bool similarity = rec.Mode == Similarity;
  w.CorrelationDb = similarity ? 1 : 1 - option;
  w.CorrelationReference = 0;
  w.CorrelationMain = rec.Mode == Ombrel16 ? 1 : 3;
  if (similarity) w.CorrelationChannels = Only({option});
}

void ComputeTraces(const AnalysisContext& ctx, TGrWin& w, bool skipComputed) {
  for (int s = 0; s < w.CurveCount; ++s) {
    CurveSlot& curve = w.Curves[s];
    if (SkipComputed(curve, skipComputed)) continue;
    const int channel = NthSelected(w.TraceChannels, s);
    ComputeTrace(ctx, w, s, channel);
    LabelCurve(curve, ctx.rec, w, channel);
    curve.Zoom = 1.0;
    curve.UserOffset = 0.0;
    curve.UserGain = 1.0;
  }
}

// Each curve in turn with the curve count set to its number plus one; in
// mode 2 curve a correlates the a-th channel of the selection.
void ComputeCorrelations(const AnalysisContext& ctx, TGrWin& w, bool skipComputed) {
  const int count = w.CurveCount;
  for (int a = 0; a < count; ++a) {
    if (SkipComputed(w.Curves[a], skipComputed)) continue;
    if (ctx.rec.Mode == Similarity) w.CorrelationMain = NthSelected(w.CorrelationChannels, a);
    w.CurveCount = a + 1;
    ComputeCorrelation(ctx, w, a);
  }
  w.CurveCount = count;
}

}  // namespace

void ChooseDefaults(TGrWin& w, int type, int option, const TFrmFile& rec) {
  w.FreeCurves();
  w.Type = static_cast<std::uint8_t>(type);
  w.RecordingMode = rec.Mode;
  const int mode = rec.Mode;
  const bool similarity = mode == Similarity;
  switch (type) {
    case SignalTraces:
      w.TraceChannels = Only({DefaultChannel(mode)});
      break;
    case Amplitude:
      w.AmplitudeMeasure = Fundamental;
      w.AmplitudeChannels = similarity ? PresentChannels(rec) : Only({DefaultChannel(mode)});
      break;
    case Phase:
      w.PhaseReference = option == 1 ? 1 : 0;
      w.PhaseChannels = option == 1  ? Only({2})
                        : similarity ? PresentChannels(rec)
                                     : Only({DefaultChannel(mode)});
      break;
    case Distortion:
      w.SeparateAxes = true;
      w.DistortionChannel = DefaultChannel(mode);
      w.DistortionDisplay = 0;
      w.TimePoint = -1;
      break;
    case Harmonics:
      w.HarmonicsChannels = similarity ? PresentChannels(rec) : Only({DefaultChannel(mode)});
      w.HarmonicsOrders = similarity ? Only({option == 1 ? Order2 : AllOrders})
                                     : Only({AllOrders, Order2, Order3, Order4, Order5});
      break;
    case Spectrum:
      w.SpectrumDb = 1;
      w.SpectrumChannels = Only({1});
      break;
    case Correlation:
      ChooseCorrelation(w, option, rec);
      break;
    case FrequencyVsTime:
      w.FrequencyChannel = 0;
      break;
    case Ground:
      w.GroundActive = w.GroundReactive = w.GroundModule = true;
      break;
    case Power:
      w.PowerDimension = 1;
      w.Power2dActive = true;
      w.Power3dActive = false;
      break;
    case AccCompare:
      w.AmplDiff = w.PhaseDiff = true;
      break;
    default:
      break;
  }
}

void ScaleWindow(const AnalysisContext& ctx, TGrWin& w) {
  const TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength, fs = rec.SampleRate, d = ctx.settings.AmplitudeStep;
  const int frames = FrameCount(ctx);
  auto set = [&w](double xPerUnit, int first, int last) {
    w.XPerUnit = xPerUnit;
    w.FullRange = {first, last};
  };
  switch (w.Type) {
    case SignalTraces:
      set(fs, 0, n);
      break;
    case Amplitude:
    case Phase:
    case Harmonics:
    case FrequencyVsTime:
    case Ground:
    case Power:
    case AccCompare:
      set(d > 0 ? static_cast<double>(fs) / d : 0, 0, frames);
      break;
    case Distortion:
      set(fs ? 2.0 * (n / 2) / fs : 0, 0, n / 2);
      w.WaterfallRows = DistortionRows(n);
      break;
    case Spectrum:
    case IntervalSpectrum:
      set(fs ? 32768.0 / fs : 0, 0, SpectrumBins);
      break;
    case Correlation: {
      const CorrelationGrid g = CorrelationGridFor(n, fs, w.CorrelationDb != 0);
      set(static_cast<double>(fs) / g.step, -g.q, g.q);
      break;
    }
    default:
      break;
  }
}

CurveLayout CurveLayoutOf(const AnalysisContext& ctx, const TGrWin& w) {
  const TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength, frames = FrameCount(ctx);
  switch (w.Type) {
    case SignalTraces:
      return {SelectedCount(w.TraceChannels), n};
    case Amplitude:
      return {SelectedCount(w.AmplitudeChannels), frames};
    case Phase:
      return {SelectedCount(w.PhaseChannels), frames};
    case Harmonics:
      return {HarmonicsCurveCount(w), frames};
    case FrequencyVsTime:
      return {1, frames};
    case Distortion:
      return {1, n / 2 * DistortionRows(n)};
    case Spectrum:
      return {SelectedCount(w.SpectrumChannels), SpectrumBins + 1};
    case IntervalSpectrum:
      return {1, SpectrumBins + 1};
    case Correlation: {
      const int count = rec.Mode == Similarity ? SelectedCount(w.CorrelationChannels) : 1;
      // The linear grid gets room for round(fs / 2) values; it fills 2q.
      const bool db = w.CorrelationDb != 0;
      const CorrelationGrid g = CorrelationGridFor(n, rec.SampleRate, db);
      return {count, db ? 2 * g.q : static_cast<int>(std::nearbyint(rec.SampleRate / 2.0))};
    }
    case Ground:
      return {GroundCurveCount(w), frames};
    case Power:
      return {PowerCurveCount(w), frames};
    case AccCompare:
      return {AccCompareCurveCount(w), frames};
    default:
      return {0, 0};
  }
}

void AllocateCurves(TGrWin& w, CurveLayout layout) {
  w.FreeCurves();
  w.CurveCount = std::min(layout.count, MaxCurves);
  for (int s = 0; s < w.CurveCount; ++s) {
    w.Curves[s].Allocate(layout.length);
    w.Curves[s].Computed = -1;
  }
}

void LayoutWindow(const AnalysisContext& ctx, TGrWin& w) {
  ScaleWindow(ctx, w);
  AllocateCurves(w, CurveLayoutOf(ctx, w));
  w.DisplayedRange = w.FullRange;
  w.SelectedCurve = 0;
}

void ComputeWindow(const AnalysisContext& ctx, TGrWin& w, bool skipComputed) {
  const int frames = FrameCount(ctx);
  switch (w.Type) {
    case SignalTraces:
      ComputeTraces(ctx, w, skipComputed);
      break;
    case Amplitude:
      for (int s = 0; s < w.CurveCount; ++s)
        if (!SkipComputed(w.Curves[s], skipComputed)) ComputeAmplitude(ctx, w, s, false);
      w.ScaleMode = ZeroAtBottom;
      break;
    case Phase:
      ComputePhase(ctx, w, frames, false, skipComputed);
      break;
    case Harmonics:
      ComputeHarmonics(ctx, w, frames, false, skipComputed);
      break;
    case Correlation:
      ComputeCorrelations(ctx, w, skipComputed);
      break;
    case FrequencyVsTime:
      ComputeFrequencyVsTime(ctx, w, 0, false);
      break;
    case Distortion:
      ComputeDistortion(ctx, w);
      break;
    case Spectrum:
      ComputeSpectrum(ctx, w, skipComputed, false);
      break;
    case Ground:
      ComputeGround(ctx, w, frames, false, skipComputed);
      break;
    case Power:
      ComputePower(ctx, w, frames, false, skipComputed);
      break;
    case AccCompare:
      ComputeAccCompare(ctx, w, frames, false, skipComputed);
      break;
    case IntervalSpectrum:
      if (w.SourceWindow)
        ComputeIntervalSpectrum(ctx, w, *w.SourceWindow, w.SourceWindow->DisplayedRange.First,
                                w.SourceWindow->DisplayedRange.Last);
      break;
    default:
      break;
  }
}

void ComputeFirstCurveOnly(const AnalysisContext& ctx, TGrWin& w) {
  const int frames = FrameCount(ctx);
  switch (w.Type) {
    case SignalTraces:
      ComputeTrace(ctx, w, 0, NthSelected(w.TraceChannels, 0));
      break;
    case Amplitude:
      ComputeAmplitude(ctx, w, 0, true);
      break;
    case Phase:
      ComputePhase(ctx, w, frames, true, false);
      break;
    case Harmonics:
      ComputeHarmonics(ctx, w, frames, true, false);
      break;
    case Correlation:
      ComputeCorrelation(ctx, w, 0);
      break;
    case FrequencyVsTime:
      ComputeFrequencyVsTime(ctx, w, 0, true);
      break;
    case Spectrum:
      ComputeSpectrum(ctx, w, false, true);
      break;
    case Ground:
      ComputeGround(ctx, w, frames, true, false);
      break;
    case Power:
      ComputePower(ctx, w, frames, true, false);
      break;
    case AccCompare:
      ComputeAccCompare(ctx, w, frames, true, false);
      break;
    default:
      break;
  }
}

void ApplyDefaultLimits(TGrWin& w, int option, const TFrmFile& rec) {
  const bool similarity = rec.Mode == Similarity;
  auto limits = [](CurveSlot& c, double lo, double hi) {
    c.Min = lo;
    c.Max = hi;
    c.Centre = (lo + hi) / 2;
    c.HalfRange = (hi - lo) / 2;
    c.Scale = 0;
  };
  switch (w.Type) {
    case Amplitude:
      if (!similarity) break;
      for (int s = 0; s < w.CurveCount; ++s) {
        w.Curves[s].Min = 0.0;
        w.Curves[s].Max = 0.625;
        w.Curves[s].Scale = 0;
      }
      break;
    case Phase:
      if (option == 1) {
        limits(w.Curves[0], -180.0, 0.0);
      } else {
        for (int s = 0; s < (similarity ? w.CurveCount : std::min(1, w.CurveCount)); ++s)
          limits(w.Curves[s], -10.0, 10.0);
      }
      break;
    case FrequencyVsTime:
      w.Curves[0].Max = 160.0;
      break;
    default:
      break;
  }
}

void SetTypeWithDefaults(const AnalysisContext& ctx, TGrWin& w, int type, int option) {
  if (NeedsMassAndPlate(type) && RmChannelIndex(ctx.rec.Mode) < 0) return;
  ChooseDefaults(w, type, option, ctx.rec);
  LayoutWindow(ctx, w);
  ComputeWindow(ctx, w);
  ApplyDefaultLimits(w, option, ctx.rec);
}

}  // namespace kalvex

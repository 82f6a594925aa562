#include "graphs/GraphSetup.h"

#include "analysis/AmplitudeAnalysis.h"
#include "analysis/CurveFinish.h"
#include "analysis/DistortionAnalysis.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/FrequencyAnalysis.h"
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

ChannelSelection Only(int channel) {
  ChannelSelection s = NoChannels;
  if (channel >= 0 && channel < 7) s[channel] = 0;
  return s;
}

void SetRange(TGrWin& w, double xPerUnit, int first, int last) {
  w.XPerUnit = xPerUnit;
  w.FullRange = {first, last};
}

// Curves of `length` values, one per selected channel.
void AllocateCurves(TGrWin& w, int count, int length) {
  w.FreeCurves();
  w.CurveCount = std::min(count, MaxCurves);
  for (int s = 0; s < w.CurveCount; ++s) w.Curves[s].Allocate(length);
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
      w.TraceChannels = Only(DefaultChannel(mode));
      break;
    case Amplitude:
      w.AmplitudeMeasure = Fundamental;
      w.AmplitudeChannels = similarity ? PresentChannels(rec) : Only(DefaultChannel(mode));
      break;
    case Phase:
      if (option == 1) {
        w.PhaseReference = 1;
        w.PhaseChannels = Only(2);
      } else {
        w.PhaseReference = 0;
        w.PhaseChannels = similarity ? PresentChannels(rec) : Only(DefaultChannel(mode));
      }
      break;
    case Distortion:
      w.SeparateAxes = true;
      w.DistortionChannel = DefaultChannel(mode);
      w.DistortionDisplay = 0;
      w.TimePoint = -1;
      break;
    case Spectrum:
      w.SpectrumDb = 1;
      w.SpectrumChannels = Only(1);
      break;
    case FrequencyVsTime:
      w.FrequencyChannel = 0;
      break;
    default:
      break;
  }
}

void LayoutWindow(const AnalysisContext& ctx, TGrWin& w) {
  const TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength, fs = rec.SampleRate, d = ctx.settings.AmplitudeStep;
  const int frames = FrameCount(ctx);
  const double frameRate = d > 0 ? static_cast<double>(fs) / d : 0;
  switch (w.Type) {
    case SignalTraces:
      SetRange(w, fs, 0, n);
      AllocateCurves(w, SelectedCount(w.TraceChannels), n);
      break;
    case Amplitude:
      SetRange(w, frameRate, 0, frames);
      AllocateCurves(w, SelectedCount(w.AmplitudeChannels), frames);
      break;
    case Phase:
      SetRange(w, frameRate, 0, frames);
      AllocateCurves(w, SelectedCount(w.PhaseChannels), frames);
      break;
    case FrequencyVsTime:
      SetRange(w, frameRate, 0, frames);
      AllocateCurves(w, 1, frames);
      break;
    case Distortion: {
      const int half = n / 2;
      SetRange(w, fs ? 2.0 * half / fs : 0, 0, half);
      w.WaterfallRows = DistortionRows(n);
      AllocateCurves(w, 1, half * w.WaterfallRows);
      break;
    }
    case Spectrum:
    case IntervalSpectrum:
      SetRange(w, fs ? 32768.0 / fs : 0, 0, SpectrumBins);
      AllocateCurves(w, w.Type == Spectrum ? SelectedCount(w.SpectrumChannels) : 1,
                     SpectrumBins + 1);
      break;
    default:
      break;
  }
  w.DisplayedRange = w.FullRange;
  w.SelectedCurve = 0;
}

void ComputeWindow(const AnalysisContext& ctx, TGrWin& w) {
  switch (w.Type) {
    case SignalTraces:
      for (int s = 0; s < w.CurveCount; ++s) {
        const int channel = NthSelected(w.TraceChannels, s);
        ComputeTrace(ctx, w, s, channel);
        CurveSlot& curve = w.Curves[s];
        LabelCurve(curve, ctx.rec, w, channel);
        curve.Zoom = 1.0;
        curve.UserOffset = 0.0;
        curve.UserGain = 1.0;
      }
      break;
    case Amplitude:
      for (int s = 0; s < w.CurveCount; ++s) ComputeAmplitude(ctx, w, s, false);
      w.ScaleMode = ZeroAtBottom;
      break;
    case Phase:
      ComputePhase(ctx, w, FrameCount(ctx), false, false);
      break;
    case FrequencyVsTime:
      ComputeFrequencyVsTime(ctx, w, 0, false);
      break;
    case Distortion:
      ComputeDistortion(ctx, w);
      break;
    case Spectrum:
      ComputeSpectrum(ctx, w, false, false);
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
      if (similarity)
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
  ChooseDefaults(w, type, option, ctx.rec);
  LayoutWindow(ctx, w);
  ComputeWindow(ctx, w);
  ApplyDefaultLimits(w, option, ctx.rec);
}

}  // namespace kalvex

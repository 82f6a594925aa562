#include "graphs/GraphTypeSetup.h"

#include <algorithm>
#include <map>
#include <optional>

#include "analysis/FrameAnalyser.h"
#include "graphs/Accumulation.h"
#include "graphs/GraphForm.h"
#include "graphs/GraphSetup.h"
#include "graphs/GraphTypeDialogs.h"
#include "graphs/TAllWindows.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

// The selection whose channels map one to one onto the curves, for the types
// whose curves can be kept when only that selection changes.
const ChannelSelection* CurveChannels(const TGrWin& w) {
  switch (w.Type) {
    case SignalTraces:
      return &w.TraceChannels;
    case Amplitude:
      return &w.AmplitudeChannels;
    case Phase:
      return &w.PhaseChannels;
    case Spectrum:
      return &w.SpectrumChannels;
    case Correlation:
      return w.RecordingMode == Similarity ? &w.CorrelationChannels : nullptr;
    default:
      return nullptr;
  }
}

// What every curve of the type depends on besides its channel.
struct CurveBasis {
  int measure, reference, db, mask;
  bool operator==(const CurveBasis&) const = default;
};

CurveBasis BasisOf(const TGrWin& w) {
  CurveBasis b{0, 0, 0, w.MaskFor(w.Type)};
  if (w.Type == Amplitude) b.measure = w.AmplitudeMeasure;
  if (w.Type == Phase) b.reference = w.PhaseReference;
  if (w.Type == Spectrum) b.db = w.SpectrumDb;
  if (w.Type == Correlation) {
    b.reference = w.CorrelationReference;
    b.db = w.CorrelationDb;
  }
  return b;
}

// The curves of `old` whose channel (with the same unit code) stays chosen in
// `fresh`, moved to their new places and marked computed; the others new.
void KeepChosenCurves(const TGrWin& old, TGrWin& fresh, CurveLayout layout) {
  const ChannelSelection& before = *CurveChannels(old);
  const ChannelSelection& after = *CurveChannels(fresh);
  std::map<int, CurveSlot> kept;
  for (int s = 0; s < old.CurveCount; ++s) {
    const int channel = NthSelected(before, s);
    if (channel >= 0 && after[channel] == before[channel] && old.Curves[s].Values)
      kept.emplace(channel, old.Curves[s]);
  }
  AllocateCurves(fresh, layout);
  for (int s = 0; s < fresh.CurveCount; ++s) {
    auto it = kept.find(NthSelected(after, s));
    if (it == kept.end()) continue;
    fresh.Curves[s] = it->second;
    fresh.Curves[s].Computed = 0;
  }
}

// Vertical scaling remembered across a recompute: the value at the band
// edge the scale mode anchors, and the centre in scale mode 3.
struct RememberedScale {
  double edgeValue = 0;
  double centre = 0;
  bool set = false;
};

double EdgePixel(const CurveSlot& c, int scaleMode) {
  return scaleMode == ZeroAtTop ? c.BandBottom : c.BandTop;
}

std::array<RememberedScale, MaxCurves> RememberScales(const TGrWin& w) {
  std::array<RememberedScale, MaxCurves> r{};
  for (int s = 0; s < w.CurveCount; ++s) {
    const CurveSlot& c = w.Curves[s];
    if (c.Scale == 0 || c.BandHeight == 0 || c.Zoom == 0) continue;
    r[s].edgeValue = (EdgePixel(c, w.ScaleMode) - c.ZeroLine) / c.BandHeight / c.Scale / c.Zoom;
    r[s].centre = c.Centre;
    r[s].set = true;
  }
  return r;
}

void RestoreScales(TGrWin& w, const std::array<RememberedScale, MaxCurves>& r) {
  for (int s = 0; s < w.CurveCount; ++s) {
    CurveSlot& c = w.Curves[s];
    c.Zoom = 1.0;
    if (w.ScaleMode == FitCentreHalfRange && r[s].set) c.Centre = r[s].centre;
    if (r[s].set && r[s].edgeValue != 0 && c.BandHeight != 0) {
      c.Scale = (EdgePixel(c, w.ScaleMode) - c.ZeroLine) / c.BandHeight / r[s].edgeValue;
    } else {
      c.Scale = 0;
    }
  }
}

// Curves of another type start from that type's own vertical scale: the old
// type's scale mode, scale, zoom and centre mean nothing on the new y axis.
void StartOwnVerticalScale(TGrWin& w) {
  w.ScaleMode = SymmetricAboutCentre;
  for (CurveSlot& c : w.Curves) {
    c.Scale = 0;
    c.Zoom = 1.0;
    c.Centre = 0;
    c.HalfRange = 0;
  }
}

// A new recording in a window that keeps its type, choices and scaling.
void Recompute(const AnalysisContext& ctx, TGrWin& w) {
  w.RecordingMode = ctx.rec.Mode;
  const auto scales = RememberScales(w);
  ScaleWindow(ctx, w);
  AllocateCurves(w, CurveLayoutOf(ctx, w));
  ComputeWindow(ctx, w);
  RestoreScales(w, scales);
  ClampDisplayedRange(w);
  if (w.Form) {
    w.Form->UpdateScrollBar();
    if (w.Type == IntervalSpectrum) w.Form->HideIntervalSpectrumTools();
  }
}

}  // namespace

void RefreshTypeTools(TGrWin& w) {
  if (!w.Form) return;
  GraphForm::TypeTools tools;
  tools.accumulationEnabled = CanAccumulate(w);
  tools.stepButtonsVisible = w.Type == Distortion;
  tools.nextEnabled = w.TimePoint < w.WaterfallRows - 1;
  tools.previousEnabled = w.TimePoint >= 0;
  w.Form->UpdateTypeTools(tools);
}

void AccumulateCurrentRecording(TAllWindows& windows, TNFiles& files, const AnalysisContext& ctx) {
  const auto first = [&ctx](TGrWin& w) { ComputeFirstCurveOnly(ctx, w); };
  if (!AccumulateRecording(windows, files, ctx.rec, first)) return;
  const int frames = FrameCount(ctx);
  if (!HasTable(ctx, 0, frames)) AnalyseFrames(ctx, 0, 0, 0, FrequencyVsTime, frames);
}

void ClampDisplayedRange(TGrWin& w) {
  IndexRange& d = w.DisplayedRange;
  if (d.First == 0 && d.Last == 0) d.Last = w.FullRange.Last;
  d.Last = std::min(d.Last, w.FullRange.Last);
  if (d.First >= w.FullRange.Last) d.First = w.FullRange.First;
  d.First = std::max(d.First, w.FullRange.First);
}

void GraphTypeSetup::SetTypeFromMenu(int tag) {
  TGrWin* w = windows_.ActiveWindow();
  const int code = GraphTypeOfMenuTag(tag);
  if (!w || code == 0) return;
  SetType(*w, code);
  windows_.RefreshCaption(*w, ctx_.rec);
  if (w->Form) w->Form->Repaint();
}

void GraphTypeSetup::LeaveAccumulation(TGrWin& w) {
  if (w.Accumulating && leave_) leave_(w);
  w.Accumulating = false;
}

void GraphTypeSetup::LeaveAccumulation(TGrWin& w, TGrWin& proposal) {
  if (!w.Accumulating) return;
  LeaveAccumulation(w);
  // The proposal was copied while the window accumulated: its curves still
  // name the snapshots just released. It takes the curves as they are now.
  proposal.Curves = w.Curves;
  proposal.CurveCount = w.CurveCount;
  proposal.SelectedCurve = w.SelectedCurve;
  proposal.Accumulating = false;
}

void GraphTypeSetup::SetType(TGrWin& w, int code) {
  if (w.RecordingMode == NoSignal) return;
  const bool sameType = code == w.Type && !w.Accumulating;
  if (code == NoGraphType) {
    LeaveAccumulation(w);
    w.FreeCurves();
    w.Type = NoGraphType;
    w.DisplayedRange = {0, 0};
    return;
  }
  TGrWin proposal = w;
  // Phase in mode 4 has nothing to choose: it is applied at once.
  const bool asksDialog = !(code == Phase && w.RecordingMode == Ombrel16);
  if (asksDialog && !dialogs_.Edit(code, proposal)) return;
  // Without a choice to make, Ombrel16's phase is VIB against REF (a window
  // that has chosen nothing yet would otherwise show an empty graph).
  if (!asksDialog && SelectedCount(proposal.PhaseChannels) == 0) {
    proposal.PhaseChannels[1] = 0;
    proposal.PhaseReference = 0;
  }
  if (code == Distortion && proposal.DistortionDisplay != 0) {
    ui_.ShowInformation(Text(TextId::Distortion2d3dUnsupported));
    return;
  }
  LeaveAccumulation(w, proposal);
  if (code == Servo || code == Actuator) {
    // Their choices are stored; nothing is drawn for them.
    proposal.Type = w.Type;
    proposal.FreeCurves();
    w = std::move(proposal);
    FinishWindow(w);
    return;
  }
  Apply(w, proposal, code, sameType);
}

void GraphTypeSetup::Apply(TGrWin& w, TGrWin& proposal, int code, bool sameType) {
  proposal.Type = static_cast<std::uint8_t>(code);
  ScaleWindow(ctx_, proposal);
  // The displayed range means the same only on the same x scale (the same
  // type with other channels, or types of the same frame axis); otherwise
  // the new type is shown whole.
  if (proposal.XPerUnit != w.XPerUnit || proposal.FullRange != w.FullRange)
    proposal.DisplayedRange = proposal.FullRange;
  if (code != w.Type) StartOwnVerticalScale(proposal);
  const CurveLayout layout = CurveLayoutOf(ctx_, proposal);
  const bool keep = sameType && CurveChannels(w) && BasisOf(w) == BasisOf(proposal);
  if (keep) {
    KeepChosenCurves(w, proposal, layout);
  } else {
    AllocateCurves(proposal, layout);
    if (code == Distortion) proposal.TimePoint = -1;
  }
  w = std::move(proposal);
  // A window that gets curves shows one of them labelled: the first, unless
  // one of its curves is selected already.
  if (w.SelectedCurve < 0 || w.SelectedCurve >= w.CurveCount)
    w.SelectedCurve = w.CurveCount > 0 ? 0 : -1;
  ComputeWindow(ctx_, w, keep);
  ClampDisplayedRange(w);
  if (w.Form) w.Form->UpdateScrollBar();
  if (w.Type == SignalTraces && w.IntervalSpectrumOn) OpenIntervalSpectrum(w);
  FinishWindow(w);
}

void GraphTypeSetup::OpenIntervalSpectrum(TGrWin& traces) {
  TGrWin* spectrum = windows_.IntervalSpectrumWindow();
  if (!spectrum) {
    spectrum = &windows_.CreateWindow(ctx_.rec);
    spectrum->Type = IntervalSpectrum;
    spectrum->RecordingMode = ctx_.rec.Mode;
    if (spectrum->Form) spectrum->Form->HideIntervalSpectrumTools();
  }
  spectrum->SourceWindow = &traces;
  ScaleWindow(ctx_, *spectrum);
  spectrum->DisplayedRange = spectrum->FullRange;
  FeedIntervalSpectrum(traces);
  if (traces.Form) traces.Form->BringToFront();
}

void GraphTypeSetup::FeedIntervalSpectrum(TGrWin& traces) {
  kalvex::FeedIntervalSpectrum(windows_, ctx_, traces);
}

void FeedIntervalSpectrum(TAllWindows& windows, const AnalysisContext& ctx, TGrWin& traces) {
  TGrWin* spectrum = windows.IntervalSpectrumWindow();
  if (!spectrum || !traces.IntervalSpectrumOn || ctx.rec.Origin == OriginNone) return;
  spectrum->SourceWindow = &traces;
  ComputeWindow(ctx, *spectrum);
  windows.RefreshCaption(*spectrum, ctx.rec);
  if (spectrum->Form) spectrum->Form->Repaint();
}

void SynchroniseRanges(TAllWindows& windows, const AnalysisContext& ctx) {
  const std::vector<TGrWin*> changed = windows.SynchroniseRanges();
  const TGrWin* spectrum = windows.IntervalSpectrumWindow();
  if (!spectrum || !spectrum->SourceWindow) return;
  if (std::find(changed.begin(), changed.end(), spectrum->SourceWindow) != changed.end())
    FeedIntervalSpectrum(windows, ctx, *spectrum->SourceWindow);
}

void GraphTypeSetup::CloseOrphanedIntervalSpectrum() {
  TGrWin* spectrum = windows_.IntervalSpectrumWindow();
  if (!spectrum) return;
  for (int i = 0; i < windows_.Count(); ++i) {
    const TGrWin& w = windows_.Window(i);
    if (w.Type == SignalTraces && w.IntervalSpectrumOn) return;
  }
  windows_.CloseWindow(windows_.IndexOf(spectrum));
}

void GraphTypeSetup::FinishWindow(TGrWin& w) {
  RefreshTypeTools(w);
  CloseOrphanedIntervalSpectrum();
  if (w.Form) w.Form->Repaint();
}

void GraphTypeSetup::RecomputeAll() {
  RecomputeWindows(windows_, ctx_);
}

void RecomputeWindows(TAllWindows& windows, const AnalysisContext& ctx) {
  // Interval spectra follow their source windows.
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < windows.Count(); ++i) {
      TGrWin& w = windows.Window(i);
      if (w.Accumulating || (w.Type == IntervalSpectrum) != (pass == 1)) continue;
      Recompute(ctx, w);
      RefreshTypeTools(w);
      windows.RefreshCaption(w, ctx.rec);
      if (w.Form) w.Form->Repaint();
    }
}

}  // namespace kalvex

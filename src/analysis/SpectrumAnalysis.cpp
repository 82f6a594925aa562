#include "analysis/SpectrumAnalysis.h"

#include <cmath>

#include "analysis/ChannelSignal.h"
#include "analysis/CurveFinish.h"
#include "analysis/FftLibrary.h"
#include "analysis/SpectralBasics.h"
#include "analysis/UnitFactors.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"

namespace kalvex {
namespace {

constexpr int kTransformLength = 2 * SpectrumBins;

// 1/√T, or 0 for a sweep of 0 seconds.
double PerRootSecond(const TFrmFile& rec) {
  return rec.SweepSeconds > 0 ? 1.0 / std::sqrt(static_cast<double>(rec.SweepSeconds)) : 0.0;
}

// Magnitudes of bins 0..SpectrumBins-1 times `scale` into the curve's values.
void StoreMagnitudes(const FftTransform& t, double scale, ValueArray& out) {
  out.Values.resize(std::max<std::size_t>(out.Values.size(), SpectrumBins), 0.0);
  for (int j = 0; j < SpectrumBins; ++j) out.Values[j] = Magnitude(t, j) * scale;
  ScanValueRange(out, SpectrumBins);
}

void FinishSpectrum(const AnalysisContext& ctx, TGrWin& window, CurveSlot& curve, bool db) {
  curve.Min = curve.Values->Min;
  curve.Max = curve.Values->Max;
  if (db) {
    window.ScaleMode = ZeroAtTop;
    // The curve keeps its linear maximum; only its minimum becomes the floor
    // (zero sits at the band top in this scale mode).
    ApplyDbStep(*curve.Values, SpectrumBins, curve.Max, DbFill::ArrayMinimum,
                ctx.settings.MinSpectrum);
    curve.Min = ctx.settings.MinSpectrum;
  } else {
    window.ScaleMode = ZeroAtBottom;
  }
}

// Channel values 0..count-1 into the input; the rest of the input zero. A
// record longer than the transform contributes its first samples.
void FillInput(FftTransform& t, const std::vector<double>& x) {
  double* in = t.Input();
  const int n = t.Length();
  const int used = std::min<int>(n, static_cast<int>(x.size()));
  std::copy_n(x.begin(), used, in);
  std::fill(in + used, in + n, 0.0);
}

}  // namespace

void ComputeSpectrum(const AnalysisContext& ctx, TGrWin& window, bool skipComputed,
                     bool firstOnly) {
  if (!FftLibrary::Available()) return;
  BusyScope busy;
  FftTransform* t = FftLibrary::Transform(kTransformLength);
  const double scale = 1000.0 / ctx.rec.SampleRate / 163840 * PerRootSecond(ctx.rec);
  const int curves = firstOnly ? std::min(1, window.CurveCount) : window.CurveCount;
  for (int s = 0; s < curves; ++s) {
    CurveSlot& curve = window.Curves[s];
    if (SkipComputed(curve, skipComputed)) continue;
    const int channel = NthSelected(window.SpectrumChannels, firstOnly ? 0 : s);
    if (channel < 0) continue;
    FillInput(*t, ChannelSignal(ctx, channel, window.MaskFor(Spectrum), ctx.rec.SweepLength));
    t->Execute();
    if (!curve.Values) curve.Allocate(SpectrumBins + 1);
    StoreMagnitudes(*t, ctx.rec.SampleRate ? scale : 0.0, *curve.Values);
    curve.Name = CurveName(ctx.rec, window, channel);
    if (!firstOnly) curve.Colour = ChannelColour(window, channel);
    curve.Scale = 0;
    FinishSpectrum(ctx, window, curve, window.SpectrumDb != 0);
  }
}

void ComputeIntervalSpectrum(const AnalysisContext& ctx, TGrWin& target, const TGrWin& source,
                             int first, int last) {
  const int selected = source.SelectedCurve;
  if (!FftLibrary::Available() || selected < 0 || selected >= MaxCurves) return;
  BusyScope busy;
  const TFrmFile& rec = ctx.rec;
  const double base = rec.SampleRate ? 100.0 / rec.SampleRate / 16384 * PerRootSecond(rec) : 0.0;
  std::vector<double> x;
  double scale = base;
  int channel;
  if (source.Accumulating) {
    channel = NthSelected(source.TraceChannels, 0);
    const double u =
        UnitFactor(ctx, rec.Mode, channel, channel >= 0 ? source.TraceChannels[channel] : 0);
    scale = u != 0 ? base / u : 0.0;
    if (const auto& v = source.Curves[selected].Values) x = v->Values;
  } else {
    channel = NthSelected(source.TraceChannels, selected);
    x = ChannelSignal(ctx, channel, source.MaskFor(SignalTraces), rec.SweepLength);
  }

  FftTransform* t = FftLibrary::Transform(kTransformLength);
  double* in = t->Input();
  const int n = t->Length();
  std::fill(in, in + n, 0.0);
  // The interval is cut at the end of the input and of the signal.
  const int b = std::min({last, n, static_cast<int>(x.size())});
  for (int i = std::max(first, 0); i < b; ++i)
    in[i] = HammingWeight(i - first, last - first - 1) * x[i];
  t->Execute();

  target.FreeCurves();
  target.CurveCount = 1;
  CurveSlot& curve = target.Curves[0];
  curve.Allocate(SpectrumBins);
  StoreMagnitudes(*t, scale, *curve.Values);
  if (source.Accumulating) {
    curve.Name = std::string("S").append(std::to_string(selected + 1));
    curve.Colour = source.Curves[selected].Colour;
  } else {
    curve.Name = CurveName(rec, target, channel);
    curve.Colour = ChannelColour(target, channel);
  }
  FinishSpectrum(ctx, target, curve, source.IntervalSpectrumDb);
}

}  // namespace kalvex

#include "analysis/CorrelationAnalysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/ChannelSignal.h"
#include "analysis/CrossCorrelation.h"
#include "analysis/CurveFinish.h"
#include "analysis/ParallelBlocks.h"
#include "analysis/SpectralBasics.h"
#include "graphs/TGrWin.h"
#include "recordings/Cp1251.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

// Below this many lags, their levels cost less than starting a worker.
constexpr int kSharedLevels = 1 << 14;

// The lag of each value of the curve (value k is drawn at x = k - q):
// linear, value[k] at τ = k - r for k = 1..r and value[r + j] at τ = j;
// dB, value[i] at τ = i·t - N for i = 1..q and value[q + i] at τ = i·t.
// Value 0 repeats value 1.
std::vector<int> GridLags(int n, CorrelationGrid g) {
  std::vector<int> lags(2 * static_cast<std::size_t>(g.q), 0);
  if (g.q == 0) return lags;
  const int back = g.step == 1 ? g.span : n;
  for (int i = 1; i <= g.q; ++i) lags[i] = i * g.step - back;
  for (int i = 0; i < g.q; ++i) lags[g.q + i] = i * g.step;
  lags[0] = lags.size() > 1 ? lags[1] : 0;
  return lags;
}

// Levels against the peak, 20·log10(|v| / peak) dB; a sum of exactly 0 has
// no level and takes the lowest value of the curve. The levels of a long
// curve are shared among the workers, each finding its part's lowest.
void ToDecibels(CurveSlot& curve, double peak, int minCorrelation) {
  constexpr double kMarker = 1000;  // above any level: the peak is 0 dB
  std::vector<double>& v = curve.Values->Values;
  const int n = static_cast<int>(v.size());
  const int blocks = n < kSharedLevels ? 1 : BlockCount(n);
  struct Part {
    double low = kMarker;
    bool zero = false;
  };
  std::vector<Part> parts(blocks);
  RunInBlocks(n, blocks, [&](int worker, int first, int end) {
    Part part;  // kept apart from the other workers' until the end
    for (int i = first; i < end; ++i) {
      if (v[i] == 0) {
        v[i] = kMarker;
        part.zero = true;
      } else {
        v[i] = 20 * std::log10(std::fabs(v[i]) / peak);
        part.low = std::min(part.low, v[i]);
      }
    }
    parts[worker] = part;
  });
  double low = kMarker;
  bool zero = false;
  for (const Part& part : parts) low = std::min(low, part.low), zero |= part.zero;
  // Most curves have no sum of 0: the second pass is then not needed.
  if (low != kMarker && zero)
    for (double& e : v)
      if (e == kMarker) e = low;
  curve.Values->Min = curve.Min = minCorrelation;
  curve.Values->Max = curve.Max = 0;
}

}  // namespace

CorrelationGrid CorrelationGridFor(int n, int fs, bool db) {
  if (db) {
    const int t = std::max(1, fs / 500);
    return {t, n, n / t};
  }
  const int r = static_cast<int>(std::nearbyint(fs / 5.0));
  return {1, r, r};
}

void ComputeCorrelation(const AnalysisContext& ctx, TGrWin& w, int curve) {
  if (curve < 0) curve = w.CurveCount - 1;
  if (curve < 0 || curve >= MaxCurves) return;
  BusyScope busy;
  const TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength;
  const bool db = w.CorrelationDb != 0;
  const CorrelationGrid grid = CorrelationGridFor(n, rec.SampleRate, db);
  const int mask = w.MaskFor(Correlation);
  const ScaledSignal r = ChannelSamples(ctx, w.CorrelationReference, mask, n);
  const ScaledSignal m = ChannelSamples(ctx, w.CorrelationMain, mask, n);

  CurveSlot& slot = w.Curves[curve];
  slot.Values = std::make_shared<ValueArray>();
  slot.Values->Values = CorrelationSums(r, m, GridLags(n, grid));
  slot.Values->Count = 2 * grid.q;
  ScanLargeValueRange(*slot.Values, -1);
  slot.Min = slot.Values->Min;
  slot.Max = slot.Values->Max;
  slot.Scale = 0;
  if (!(w.Accumulating && w.CurveCount > 1)) slot.Colour = ChannelColour(w, w.CorrelationMain);
  slot.Name = Utf8Prefix(
      CurveName(rec, w, w.CorrelationReference) + "-" + CurveName(rec, w, w.CorrelationMain),
      CurveNameMaxChars);
  const double peak = std::max(std::fabs(slot.Min), std::fabs(slot.Max));
  w.ScaleMode = db ? ZeroAtTop : SymmetricAboutCentre;
  // Two silent channels have no peak: the curve stays all 0.
  if (peak == 0) return;
  if (db) {
    ToDecibels(slot, peak, ctx.settings.MinCorrelation);
  } else {
    for (double& v : slot.Values->Values) v /= peak;
    slot.Min /= peak;
    slot.Max /= peak;
    slot.Values->Min = slot.Min;
    slot.Values->Max = slot.Max;
  }
}

}  // namespace kalvex

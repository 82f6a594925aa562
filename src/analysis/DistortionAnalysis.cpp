#include "analysis/DistortionAnalysis.h"

#include <algorithm>
#include <vector>

#include "analysis/ChannelSignal.h"
#include "analysis/CurveFinish.h"
#include "analysis/FftLibrary.h"
#include "analysis/ParallelBlocks.h"
#include "analysis/SpectralBasics.h"
#include "graphs/TGrWin.h"
#include "recordings/FormatNumber.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr int kRowStep = 500;

struct Range {
  bool any = false;
  double lo = 0, hi = 0;
};

// Rows first..end-1 of the matrix, on the worker's own transform; returns the
// range of the values written, so that the matrix need not be read again.
Range FillRows(FftTransform& t, const std::vector<double>& x, int first, int end, double* matrix) {
  const int n = static_cast<int>(x.size());
  const int m = n / 2;
  double* in = t.Input();
  std::fill(in, in + 2 * m, 0.0);
  Range range;
  int cleared = 0;  // the input is zero from here on
  std::vector<double> weights;
  for (int k = first; k < end; ++k) {
    // Only the previous row's frame needs clearing (none before a block's first row).
    const int from = std::max(0, kRowStep * k - 2 * kRowStep), to = std::min(cleared, 2 * m);
    if (from < to) std::fill(in + from, in + to, 0.0);
    const int g = std::max(0, kRowStep * k - kRowStep), e = std::min(n, kRowStep * k + kRowStep);
    cleared = e;
    // The window's weights are the same for every row of one width.
    if (static_cast<int>(weights.size()) != e - g) {
      weights.resize(e - g);
      for (int i = 0; i < e - g; ++i) weights[i] = HammingWeight(i + 1, e - g - 1);
    }
    // With an odd sample count the last sample lies beyond the transform.
    for (int i = g; i < e && i < 2 * m; ++i) in[i] = weights[i - g] * x[i];
    t.Execute();
    double* row = matrix + static_cast<std::size_t>(k) * m;
    BinMagnitudes(t, m, row);
    if (m > 0) {
      const auto [lo, hi] = std::minmax_element(row, row + m);
      range = range.any ? Range{true, std::min(range.lo, *lo), std::max(range.hi, *hi)}
                        : Range{true, *lo, *hi};
    }
  }
  return range;
}

void BuildMatrix(const AnalysisContext& ctx, TGrWin& window) {
  const int n = ctx.rec.SweepLength;
  const int m = n / 2, rows = DistortionRows(n);
  // Rows are independent: each worker fills its own on its own transform.
  const std::vector<FftTransform*> transforms =
      FftLibrary::WorkerTransforms(2 * m, BlockCount(rows));
  if (transforms.empty()) return;
  const int channel = window.DistortionChannel;
  const std::vector<double> x = ChannelSignal(ctx, channel, window.MaskFor(Distortion), n);
  CurveSlot& curve = window.Curves[0];
  ValueArray& matrix = curve.Allocate(m * rows);
  std::vector<Range> ranges(transforms.size());
  RunInBlocks(rows, static_cast<int>(transforms.size()), [&](int worker, int first, int end) {
    ranges[worker] = FillRows(*transforms[worker], x, first, end, matrix.Values.data());
  });
  // The workers' blocks cover every row: their ranges make the matrix's.
  Range whole;
  for (const Range& r : ranges)
    if (r.any)
      whole = whole.any ? Range{true, std::min(whole.lo, r.lo), std::max(whole.hi, r.hi)} : r;
  curve.Min = matrix.Min = whole.lo;
  curve.Max = matrix.Max = whole.hi;
  LabelCurve(curve, ctx.rec, window, channel);
  window.CurveCount = 1;
  window.SelectedCurve = 0;
  window.ScaleMode = ZeroAtTop;
  ApplyDbStep(matrix, m * rows, curve.Max, DbFill::MinSpectrum, ctx.settings.MinSpectrum);
  curve.Min = matrix.Min;
  curve.Max = matrix.Max;
  window.WaterfallRows = rows;
  window.TimePoint = -1;
  window.DistortionMatrixView = std::make_shared<const CurveSlot>(curve);
}

// Curve 0 shows row `row` of the saved matrix.
void ShowRow(const AnalysisContext& ctx, TGrWin& window, int row) {
  const CurveSlot& whole = *window.DistortionMatrixView;
  const int m = ctx.rec.SweepLength / 2;
  CurveSlot& curve = window.Curves[0];
  ValueArray& values = curve.Allocate(m);
  const auto& matrix = whole.Values->Values;
  const std::size_t from = static_cast<std::size_t>(row) * m;
  if (from + m <= matrix.size()) std::copy_n(matrix.begin() + from, m, values.Values.begin());
  ScanValueRange(values, m);
  const double seconds =
      ctx.rec.SampleRate ? static_cast<double>(kRowStep) * row / ctx.rec.SampleRate : 0;
  curve.Name =
      CurveName(ctx.rec, window, window.DistortionChannel) +
      FormatText(TextId::DistortionTimePoint, {FormatNumber(seconds, 0), Text(TextId::Seconds)});
}

}  // namespace

int DistortionRows(int n) {
  return n / kRowStep + 1;
}

void ComputeDistortion(const AnalysisContext& ctx, TGrWin& window) {
  if (!FftLibrary::Available() || ctx.rec.SweepLength < 2) return;
  BusyScope busy;
  const int shown = window.TimePoint;
  BuildMatrix(ctx, window);
  if (shown >= 0) StepDistortion(ctx, window, shown + 1);
}

bool StepDistortion(const AnalysisContext& ctx, TGrWin& window, int delta) {
  if (!window.DistortionMatrixView || delta == 0) return false;
  if (delta < 0 ? window.TimePoint < 0 : window.TimePoint >= window.WaterfallRows - 1) return false;
  const int target = std::clamp(window.TimePoint + delta, -1, window.WaterfallRows - 1);
  window.TimePoint = target;
  if (target < 0) {
    // The whole-matrix view comes back with the scaling the curve has now.
    CurveSlot& curve = window.Curves[0];
    const CurveSlot& whole = *window.DistortionMatrixView;
    curve.Values = whole.Values;
    curve.Min = whole.Min;
    curve.Max = whole.Max;
    curve.Name = CurveName(ctx.rec, window, window.DistortionChannel);
  } else {
    ShowRow(ctx, window, target);
  }
  return true;
}

}  // namespace kalvex

// Speed of the correlation on the longest record (zero-padded transforms
// against the direct sums) and of computing every graph of the report grid
// when a record arrives.

#include <benchmark/benchmark.h>

#include <chrono>

#include "BenchRecording.h"
#include "analysis/ChannelSignal.h"
#include "analysis/CorrelationAnalysis.h"
#include "analysis/CrossCorrelation.h"
#include "analysis/DistortionAnalysis.h"
#include "analysis/FftLibrary.h"
#include "analysis/ParallelBlocks.h"
#include "graphs/GraphSetup.h"
#include "graphs/ReportGrid.h"
#include "graphs/TGrWin.h"
#include "platform/ReportOutput.h"

namespace kalvex::bench {
namespace {

BenchRecording& Record(int mode) {
  static BenchRecording velnarund(Velnarund), dodida(Dodida);
  return mode == Dodida ? dodida : velnarund;
}

// dB mode at 500 samples per second: t = 1, 130 070 lags.
void BM_CorrelationDb(benchmark::State& state) {
  BenchRecording& r = Record(Velnarund);
  AnalysisContext ctx{r.rec, r.settings, r.values};
  TGrWin window;
  ChooseDefaults(window, Correlation, 0, r.rec);
  LayoutWindow(ctx, window);
  for (auto _ : state) ComputeCorrelation(ctx, window, 0);
  state.counters["lags"] = window.Curves[0].Values->Count;
}
BENCHMARK(BM_CorrelationDb)->Unit(benchmark::kMillisecond);

// Its sums alone, of the same channels, before the levels in dB.
void BM_CorrelationDbSums(benchmark::State& state) {
  BenchRecording& r = Record(Velnarund);
  AnalysisContext ctx{r.rec, r.settings, r.values};
  TGrWin window;
  ChooseDefaults(window, Correlation, 0, r.rec);
  const int n = r.rec.SweepLength;
  const ScaledSignal x = ChannelSamples(ctx, window.CorrelationReference, 0, n);
  const ScaledSignal y = ChannelSamples(ctx, window.CorrelationMain, 0, n);
  std::vector<int> lags;
  for (int tau = -n + 1; tau < n; ++tau) lags.push_back(tau);
  for (auto _ : state) benchmark::DoNotOptimize(CorrelationSums(x, y, lags));
}
BENCHMARK(BM_CorrelationDbSums)->Unit(benchmark::kMillisecond);

// The lower bound of the above: its transforms alone, of 131 072 points with
// kept plans. 3: two forward and one inverse, the fewest a correlation by
// transforms needs; 5: three forward and two inverse, what the exact sums of
// full-scale integer channels run (the main channel split into byte halves).
void BM_CorrelationBareTransforms(benchmark::State& state) {
  const int length = 131072;
  const int inverses = state.range(0) == 5 ? 2 : 1;
  std::vector<FftTransform*> forward;
  for (int slot = 0; slot <= inverses; ++slot)
    forward.push_back(FftLibrary::Transform(length, slot));
  std::vector<FftInverseTransform*> inverse;
  for (int slot = 0; slot < inverses; ++slot)
    inverse.push_back(FftLibrary::InverseTransform(length, slot));
  for (auto _ : state) {
    for (FftTransform* t : forward) {
      t->Input()[7] = 1;
      t->Execute();
    }
    for (FftInverseTransform* t : inverse) {
      t->Input()[7][0] = 1;
      t->Execute();
      benchmark::DoNotOptimize(t->Output());
    }
  }
}
BENCHMARK(BM_CorrelationBareTransforms)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

// The same sums by direct summation.
void BM_CorrelationDbDirectSums(benchmark::State& state) {
  BenchRecording& r = Record(Velnarund);
  AnalysisContext ctx{r.rec, r.settings, r.values};
  const int n = r.rec.SweepLength;
  const std::vector<double> x = ChannelSignal(ctx, 0, 0, n), y = ChannelSignal(ctx, 3, 0, n);
  std::vector<int> lags;
  for (int tau = -n + 1; tau < n; ++tau) lags.push_back(tau);
  for (auto _ : state) benchmark::DoNotOptimize(DirectCorrelationSums(x, y, lags));
}
BENCHMARK(BM_CorrelationDbDirectSums)->Unit(benchmark::kMillisecond)->Iterations(1);

void ComputeReport(BenchRecording& r) {
  r.rec.ClearAnalyses();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  for (const ReportCell& cell : ReportCells(r.rec)) {
    TGrWin window;
    SetTypeWithDefaults(ctx, window, cell.type, cell.option);
    benchmark::DoNotOptimize(window.CurveCount);
  }
}

void BM_ReportGrid(benchmark::State& state) {
  BenchRecording& r = Record(static_cast<int>(state.range(0)));
  for (auto _ : state) ComputeReport(r);
}
BENCHMARK(BM_ReportGrid)->Arg(Dodida)->Arg(Velnarund)->Unit(benchmark::kMillisecond);

// The same on one worker: what spreading the frames and rows over the
// cores gains.
void BM_ReportGridOneWorker(benchmark::State& state) {
  BenchRecording& r = Record(static_cast<int>(state.range(0)));
  SetWorkerCount(1);
  for (auto _ : state) ComputeReport(r);
  SetWorkerCount(0);
}
BENCHMARK(BM_ReportGridOneWorker)->Arg(Dodida)->Arg(Velnarund)->Unit(benchmark::kMillisecond);

// The Distortion graph's transforms alone, on one thread: its 131 rows of
// 2⌊N/2⌋ = 65 034 points.
void BM_DistortionBareTransforms(benchmark::State& state) {
  const int rows = DistortionRows(Record(Velnarund).rec.SweepLength);
  FftTransform* t = FftLibrary::Transform(65034);
  for (auto _ : state)
    for (int k = 0; k < rows; ++k) {
      t->Input()[k] = 1;
      t->Execute();
      benchmark::DoNotOptimize(t->Output());
    }
}
BENCHMARK(BM_DistortionBareTransforms)->Unit(benchmark::kMillisecond);

}  // namespace

// The report grid in a fresh process, planning included.
// The whole report page as a PDF, as "Отчет в PDF…" and kalvex-cli write it:
// the grid's analyses, the drawing and the PDF, from a recording whose
// analyses are cleared each time.
void BM_ReportPagePdf(benchmark::State& state) {
  BenchRecording& r = Record(static_cast<int>(state.range(0)));
  const ReportValues values = BitmapReportValues(true);
  for (auto _ : state) {
    r.rec.ClearAnalyses();
    QByteArray pdf;
    RenderReportPdf(pdf, values, "", {r.rec, r.settings, r.values});
    benchmark::DoNotOptimize(pdf.size());
  }
}
BENCHMARK(BM_ReportPagePdf)->Arg(Dodida)->Arg(Velnarund)->Unit(benchmark::kMillisecond);

double TimeFirstPage(int mode) {
  BenchRecording& r = Record(mode);
  const auto start = std::chrono::steady_clock::now();
  QByteArray pdf;
  RenderReportPdf(pdf, BitmapReportValues(true), "", {r.rec, r.settings, r.values});
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double TimeFirstReport(int mode) {
  BenchRecording& r = Record(mode);
  auto start = std::chrono::steady_clock::now();
  r.rec.ClearAnalyses();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  for (const ReportCell& cell : ReportCells(r.rec)) {
    auto t0 = std::chrono::steady_clock::now();
    TGrWin window;
    SetTypeWithDefaults(ctx, window, cell.type, cell.option);
    std::printf("  %-28s %.3f s\n", cell.title.c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace kalvex::bench

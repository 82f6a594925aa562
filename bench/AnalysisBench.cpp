// Speed of the per-frame analysis and the spectra on the longest record.
//
// usage: kalvex-bench [Google Benchmark options]
// Before the suite it times the first analysis of the process, planning and
// loading the kept wisdom included. The suite measures every length it
// plans, as a run does once the measuring process has kept its wisdom.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "BenchRecording.h"
#include "analysis/FftLibrary.h"
#include "analysis/ParallelBlocks.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/SpectralBasics.h"
#include "analysis/SpectrumAnalysis.h"
#include "graphs/GraphSetup.h"
#include "graphs/TGrWin.h"
#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"

namespace kalvex::bench {
namespace {

constexpr int kChannel = 4;  // the reaction-mass channel of mode 0

BenchRecording& Mode0() {
  static BenchRecording r(Velnarund);
  return r;
}

void AnalyseOnce(BenchRecording& r) {
  r.rec.ClearAnalyses();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  benchmark::DoNotOptimize(AnalyseFrames(ctx, 0, kChannel, 0, 0, FrameCount(ctx)));
}

void BM_AnalyseFrames(benchmark::State& state) {
  BenchRecording& r = Mode0();
  for (auto _ : state) AnalyseOnce(r);
}
BENCHMARK(BM_AnalyseFrames)->Unit(benchmark::kMillisecond);

// The lower bound: the same number of transforms of the same length, nothing
// else.
void BM_BareTransforms(benchmark::State& state) {
  BenchRecording& r = Mode0();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  const int frames = FrameCount(ctx);
  FftTransform* t = FftLibrary::Transform(FrameFftLength(r.rec.SweepLength, r.settings.InputSize));
  for (auto _ : state)
    for (int i = 0; i < frames; ++i) {
      t->Input()[i] = i;
      t->Execute();
      benchmark::DoNotOptimize(t->Output());
    }
}
BENCHMARK(BM_BareTransforms)->Unit(benchmark::kMillisecond);

// The two-core bound: the same transforms split over the workers as the
// analysis splits its frames, each on a kept transform of its own.
void BM_BareTransformsAllCores(benchmark::State& state) {
  BenchRecording& r = Mode0();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  const int frames = FrameCount(ctx);
  const std::vector<FftTransform*> t = FftLibrary::WorkerTransforms(
      FrameFftLength(r.rec.SweepLength, r.settings.InputSize), BlockCount(frames));
  for (auto _ : state)
    RunInBlocks(frames, static_cast<int>(t.size()), [&](int worker, int first, int end) {
      for (int i = first; i < end; ++i) {
        t[worker]->Input()[i] = i;
        t[worker]->Execute();
        benchmark::DoNotOptimize(t[worker]->Output());
      }
    });
}
BENCHMARK(BM_BareTransformsAllCores)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain way: a new measuring plan for every transform.
void BM_AnalyseFramesPlanEveryTransform(benchmark::State& state) {
  BenchRecording& r = Mode0();
  FftLibrary::SetPlanEveryTransform(true);
  for (auto _ : state) AnalyseOnce(r);
  FftLibrary::SetPlanEveryTransform(false);
}
BENCHMARK(BM_AnalyseFramesPlanEveryTransform)->Unit(benchmark::kMillisecond)->Iterations(3);

// Spectrum of every channel of a mode 0 record, the ground force included.
void BM_SpectrumAllChannels(benchmark::State& state) {
  BenchRecording& r = Mode0();
  AnalysisContext ctx{r.rec, r.settings, r.values};
  TGrWin window;
  ChooseDefaults(window, Spectrum, 0, r.rec);
  window.SpectrumChannels = {0, 0, 0, 0, 0, 0, 0};
  LayoutWindow(ctx, window);
  for (auto _ : state) ComputeSpectrum(ctx, window, false, false);
}
BENCHMARK(BM_SpectrumAllChannels)->Unit(benchmark::kMillisecond);

void TimeFirstAnalysis() {
  auto start = std::chrono::steady_clock::now();
  BenchRecording& r = Mode0();
  auto made = std::chrono::steady_clock::now();
  AnalyseOnce(r);
  auto done = std::chrono::steady_clock::now();
  std::printf(
      "First analysis in this process (650 frames of 32768 points, planning included): %.3f s\n"
      "  (record built in %.3f s; wisdom file %s)\n",
      std::chrono::duration<double>(done - made).count(),
      std::chrono::duration<double>(made - start).count(), qPrintable(FftWisdomPath()));
}

}  // namespace

double TimeFirstReport(int mode);
double TimeFirstPage(int mode);
int RunFirstUse(const QString& self);
int RunFirstUseStep(const std::string& item);

}  // namespace kalvex::bench

int main(int argc, char** argv) {
  if (const std::optional<int> code = kalvex::MeasureFftWisdomIfAsked(argc, argv)) return *code;
  // The report page draws text: fonts need the application object.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!kalvex::LoadFftLibrary()) {
    std::fprintf(stderr, "kalvex-bench: the FFT library could not be loaded\n");
    return 1;
  }
  if (argc > 1 && std::string(argv[1]) == "--first-use")
    return kalvex::bench::RunFirstUse(QCoreApplication::applicationFilePath());
  if (argc > 2 && std::string(argv[1]) == "--first-use-step")
    return kalvex::bench::RunFirstUseStep(argv[2]);
  if (argc > 1 && std::string(argv[1]) == "--first-report") {
    // A fresh process per record: the report grid with every plan still to make.
    const int mode = argc > 2 && std::string(argv[2]) == "0" ? kalvex::Velnarund : kalvex::Dodida;
    std::printf("Report grid of a mode %d record in a fresh process: %.3f s\n", mode,
                kalvex::bench::TimeFirstReport(mode));
    kalvex::SaveFftWisdom();
    return 0;
  }
  if (argc > 1 && std::string(argv[1]) == "--first-page") {
    // A fresh process: the whole report page as a PDF, plans and fonts still to make.
    const int mode = argc > 2 && std::string(argv[2]) == "0" ? kalvex::Velnarund : kalvex::Dodida;
    std::printf("Report page (PDF) of a mode %d record in a fresh process: %.3f s\n", mode,
                kalvex::bench::TimeFirstPage(mode));
    return 0;
  }
  kalvex::FftLibrary::SetMeasureAtFirstUse(true);
  kalvex::bench::TimeFirstAnalysis();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kalvex::SaveFftWisdom();
  return 0;
}

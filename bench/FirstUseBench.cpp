// The first use on a machine without FFT wisdom, measured in fresh processes
// with an empty wisdom folder of their own: the old way (every length
// measured when first asked for) against the new (estimated at once,
// measured afterwards by the measuring process), each first and again once
// the wisdom is kept.
//
// usage: kalvex-bench --first-use

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <string>

#include "BenchRecording.h"
#include "analysis/FftLibrary.h"
#include "graphs/GraphSetup.h"
#include "graphs/TGrWin.h"
#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"

namespace kalvex::bench {

double TimeFirstPage(int mode);

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

struct StepResult {
  bool ok = false;
  double seconds = 0;
  double longestPlanning = 0;
  QStringList measure;  // the measuring process's words
};

// One step in a fresh process: its first line the times, its second the
// words of the measuring process.
StepResult RunStep(const QString& self, const QString& item, const QProcessEnvironment& env) {
  QProcess step;
  step.setProcessEnvironment(env);
  step.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  step.start(self, {QStringLiteral("--first-use-step"), item});
  StepResult r;
  if (!step.waitForFinished(-1) || step.exitCode() != 0) return r;
  const QStringList lines = QString::fromLatin1(step.readAllStandardOutput()).split('\n');
  const QStringList times = lines.value(0).split(' ');
  r.seconds = times.value(0).toDouble(&r.ok);
  r.longestPlanning = times.value(1).toDouble();
  r.measure = lines.value(1).split(' ', Qt::SkipEmptyParts);
  return r;
}

}  // namespace

int RunFirstUseStep(const std::string& item) {
  double seconds = 0;
  if (item == "report") {
    seconds = TimeFirstPage(Velnarund);
  } else {
    BenchRecording r(Velnarund);
    const AnalysisContext ctx{r.rec, r.settings, r.values};
    const auto start = std::chrono::steady_clock::now();
    TGrWin window;
    SetTypeWithDefaults(ctx, window, Correlation, 0);
    seconds = Seconds(start);
  }
  std::printf("%.4f %.4f\n%s\n", seconds, FftLibrary::LongestPlanning(),
              qPrintable(FftWisdomMeasurementArguments().join(' ')));
  SaveFftWisdom();
  return 0;
}

int RunFirstUse(const QString& self) {
  std::printf(
      "First use without FFT wisdom, 65 535-sample mode 0 record, fresh processes\n"
      "%-34s %-9s %8s %8s %12s %8s %8s\n",
      "", "planner", "first", "longest", "measuring", "warm", "longest");
  for (const char* item : {"report", "correlation"}) {
    for (const bool measureAtFirstUse : {true, false}) {
      QTemporaryDir folder;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("KALVEX_FFTW_WISDOM"),
                 folder.filePath(QStringLiteral("fftw-wisdom")));
      if (measureAtFirstUse)
        env.insert(QStringLiteral("KALVEX_FFT_PLANNER"), QStringLiteral("measure"));
      else
        env.remove(QStringLiteral("KALVEX_FFT_PLANNER"));
      const StepResult first = RunStep(self, QString::fromLatin1(item), env);
      // What the measuring process started at the end of that run does, here
      // waited for.
      double measuring = 0;
      if (!first.measure.isEmpty()) {
        QProcess measure;
        measure.setProcessEnvironment(env);
        const auto start = std::chrono::steady_clock::now();
        measure.start(self, first.measure);
        measure.waitForFinished(-1);
        measuring = Seconds(start);
      }
      const StepResult warm = RunStep(self, QString::fromLatin1(item), env);
      if (!first.ok || !warm.ok) {
        std::fprintf(stderr, "kalvex-bench: a first-use step failed\n");
        return 1;
      }
      std::printf("%-34s %-9s %7.3fs %7.3fs %11.3fs %7.3fs %7.3fs\n",
                  item == std::string("report") ? "report page (PDF)" : "Correlation graph (dB)",
                  measureAtFirstUse ? "old" : "new", first.seconds, first.longestPlanning,
                  measuring, warm.seconds, warm.longestPlanning);
    }
  }
  return 0;
}

}  // namespace kalvex::bench

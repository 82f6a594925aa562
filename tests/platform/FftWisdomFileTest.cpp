// The wisdom file between runs: the measuring process keeps measured plans
// of the lengths a run estimated, and a run's own save merges with what the
// file holds by then instead of replacing it.

#include <gtest/gtest.h>

#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>

#include "analysis/FftLibrary.h"
#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"

namespace kalvex {
namespace {

// What a new process starts with: no wisdom but the file's.
void ForgetWisdom() {
#ifdef _WIN32
  QLibrary fftw(qEnvironmentVariable("KALVEX_FFTW_LIBRARY", "libfftw3-3.dll"));
#else
  QLibrary fftw(qEnvironmentVariable("KALVEX_FFTW_LIBRARY", "libfftw3.so.3"));
#endif
  auto forget = reinterpret_cast<void (*)()>(fftw.resolve("fftw_forget_wisdom"));
  ASSERT_TRUE(forget);
  forget();
}

TEST(FftWisdomFileTest, MeasuredPlansSurviveTheSaveOfARunThatEstimated) {
#ifndef KALVEX_CLI_PROGRAM
  GTEST_SKIP() << "the command-line program is not built";
#else
  QTemporaryDir folder;
  qputenv("KALVEX_FFTW_WISDOM", folder.filePath("wisdom/fftw-wisdom").toUtf8());
  ASSERT_TRUE(LoadFftLibrary());
  ASSERT_EQ(FftLibrary::Transform(3010)->PlanFlags(), kFftwEstimate);
  ASSERT_EQ(FftLibrary::InverseTransform(3012)->PlanFlags(), kFftwEstimate);
  const QStringList words = FftWisdomMeasurementArguments();
  EXPECT_EQ(words.join(' '), "--measure-fft-wisdom --lengths 3010 --inverse 3012");
  // The measuring process writes the file while this run goes on; this run
  // then measures a length of its own, the old way, and saves.
  EXPECT_EQ(QProcess::execute(KALVEX_CLI_PROGRAM, words), 0);
  FftLibrary::SetMeasureAtFirstUse(true);
  EXPECT_EQ(FftLibrary::Transform(3014)->PlanFlags(), kFftwMeasure);
  FftLibrary::SetMeasureAtFirstUse(false);
  SaveFftWisdom();

  ForgetWisdom();
  ASSERT_TRUE(LoadFftLibrary());
  for (int n : {3010, 3014})
    EXPECT_EQ(FftLibrary::Transform(n)->PlanFlags(), kFftwMeasure | kFftwWisdomOnly) << n;
  EXPECT_EQ(FftLibrary::InverseTransform(3012)->PlanFlags(), kFftwMeasure | kFftwWisdomOnly);
  EXPECT_TRUE(FftLibrary::WantingMeasurement().Empty());
  // Words that are not lengths are refused.
  EXPECT_EQ(QProcess::execute(KALVEX_CLI_PROGRAM, {"--measure-fft-wisdom", "--lengths", "0,-5"}),
            1);
  qunsetenv("KALVEX_FFTW_WISDOM");
  FftLibrary::Bind(nullptr);
#endif
}

}  // namespace
}  // namespace kalvex

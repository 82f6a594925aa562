// How lengths are planned: from measured wisdom, else estimated at once and
// named for the measuring process; and that estimated plans give the graphs
// measured plans give.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/FftLibrary.h"
#include "graphs/GraphSetup.h"
#include "graphs/ReportGrid.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr int kLength = 4096;

// A linear sweep 10..100 Hz over the record with a second harmonic of
// `harmonic` of its level, starting at `degrees`.
test::Signal Sweep(double level, double degrees, double harmonic) {
  return [=](int j) {
    const double t = j / 1000.0, seconds = kLength / 1000.0;
    const double phase =
        2 * std::numbers::pi * (10 * t + 45 * t * t / seconds) + degrees * std::numbers::pi / 180;
    return level * (std::sin(phase) + harmonic * std::sin(2 * phase));
  };
}

// Every curve of every graph of the report grid, by cell.
std::vector<std::vector<std::vector<double>>> ReportGraphs(test::SignalRecording& s) {
  s.rec.ClearAnalyses();
  const AnalysisContext ctx = s.Context();
  std::vector<std::vector<std::vector<double>>> graphs;
  for (const ReportCell& cell : ReportCells(s.rec)) {
    TGrWin window;
    SetTypeWithDefaults(ctx, window, cell.type, cell.option);
    auto& curves = graphs.emplace_back();
    for (int c = 0; c < window.CurveCount; ++c)
      if (window.Curves[c].Values) curves.push_back(window.Curves[c].Values->Values);
  }
  return graphs;
}

// The plans FFTW estimates and those it measures may order their sums
// differently: the frame tables (Amplitude, Phase, Harmonics) and the
// Distortion matrix may differ in the last bits, found here within 1e-12 of
// the curve's largest value; the correlation sums are exact, so the
// Correlation graphs are the same bit for bit.
TEST(FftPlanningTest, EstimatedPlansGiveTheGraphsOfMeasuredPlans) {
  test::SignalRecording s(Velnarund, 1000, kLength, 4);
  s.Set(0, Sweep(8000, 0, 0));
  s.Set(3, Sweep(6000, 20, 0.1));
  s.Set(4, Sweep(9000, 35, 0.05));
  s.Set(5, Sweep(7000, -15, 0.2));
  s.SetDerived(Sweep(12345.678, 10, 0.03));

  FftLibrary::Bind(&test::LinkedFftwEntryPoints());
  const auto estimated = ReportGraphs(s);
  ASSERT_FALSE(FftLibrary::WantingMeasurement().Empty());
  FftLibrary::SetMeasureAtFirstUse(true);
  FftLibrary::Bind(&test::LinkedFftwEntryPoints());
  const auto measured = ReportGraphs(s);
  FftLibrary::SetMeasureAtFirstUse(false);
  EXPECT_TRUE(FftLibrary::WantingMeasurement().Empty());
  FftLibrary::Bind(nullptr);

  const std::vector<ReportCell> cells = ReportCells(s.rec);
  ASSERT_EQ(estimated.size(), cells.size());
  ASSERT_EQ(measured.size(), cells.size());
  for (std::size_t g = 0; g < cells.size(); ++g) {
    ASSERT_EQ(estimated[g].size(), measured[g].size()) << cells[g].title;
    for (std::size_t c = 0; c < estimated[g].size(); ++c) {
      const std::vector<double>& e = estimated[g][c];
      const std::vector<double>& m = measured[g][c];
      ASSERT_EQ(e.size(), m.size()) << cells[g].title;
      if (cells[g].type == Correlation) {
        EXPECT_EQ(e, m) << cells[g].title;
        continue;
      }
      double largest = 0;
      for (double v : m) largest = std::max(largest, std::abs(v));
      // A level in dB far below the peak is a small magnitude: the same
      // rounding of the transform weighs more the lower the level (10^(-L/20)).
      const bool db = cells[g].type == Distortion || cells[g].type == Spectrum;
      for (std::size_t i = 0; i < e.size(); ++i) {
        const double weight = db ? std::max(1.0, std::pow(10.0, -m[i] / 20) / 1000) : 1.0;
        ASSERT_NEAR(e[i], m[i], 1e-12 * largest * weight)
            << cells[g].title << " curve " << c << " at " << i;
      }
    }
  }
}

TEST(FftPlanningTest, OnlyLengthsWithoutMeasuredWisdomAreEstimatedAndNamed) {
  test::LinkedFftw fftw;
  EXPECT_EQ(FftLibrary::Transform(600)->PlanFlags(), kFftwEstimate);
  EXPECT_EQ(FftLibrary::Transform(600, 1)->PlanFlags(), kFftwEstimate);
  EXPECT_EQ(FftLibrary::InverseTransform(604)->PlanFlags(), kFftwEstimate);
  // What the measuring process measures, here in the same process: the run
  // keeps its estimated plans, also of a length planned again after it was
  // dropped.
  FftLibrary::MeasureWisdom({{600, 602}, {604}});
  FftLibrary::ReleasePlans();
  EXPECT_EQ(FftLibrary::Transform(600)->PlanFlags(), kFftwEstimate);
  const FftLengths wanted = FftLibrary::WantingMeasurement();
  EXPECT_EQ(wanted.forward, std::vector<int>{600});
  EXPECT_EQ(wanted.inverse, std::vector<int>{604});

  // The next run plans them from the measured wisdom; a length without any
  // is still estimated.
  FftLibrary::Bind(&test::LinkedFftwEntryPoints());
  EXPECT_EQ(FftLibrary::Transform(600)->PlanFlags(), kFftwMeasure | kFftwWisdomOnly);
  EXPECT_EQ(FftLibrary::Transform(602)->PlanFlags(), kFftwMeasure | kFftwWisdomOnly);
  EXPECT_EQ(FftLibrary::InverseTransform(604)->PlanFlags(), kFftwMeasure | kFftwWisdomOnly);
  EXPECT_EQ(FftLibrary::Transform(606)->PlanFlags(), kFftwEstimate);
  EXPECT_EQ(FftLibrary::WantingMeasurement().forward, std::vector<int>{606});
  EXPECT_TRUE(FftLibrary::WantingMeasurement().inverse.empty());
}

}  // namespace
}  // namespace kalvex

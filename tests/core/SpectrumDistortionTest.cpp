// Whole-channel spectra (linear and dB) and the short-time spectra of the
// distortion graph with its time points.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/DistortionAnalysis.h"
#include "analysis/SpectralBasics.h"
#include "analysis/SpectrumAnalysis.h"
#include "graphs/Palette.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

class SpectrumTest : public ::testing::Test {
 protected:
  std::unique_ptr<TGrWin> Spectrum(test::SignalRecording& s, int channel, bool db) {
    auto w = test::MakeWindow(kalvex::Spectrum, s.rec);
    w->SpectrumChannels[channel] = 0;
    w->SpectrumDb = db;
    w->CurveCount = 1;
    ComputeSpectrum(s.Context(), *w, false, false);
    return w;
  }
  test::LinkedFftw fftw;
};

TEST_F(SpectrumTest, SineCentredOnABinPeaksThereAndIsZeroDbThere) {
  // 16000 samples at 1000/s over 16 s; a sine of 8000 counts on bin 1000.
  test::SignalRecording s(Velnarund, 1000, 16000, 16);
  s.Set(3, test::Tone(8000, 1000, 32768));
  const auto linear = Spectrum(s, 3, false);
  const CurveSlot& curve = linear->Curves[0];
  const auto& v = curve.Values->Values;
  EXPECT_EQ(std::max_element(v.begin(), v.end()) - v.begin(), 1000);
  // |bin| of a sine over N samples is A·N/2; scale 1000 / Fs / 163840 / √T.
  EXPECT_NEAR(v[1000], 8000 * 16000 / 2.0 * (1000.0 / 1000 / 163840 / 4), 1e-3 * v[1000]);
  EXPECT_EQ(curve.Max, v[1000]);
  EXPECT_EQ(linear->ScaleMode, ZeroAtBottom);
  EXPECT_EQ(curve.Name, "Mass");
  EXPECT_EQ(curve.Colour, CurveColour(kalvex::Spectrum, Velnarund, 3));

  const auto db = Spectrum(s, 3, true);
  const auto& d = db->Curves[0].Values->Values;
  EXPECT_EQ(std::max_element(d.begin(), d.begin() + SpectrumBins) - d.begin(), 1000);
  EXPECT_EQ(d[1000], 0);
  EXPECT_EQ(db->Curves[0].Min, -40);
  EXPECT_EQ(db->ScaleMode, ZeroAtTop);
}

TEST_F(SpectrumTest, ZeroBinsInDbTakeTheArrayMinimum) {
  // A silent channel: every bin is the array minimum, none a logarithm of 0.
  test::SignalRecording s(Velnarund, 1000, 4000, 4);
  const auto silent = Spectrum(s, 2, true);
  const ValueArray& values = *silent->Curves[0].Values;
  for (int j = 0; j < SpectrumBins; ++j) {
    ASSERT_TRUE(std::isfinite(values.Values[j])) << j;
    ASSERT_EQ(values.Values[j], values.Min) << j;
  }
  EXPECT_EQ(silent->Curves[0].Min, -40);

  // A step of +7000 then -7000 counts has no DC at all; its lowest real bin
  // (bin 1, about -80 dB) stays below the floor, and bin 0 takes its value.
  s.Set(2, [](int j) { return j == 0 ? 7000 : j == 1 ? -7000 : 0; });
  const auto step = Spectrum(s, 2, true);
  const auto& v = step->Curves[0].Values->Values;
  EXPECT_NEAR(v[1], 20 * std::log10(std::sin(std::numbers::pi / 32768)), 0.01);
  EXPECT_EQ(v[0], v[1]);
  EXPECT_EQ(step->Curves[0].Min, -40);
}

TEST_F(SpectrumTest, LongRecordUsesItsFirstSamplesAndZeroSecondsGivesZeros) {
  // An impulse within the first 32768 samples, a loud sine only after them.
  test::SignalRecording s(Velnarund, 1000, 40000, 40);
  s.Set(3, [](int j) { return j == 100 ? 10000 : j >= 32768 ? 20000 * std::sin(0.3 * j) : 0; });
  const auto w = Spectrum(s, 3, false);
  const ValueArray& v = *w->Curves[0].Values;
  const double flat = 10000 * (1000.0 / 1000 / 163840 / std::sqrt(40.0));
  EXPECT_NEAR(v.Min, flat, 1e-9 * flat);
  EXPECT_NEAR(v.Max, flat, 1e-9 * flat);

  s.rec.SweepSeconds = 0;
  const auto none = Spectrum(s, 3, false);
  for (double x : none->Curves[0].Values->Values) ASSERT_EQ(x, 0);
}

TEST_F(SpectrumTest, IntervalSpectrumOfTheShownSamplesIsCutAtTheInputsEnd) {
  for (const int length : {8000, 40000}) {
    test::SignalRecording s(Velnarund, 1000, length, length / 1000);
    s.Set(3, test::Tone(8000, 1000, 32768));
    auto source = test::MakeWindow(SignalTraces, s.rec);
    source->TraceChannels[3] = 0;
    source->SelectedCurve = 0;
    auto target = test::MakeWindow(IntervalSpectrum, s.rec);
    const int first = length == 8000 ? 1000 : 30000;
    ComputeIntervalSpectrum(s.Context(), *target, *source, first, first + 4000);
    ASSERT_EQ(target->CurveCount, 1);
    const auto& v = target->Curves[0].Values->Values;
    ASSERT_EQ(v.size(), 16384u);
    EXPECT_EQ(std::max_element(v.begin(), v.end()) - v.begin(), 1000) << length;
    for (double x : v) ASSERT_TRUE(std::isfinite(x));
    EXPECT_EQ(target->Curves[0].Name, "Mass");
    EXPECT_EQ(target->Curves[0].Colour, CurveColour(IntervalSpectrum, Velnarund, 3));
  }
}

class DistortionTest : public ::testing::Test {
 protected:
  std::unique_ptr<TGrWin> Distortion(test::SignalRecording& s) {
    auto w = test::MakeWindow(kalvex::Distortion, s.rec);
    w->DistortionChannel = 3;
    w->CurveCount = 1;
    ComputeDistortion(s.Context(), *w);
    return w;
  }
  test::LinkedFftw fftw;
};

TEST_F(DistortionTest, RowsOfAThousandSamplesAreHalfOverlappingFrames) {
  // Rows 0, 1, 2 take samples [0, 500), [0, 1000), [500, 1000). An impulse
  // gives each row that holds it a flat spectrum of its weight there; the
  // rows that do not hold it are at the floor.
  struct Case {
    int sample;
    double weight[3];  // 0: the row does not hold the sample
  };
  const Case cases[] = {{100, {HammingWeight(101, 499), HammingWeight(101, 999), 0}},
                        {499, {HammingWeight(500, 499), HammingWeight(500, 999), 0}},
                        {500, {0, HammingWeight(501, 999), HammingWeight(1, 499)}},
                        {999, {0, HammingWeight(1000, 999), HammingWeight(500, 499)}}};
  for (const Case& c : cases) {
    test::SignalRecording s(Velnarund, 1000, 1000);
    s.Set(3, test::Impulses({c.sample}, 10000));
    const auto w = Distortion(s);
    ASSERT_EQ(w->WaterfallRows, 3);
    const auto& matrix = w->Curves[0].Values->Values;
    ASSERT_EQ(matrix.size(), 1500u);
    const double strongest = *std::max_element(std::begin(c.weight), std::end(c.weight));
    for (int k = 0; k < 3; ++k) {
      const double expected = c.weight[k] > 0 ? 20 * std::log10(c.weight[k] / strongest) : -40;
      for (int j = 0; j < 500; ++j)
        ASSERT_NEAR(matrix[k * 500 + j], expected, 1e-9) << c.sample << " row " << k << ' ' << j;
    }
    EXPECT_EQ(w->Curves[0].Min, -40);
    EXPECT_EQ(w->ScaleMode, ZeroAtTop);
    EXPECT_EQ(w->Curves[0].Name, "Mass");
  }
}

TEST_F(DistortionTest, OddSampleCountLeavesTheLastSampleOut) {
  test::SignalRecording s(Velnarund, 1000, 1001);
  s.Set(3, test::Impulses({1000}, 10000));
  const auto w = Distortion(s);
  ASSERT_EQ(w->WaterfallRows, 3);
  const auto& matrix = w->Curves[0].Values->Values;
  ASSERT_EQ(matrix.size(), 1500u);
  for (double v : matrix) ASSERT_EQ(v, -40);
}

TEST_F(DistortionTest, TimePointsStepWithinTheRowsAndSurviveARecompute) {
  test::SignalRecording s(Velnarund, 1000, 1000);
  s.Set(3, test::Tone(5000, 40, 1000));
  const auto w = Distortion(s);
  const AnalysisContext ctx = s.Context();
  const auto whole = w->Curves[0].Values;
  auto row = [&](int k) {
    const auto& m = w->DistortionMatrixView->Values->Values;
    return std::vector<double>(m.begin() + k * 500, m.begin() + (k + 1) * 500);
  };

  EXPECT_FALSE(StepDistortion(ctx, *w, -1));
  EXPECT_EQ(w->TimePoint, -1);
  ASSERT_TRUE(StepDistortion(ctx, *w, 1));
  EXPECT_EQ(w->Curves[0].Values->Values, row(0));
  EXPECT_EQ(w->Curves[0].Name, "Mass(0 sec)");
  // Back from row 0: the whole matrix again.
  ASSERT_TRUE(StepDistortion(ctx, *w, -1));
  EXPECT_EQ(w->TimePoint, -1);
  EXPECT_EQ(w->Curves[0].Values, whole);
  EXPECT_EQ(w->Curves[0].Name, "Mass");

  ASSERT_TRUE(StepDistortion(ctx, *w, 1));
  ASSERT_TRUE(StepDistortion(ctx, *w, 1));
  ASSERT_TRUE(StepDistortion(ctx, *w, 1));
  EXPECT_FALSE(StepDistortion(ctx, *w, 1));
  EXPECT_EQ(w->TimePoint, 2);
  EXPECT_EQ(w->Curves[0].Name, "Mass(1 sec)");

  // A new signal while row 2 is shown: row 2 of the new matrix.
  s.Set(3, test::Tone(5000, 90, 1000));
  ComputeDistortion(ctx, *w);
  EXPECT_EQ(w->TimePoint, 2);
  EXPECT_NE(w->DistortionMatrixView->Values, whole);
  EXPECT_EQ(w->Curves[0].Values->Values, row(2));
  const auto& shown = w->Curves[0].Values->Values;
  EXPECT_EQ(std::max_element(shown.begin(), shown.end()) - shown.begin(), 90);
}

}  // namespace
}  // namespace kalvex

// Signal traces in physical units with their weight-based limits, and the
// frame-by-frame amplitude in its four measures.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/AmplitudeAnalysis.h"
#include "analysis/TraceAnalysis.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr double V = 10.0 / 32768;

TEST(TraceTest, ValuesInTheUnitAndLimitsFromTheHoldDownWeight) {
  struct Case {
    int mode, channel, code;
    double limit;
  };
  const Case cases[] = {{Velnarund, 6, 0, 22},     {Velnarund, 6, 1, 44200}, {Velnarund, 6, 2, 220},
                        {Velnarund, 0, 0, 10},     {Velnarund, 3, 0, 1.25},  {Velnarund, 4, 1, 12},
                        {Velnarund, 4, 2, 22},     {Velnarund, 5, 3, 44200}, {Velnarund, 5, 4, 220},
                        {Dodida, 3, 1, 44200},     {Similarity, 6, 0, 1.25}, {Similarity, 6, 1, 22},
                        {Similarity, 6, 3, 220},   {Similarity, 2, 0, 1.25}, {Similarity, 2, 1, 22},
                        {Similarity, 2, 2, 44200}, {Ombrel16, 1, 0, 22},     {Ombrel16, 1, 2, 220},
                        {Ombrel16, 1, 3, 10}};
  for (const Case& c : cases) {
    test::SignalRecording s(c.mode, 1000, 100);
    s.SetDerived([](int) { return 10000.0; });
    auto w = test::MakeWindow(SignalTraces, s.rec);
    w->TraceChannels[c.channel] = static_cast<std::int16_t>(c.code);
    ComputeTrace(s.Context(), *w, 0, c.channel);
    const CurveSlot& curve = w->Curves[0];
    EXPECT_EQ(curve.Min, -c.limit) << c.mode << ' ' << c.channel << ' ' << c.code;
    EXPECT_EQ(curve.Max, c.limit) << c.mode << ' ' << c.channel << ' ' << c.code;
    EXPECT_EQ(curve.Values->Count, 100);
    EXPECT_EQ(curve.Scale, 0);
  }

  // 10000 kgf of ground force is 98 kN; a raw channel is scaled per count.
  test::SignalRecording s(Velnarund, 1000, 100);
  s.SetDerived([](int) { return 10000.0; });
  s.Set(1, [](int j) { return j; });
  auto w = test::MakeWindow(SignalTraces, s.rec);
  w->TraceChannels[6] = 2;
  w->TraceChannels[1] = 0;
  ComputeTrace(s.Context(), *w, 0, 6);
  ComputeTrace(s.Context(), *w, 1, 1);
  EXPECT_NEAR(w->Curves[0].Values->Values[99], 98, 1e-9);
  EXPECT_DOUBLE_EQ(w->Curves[1].Values->Values[99], 99 * V);
}

class AmplitudeTest : public ::testing::Test {
 protected:
  // Curve 0 of an amplitude window showing the channel in the unit.
  std::unique_ptr<TGrWin> Amplitude(test::SignalRecording& s, int channel, int code, int measure) {
    auto w = test::MakeWindow(kalvex::Amplitude, s.rec);
    w->AmplitudeChannels[channel] = static_cast<std::int16_t>(code);
    w->AmplitudeMeasure = measure;
    w->CurveCount = 1;
    ComputeAmplitude(s.Context(), *w, 0, false);
    return w;
  }
  test::LinkedFftw fftw;
};

TEST_F(AmplitudeTest, RmsDividesByTheFrameLengthAlsoWhereFramesAreCut) {
  test::SignalRecording s(Velnarund, 1000, 10000);
  s.Set(3, test::Tone(10000, 1, 32));  // 16 whole periods per frame
  auto w = Amplitude(s, 3, 0, Rms);
  const auto& v = w->Curves[0].Values->Values;
  ASSERT_EQ(v.size(), 100u);
  EXPECT_NEAR(v[0], 10000 * V / 2, 1e-4 * V * 10000);  // samples 0..255 over 512
  for (int i : {3, 50, 97}) EXPECT_NEAR(v[i], 10000 * V / std::sqrt(2.0), 1e-4 * 10000 * V) << i;
  EXPECT_EQ(w->Curves[0].Min, 0);
  EXPECT_EQ(w->Curves[0].Max, 1.25);
  EXPECT_EQ(w->Curves[0].Name, "Mass");
}

TEST_F(AmplitudeTest, PeaksOfEachSign) {
  test::SignalRecording s(Velnarund, 1000, 10000);
  s.Set(3, [](int j) { return j >= 5000 ? 500 : j % 2 ? -700 : 300; });
  const auto positive = Amplitude(s, 3, 0, PositivePeak);
  const auto negative = Amplitude(s, 3, 0, NegativePeak);
  const auto& p = positive->Curves[0].Values->Values;
  const auto& n = negative->Curves[0].Values->Values;
  EXPECT_DOUBLE_EQ(p[10], 300 * V);
  EXPECT_DOUBLE_EQ(n[10], 700 * V);  // a magnitude
  EXPECT_DOUBLE_EQ(p[80], 500 * V);
  EXPECT_EQ(n[80], 0);  // no negative sample in the frame
}

// The last frame ends before the sweep's last sample (samples a..e-1 with
// e = N - 1): a peak at N - 2 counts, one at N - 1 does not.
TEST_F(AmplitudeTest, TheLastFrameReachesTheSampleBeforeTheSweepsLast) {
  for (auto [spike, counted] : {std::pair{9998, true}, std::pair{9999, false}}) {
    test::SignalRecording s(Velnarund, 1000, 10000);
    s.Set(3, [spike](int j) { return j == spike ? 700 : 0; });
    const auto w = Amplitude(s, 3, 0, PositivePeak);
    const auto& p = w->Curves[0].Values->Values;
    ASSERT_EQ(p.size(), 100u);
    EXPECT_DOUBLE_EQ(p[99], counted ? 700 * V : 0) << spike;
  }
}

TEST_F(AmplitudeTest, FundamentalTakesTheCorrectionFactorOnce) {
  std::vector<double> amplitude[2];
  const double calibration[2] = {1.0, 1.05};
  for (int k = 0; k < 2; ++k) {
    test::SignalRecording s(Velnarund, 1000, 4096);
    s.Set(3, test::Tone(8000, 256, 8192));
    s.rec.AmplitudeNorm = 100;
    s.settings.ChannelCalibration[3] = calibration[k];
    const auto w = Amplitude(s, 3, 0, Fundamental);
    amplitude[k] = w->Curves[0].Values->Values;
    const FrameAnalysis& t = *s.rec.FrameAnalyses[3];
    EXPECT_DOUBLE_EQ(amplitude[k][20], std::hypot(t.Array(1)[20], t.Array(2)[20]) * V / 100);
    EXPECT_TRUE(s.rec.FrameAnalyses[0]);  // the reference's table is made too
  }
  ASSERT_EQ(amplitude[0].size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_NEAR(amplitude[1][i] / amplitude[0][i], 1.05, 1e-12) << i;
}

TEST_F(AmplitudeTest, ZeroNormalisationGivesZerosAndLimitsFollowTheUnit) {
  test::SignalRecording s(Velnarund, 1000, 4096);
  s.Set(3, test::Tone(8000, 256, 8192));
  s.rec.AmplitudeNorm = 0;
  const auto w = Amplitude(s, 3, 0, Fundamental);
  for (double v : w->Curves[0].Values->Values) EXPECT_EQ(v, 0);

  struct Case {
    int mode, channel, code;
    double min, max;
  };
  const Case cases[] = {{Velnarund, 0, 0, 0, 10},    {Velnarund, 6, 1, 0, 44200},
                        {Velnarund, 4, 1, -12, 12},  {Velnarund, 5, 4, -220, 220},
                        {Similarity, 1, 1, -22, 22}, {Similarity, 1, 0, 0, 1.25},
                        {Ombrel16, 1, 0, 0, 22},     {Ombrel16, 1, 2, 0, 220}};
  for (const Case& c : cases) {
    test::SignalRecording r(c.mode, 1000, 1000);
    const auto a = Amplitude(r, c.channel, c.code, Rms);
    EXPECT_EQ(a->Curves[0].Min, c.min) << c.mode << ' ' << c.channel << ' ' << c.code;
    EXPECT_EQ(a->Curves[0].Max, c.max) << c.mode << ' ' << c.channel << ' ' << c.code;
  }
}

}  // namespace
}  // namespace kalvex

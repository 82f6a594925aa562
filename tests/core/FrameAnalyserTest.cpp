// The per-frame fundamental analysis: where the frames lie, how the
// fundamental is found, the harmonic levels, the reaction-mass/baseplate
// cross values and their flags, against transforms made the plain way.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/AmplitudeAnalysis.h"
#include "analysis/DistortionAnalysis.h"
#include "analysis/FftLibrary.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/FrequencyAnalysis.h"
#include "analysis/SpectralBasics.h"
#include "analysis/SpectrumAnalysis.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

using Bins = std::vector<std::complex<double>>;

constexpr int kPurpose = 2;  // as the amplitude graph asks

// Frame i as the analysis cuts it: 512 samples every 100, sample N-1 never
// included. Transformed with a plan made for this one frame.
Bins PlainFrame(const std::vector<double>& x, int i, int n) {
  const int a = std::max(0, 100 * i - 256);
  const int e = std::min(static_cast<int>(x.size()) - 1, 100 * i + 256);
  auto t = FftLibrary::FreshTransform(n);
  std::fill_n(t->Input(), n, 0.0);
  for (int j = a; j < e; ++j) t->Input()[j] = HammingWeight(j - a + 1, e - a - 1) * x[j];
  t->Execute();
  Bins bins(n / 2 + 1);
  for (int b = 0; b <= n / 2; ++b) bins[b] = {t->Re(b), t->Im(b)};
  return bins;
}

double Largest(const Bins& bins, int from, int to) {
  double m = 0;
  for (int b = std::max(from, 0); b <= to && b < static_cast<int>(bins.size()); ++b)
    m = std::max(m, std::abs(bins[b]));
  return m;
}

std::complex<double> At(const FrameAnalysis& t, int array, int frame) {
  return {t.Array(array)[frame], t.Array(array + 1)[frame]};
}

class FrameAnalyserTest : public ::testing::Test {
 protected:
  test::LinkedFftw fftw;
};

TEST_F(FrameAnalyserTest, FramesHoldTheirSamplesTaperedAndNoOthers) {
  struct Case {
    int sample, frame;
    double weight;  // 0: the frame does not hold the sample
  };
  const Case cases[] = {{0, 0, HammingWeight(1, 255)},
                        {255, 0, HammingWeight(256, 255)},
                        {256, 0, 0},
                        {4743, 50, 0},
                        {4744, 50, HammingWeight(1, 511)},
                        {5255, 50, HammingWeight(512, 511)},
                        {5256, 50, 0},
                        {9643, 99, 0},
                        {9644, 99, HammingWeight(1, 354)},
                        {9998, 99, HammingWeight(355, 354)},
                        {9999, 99, 0}};
  for (const Case& c : cases) {
    test::SignalRecording s(Velnarund, 1000, 10000);
    s.Set(3, test::Impulses({c.sample}, 10000));
    const AnalysisContext ctx = s.Context();
    ASSERT_EQ(FrameCount(ctx), 100);
    ASSERT_EQ(AnalyseFrames(ctx, 0, 3, 0, kPurpose, 100), 16384);
    const FrameAnalysis& t = *s.rec.FrameAnalyses[3];
    // An impulse has a flat spectrum: whatever bin is taken, its magnitude
    // is the impulse times its weight in the frame.
    EXPECT_NEAR(std::abs(At(t, 1, c.frame)), c.weight * 10000, 1e-7) << c.sample;
    // Every bin of an impulse at the input's start is equally strong: the
    // first of them counts.
    if (c.sample == 0) {
      EXPECT_EQ(t.Array(0)[0], 0);
    }
    if (c.sample == 4744) {
      int holding = 0;
      for (int i = 0; i < 100; ++i) holding += std::abs(At(t, 1, i)) > 0 ? 1 : 0;
      EXPECT_EQ(holding, 6);  // frames 45..50
    }
  }
}

TEST_F(FrameAnalyserTest, PeakWithinFactor316OfAFifthOrThirdIsTakenForItsHarmonic) {
  struct Case {
    double fundamental, harmonic;
    int order, expected;
  };
  // Fundamental at bin 256 (or 128 below a fifth harmonic) of 8192.
  const Case cases[] = {{3000, 6000, 3, 256},
                        {2500, 7500, 3, 256},
                        {2000, 6600, 3, 768},
                        {2500, 7500, 5, 128},
                        {2000, 6600, 5, 640}};
  for (const Case& c : cases) {
    const double bin = c.order == 3 ? 256 : 128;
    test::SignalRecording s(Velnarund, 1000, 4096);
    s.Set(2, test::Sum(test::Tone(c.fundamental, bin, 8192),
                       test::Tone(c.harmonic, bin * c.order, 8192)));
    ASSERT_EQ(AnalyseFrames(s.Context(), 0, 2, 0, kPurpose, 40), 8192);
    const FrameAnalysis& t = *s.rec.FrameAnalyses[2];
    for (int i = 0; i < 40; ++i)
      ASSERT_EQ(t.Array(0)[i], c.expected) << c.harmonic / c.fundamental << " frame " << i;
  }
}

TEST_F(FrameAnalyserTest, HarmonicLevelsInPercentAndSilenceGivesZero) {
  test::SignalRecording s(Velnarund, 1000, 4096);
  const auto tone = test::Sum(test::Tone(10000, 256, 8192), test::Tone(1000, 512, 8192));
  s.Set(3, [&](int j) { return j < 2000 ? tone(j) : 0.0; });
  ASSERT_EQ(AnalyseFrames(s.Context(), 0, 3, 0, kPurpose, 40), 8192);
  const FrameAnalysis& t = *s.rec.FrameAnalyses[3];
  EXPECT_NEAR(t.Array(3)[10], 10, 0.05);  // second harmonic at a tenth
  EXPECT_LT(t.Array(4)[10], 1);
  for (int i = 25; i < 40; ++i)
    for (int k = 0; k < FrameAnalysis::ArrayCount; ++k) EXPECT_EQ(t.Array(k)[i], 0) << i;
  for (double v : t.Values) EXPECT_TRUE(std::isfinite(v));
  EXPECT_TRUE(s.rec.AnalysisValid[3]);
}

TEST_F(FrameAnalyserTest, HarmonicBinsBeyondTheTransformReadZero) {
  // Reaction mass at bin 1500 of 8192 with a second harmonic at 30 %: 2J is
  // in the output, 3J (4500) lies beyond bin 4096.
  test::SignalRecording s(Velnarund, 1000, 4096);
  s.Set(4, test::Sum(test::Tone(8000, 1500, 8192), test::Tone(2400, 3000, 8192)));
  ASSERT_EQ(AnalyseFrames(s.Context(), 0, 4, 0, kPurpose, 40), 8192);
  const FrameAnalysis& t = *s.rec.FrameAnalyses[4];
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(t.Array(0)[i], 1500);
    EXPECT_NEAR(t.Array(3)[i], 30, 0.1) << i;
    EXPECT_NEAR(std::abs(At(t, 10, i)) / std::abs(At(t, 1, i)), 0.3, 1e-3) << i;
    for (int k : {4, 5, 6, 12, 13}) EXPECT_EQ(t.Array(k)[i], 0) << k;
  }
}

TEST_F(FrameAnalyserTest, SweepLongerThanTheTransformShiftsOnlyTheLateFrames) {
  const auto tone = test::Sum(test::Tone(8000, 1700, 32768), test::Tone(3000, 5100, 32768));
  test::SignalRecording whole(Velnarund, 1000, 40000), fits(Velnarund, 1000, 32768);
  whole.Set(3, tone);
  fits.Set(3, tone);
  ASSERT_EQ(AnalyseFrames(whole.Context(), 0, 3, 0, kPurpose, 400), 32768);
  ASSERT_EQ(AnalyseFrames(fits.Context(), 0, 3, 0, kPurpose, 327), 32768);
  const FrameAnalysis &a = *whole.rec.FrameAnalyses[3], &b = *fits.rec.FrameAnalyses[3];
  for (int i = 0; i <= 325; ++i)  // frame 325 ends at 32755
    for (int k = 0; k <= 6; ++k) ASSERT_EQ(a.Array(k)[i], b.Array(k)[i]) << i << ' ' << k;

  // Frame 399 (39644..39998) and frame 390 (38744..39255) end at the last
  // input: their impulses sit at 32767 and 32512.
  test::SignalRecording late(Velnarund, 1000, 40000);
  late.Set(3, test::Impulses({39000, 39998}, 10000));
  ASSERT_EQ(AnalyseFrames(late.Context(), 0, 3, 0, kPurpose, 400), 32768);
  const FrameAnalysis& t = *late.rec.FrameAnalyses[3];
  const struct {
    int frame, at;
    double weight;
  } placed[] = {{399, 32767, HammingWeight(355, 354)}, {390, 32512, HammingWeight(257, 511)}};
  for (const auto& p : placed) {
    const double f = t.Array(0)[p.frame];
    const auto expected =
        p.weight * 10000 * std::polar(1.0, -2 * std::numbers::pi * f * p.at / 32768);
    EXPECT_NEAR(t.Array(1)[p.frame], expected.real(), 1e-6) << p.frame;
    EXPECT_NEAR(t.Array(2)[p.frame], expected.imag(), 1e-6) << p.frame;
  }
}

TEST_F(FrameAnalyserTest, KeptPlansGiveThePlainTransformsValues) {
  test::SignalRecording s(Velnarund, 1000, 4000);
  s.Set(1, [](int j) {
    return 6000 * std::sin(0.2 * j + 1e-5 * j * j) + 900 * std::sin(0.61 * j) + (j * 7919 % 301);
  });
  ASSERT_EQ(AnalyseFrames(s.Context(), 0, 1, 0, kPurpose, 40), 4096);
  const FrameAnalysis& t = *s.rec.FrameAnalyses[1];
  const std::vector<double> x = s.Raw(1);
  for (int i : {0, 1, 17, 38, 39}) {
    const Bins bins = PlainFrame(x, i, 4096);
    const int f = static_cast<int>(t.Array(0)[i]);
    const double peak = Largest(bins, 0, 2048);
    EXPECT_NEAR(std::abs(bins[f]), peak, 1e-9 * peak) << i;
    EXPECT_NEAR(t.Array(1)[i], bins[f].real(), 1e-9 * peak) << i;
    EXPECT_NEAR(t.Array(2)[i], bins[f].imag(), 1e-9 * peak) << i;
    const int w = static_cast<int>(std::nearbyint(f * 0.25));
    const double level = Largest(bins, f - w, f + w);
    for (int h = 2; h <= 5; ++h)
      EXPECT_NEAR(t.Array(h + 1)[i], Largest(bins, h * f - w, h * f + w) / level * 100, 1e-9)
          << i << ' ' << h;
  }
}

// Each harmonic's level is the largest bin of its whole neighbourhood, its
// first and last bin included, whether or not the neighbourhood starts on
// one of the blocks the frame's largest bin is searched in: tones just
// outside each end make the ends the largest bins.
TEST_F(FrameAnalyserTest, HarmonicLevelsReachTheEndsOfTheirNeighbourhoods) {
  for (const int f : {256, 250}) {
    SCOPED_TRACE(f);
    const int w = static_cast<int>(std::nearbyint(f * 0.25));
    test::SignalRecording s(Velnarund, 1000, 4096);
    test::Signal x = test::Tone(10000, f, 8192);
    for (int h = 2; h <= 5; ++h)
      x = test::Sum(x, test::Tone(3000, h % 2 ? h * f + w + 6 : h * f - w - 6, 8192));
    s.Set(2, x);
    ASSERT_EQ(AnalyseFrames(s.Context(), 0, 2, 0, kPurpose, 40), 8192);
    const FrameAnalysis& t = *s.rec.FrameAnalyses[2];
    for (int i : {5, 20}) {
      ASSERT_EQ(t.Array(0)[i], f) << i;
      const Bins bins = PlainFrame(s.Raw(2), i, 8192);
      const double level = Largest(bins, f - w, f + w);
      for (int h = 2; h <= 5; ++h)
        EXPECT_NEAR(t.Array(h + 1)[i], Largest(bins, h * f - w, h * f + w) / level * 100, 1e-9)
            << i << ' ' << h;
    }
  }
}

TEST_F(FrameAnalyserTest, CrossValuesOfReactionMassAndBaseplate) {
  // Reaction mass mainly at bin 200, baseplate mainly at bin 300 of 8192.
  // Each channel's cross values wait for the other's table; its flag is set
  // only once they are filled.
  for (const int first : {5, 4}) {
    const int second = 9 - first;
    const std::array<int, 2> flag{first == 4 ? 0 : 1, first == 4 ? 1 : 0};
    test::SignalRecording s(Velnarund, 1000, 4096);
    s.Set(4, test::Sum(test::Tone(8000, 200, 8192), test::Tone(2000, 300, 8192, 30)));
    s.Set(5, test::Sum(test::Tone(8000, 300, 8192), test::Tone(2000, 200, 8192, 70)));
    const AnalysisContext ctx = s.Context();
    auto& rm = s.rec.FrameAnalyses[4];
    auto& bp = s.rec.FrameAnalyses[5];

    ASSERT_EQ(AnalyseFrames(ctx, 0, first, 0, kPurpose, 40), 8192);
    EXPECT_EQ(s.rec.FrameAnalyses[first]->Array(8)[7], 0) << first;
    EXPECT_EQ(s.rec.CacheState[0] + s.rec.CacheState[1], 0) << first;
    ASSERT_EQ(AnalyseFrames(ctx, 0, second, 0, kPurpose, 40), 8192);
    EXPECT_EQ(s.rec.CacheState[flag[0]], 0) << first;
    EXPECT_EQ(s.rec.CacheState[flag[1]], 1) << first;
    ASSERT_EQ(AnalyseFrames(ctx, 0, first, 0, kPurpose, 40), 8192);
    EXPECT_EQ(s.rec.CacheState[flag[0]], 1) << first;

    for (int i : {0, 20, 39}) {
      ASSERT_EQ(rm->Array(0)[i], 200);
      ASSERT_EQ(bp->Array(0)[i], 300);
      const Bins r = PlainFrame(s.Raw(4), i, 8192), b = PlainFrame(s.Raw(5), i, 8192);
      const double tolerance = 1e-9 * std::abs(r[200]);
      // Reaction mass: at the baseplate's fundamental, then its own 2J and 3J.
      EXPECT_NEAR(std::abs(At(*rm, 8, i) - r[300]), 0, tolerance) << i;
      EXPECT_NEAR(std::abs(At(*rm, 10, i) - r[400]), 0, tolerance) << i;
      EXPECT_NEAR(std::abs(At(*rm, 12, i) - r[600]), 0, tolerance) << i;
      // Baseplate: at the reaction mass's fundamental K, 2K and 3K.
      EXPECT_NEAR(std::abs(At(*bp, 8, i) - b[200]), 0, tolerance) << i;
      EXPECT_NEAR(std::abs(At(*bp, 10, i) - b[400]), 0, tolerance) << i;
      EXPECT_NEAR(std::abs(At(*bp, 12, i) - b[600]), 0, tolerance) << i;
    }
    EXPECT_GT(std::abs(At(*rm, 8, 20)), 0.2 * std::abs(At(*rm, 1, 20)));
    EXPECT_GT(std::abs(At(*bp, 8, 20)), 0.2 * std::abs(At(*bp, 1, 20)));
  }
}

TEST(FrameAnalyserWithoutLibraryTest, AnalysesLeaveEverythingAsItWas) {
  FftLibrary::Bind(nullptr);
  test::SignalRecording s(Velnarund, 1000, 4096);
  s.Set(3, test::Tone(5000, 256, 8192));
  const AnalysisContext ctx = s.Context();
  EXPECT_EQ(AnalyseFrames(ctx, 0, 3, 0, PhasePurpose, 40), 0);
  EXPECT_FALSE(s.rec.FrameAnalyses[3]);
  EXPECT_FALSE(s.rec.AnalysisValid[3]);
  EXPECT_FALSE(s.rec.CrossValid[3]);

  auto spectrum = test::MakeWindow(Spectrum, s.rec);
  spectrum->SpectrumChannels[3] = 0;
  spectrum->CurveCount = 1;
  spectrum->Curves[0].Allocate(3).Values = {7, 8, 9};
  spectrum->Curves[0].Name = "kept";
  ComputeSpectrum(ctx, *spectrum, false, false);
  EXPECT_EQ(spectrum->Curves[0].Values->Values, (std::vector<double>{7, 8, 9}));
  EXPECT_EQ(spectrum->Curves[0].Name, "kept");

  auto frequency = test::MakeWindow(FrequencyVsTime, s.rec);
  frequency->CurveCount = 1;
  frequency->Curves[0].Allocate(2).Values = {1, 2};
  ComputeFrequencyVsTime(ctx, *frequency, 0, false);
  EXPECT_EQ(frequency->Curves[0].Values->Values, (std::vector<double>{1, 2}));
  EXPECT_FALSE(s.rec.FrameAnalyses[0]);

  auto distortion = test::MakeWindow(Distortion, s.rec);
  distortion->DistortionChannel = 3;
  distortion->CurveCount = 1;
  distortion->Curves[0].Allocate(2).Values = {3, 4};
  ComputeDistortion(ctx, *distortion);
  EXPECT_EQ(distortion->Curves[0].Values->Values, (std::vector<double>{3, 4}));
  EXPECT_FALSE(distortion->DistortionMatrixView);
}

}  // namespace
}  // namespace kalvex

namespace kalvex {
namespace {

TEST_F(FrameAnalyserTest, TablesOfAnotherFrameCountAreMadeAnewAndNeverReadAcross) {
  test::SignalRecording s(Dodida, 1000, 4000);
  s.Set(1, test::Tone(10000, 40, 1024));
  s.Set(2, test::Tone(8000, 40, 1024, 30));
  AnalysisContext ctx = s.Context();
  ASSERT_GT(AnalyseFrames(ctx, 0, 2, 0, 0, 40), 0);  // BP with 40 frames
  ASSERT_GT(AnalyseFrames(ctx, 0, 1, 0, 0, 40), 0);  // RM reads BP's bins
  EXPECT_EQ(s.rec.CacheState[0], 1);
  // The step changed without a clear: RM is made anew for 20 frames and the
  // 40-frame BP table is not read for its cross values.
  ASSERT_GT(AnalyseFrames(ctx, 0, 1, 0, 0, 20), 0);
  EXPECT_EQ(s.rec.FrameAnalyses[1]->FrameCount, 20);
  EXPECT_EQ(s.rec.CacheState[0], 0);
  EXPECT_EQ(s.rec.FrameAnalyses[1]->Array(8)[19], 0.0);
}

}  // namespace
}  // namespace kalvex

namespace kalvex {
namespace {

TEST_F(FrameAnalyserTest, AnalysesNeverReadAStaleTableAfterTheStepChanged) {
  test::SignalRecording s(Velnarund, 1000, 4000);
  s.Set(0, test::Tone(10000, 40, 4096));
  s.Set(4, test::Tone(8000, 40, 4096));
  auto w = test::MakeWindow(Amplitude, s.rec);
  w->AmplitudeChannels = {-1, -1, -1, -1, 1, -1, -1};
  w->CurveCount = 1;
  ComputeAmplitude(s.Context(), *w, 0, false);
  ASSERT_EQ(w->Curves[0].Values->Count, 40);
  s.settings.AmplitudeStep = 50;  // no clear of the analyses in between
  ComputeAmplitude(s.Context(), *w, 0, false);
  ASSERT_EQ(w->Curves[0].Values->Count, 80);
  EXPECT_EQ(s.rec.FrameAnalyses[4]->FrameCount, 80);
  EXPECT_GT(w->Curves[0].Values->Values[70], 0.0);  // a frame the old table never had
}

}  // namespace
}  // namespace kalvex

// The frame transform length, the Hamming taper, the decibel step and the
// channel values the transforms are fed.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ChannelSignal.h"
#include "analysis/SpectralBasics.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

TEST(SpectralBasicsTest, FrameLengthByChoice) {
  using enum FundamentalInputSize;
  EXPECT_EQ(FrameFftLength(1000, NearestPowerOfTwo), 1024);
  // Halving stops as soon as 2N is not smaller: a power of two gets twice itself.
  EXPECT_EQ(FrameFftLength(1024, NearestPowerOfTwo), 2048);
  EXPECT_EQ(FrameFftLength(16384, NearestPowerOfTwo), 32768);
  EXPECT_EQ(FrameFftLength(100, NearestPowerOfTwo), 128);
  EXPECT_EQ(FrameFftLength(40000, NearestPowerOfTwo), 32768);
  EXPECT_EQ(FrameFftLength(1000, WholeSignal), 1000);
  EXPECT_EQ(FrameFftLength(40000, WholeSignal), 40000);
  EXPECT_EQ(FrameFftLength(1000, Fixed32768), 32768);
  EXPECT_EQ(FrameFftLength(40000, Fixed32768), 32768);
}

TEST(SpectralBasicsTest, HammingWeightIsSymmetricFromEightHundredthsToOne) {
  EXPECT_DOUBLE_EQ(HammingWeight(0, 510), 0.08);
  EXPECT_DOUBLE_EQ(HammingWeight(255, 510), 1.0);
  EXPECT_DOUBLE_EQ(HammingWeight(510, 510), 0.08);
  EXPECT_DOUBLE_EQ(HammingWeight(100, 400), 0.54);
  EXPECT_DOUBLE_EQ(HammingWeight(37, 511), HammingWeight(511 - 37, 511));
  EXPECT_EQ(HammingWeight(0, 0), 1.0);  // a frame of one sample
}

TEST(SpectralBasicsTest, DbStepAgainstTheMaximumAndItsFills) {
  ValueArray block;
  block.Values = {0, 10, 0.1, 0, 100};
  ApplyDbStep(block, 5, 100, DbFill::ArrayMinimum, -40);
  // Values below the floor stay; exact zeros never reach the logarithm.
  const std::vector<double> spectrum{-60, -20, -60, -60, 0};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(block.Values[i], spectrum[i], 1e-12) << i;
  EXPECT_NEAR(block.Min, -60, 1e-12);

  block.Values = {0, 10, 0.1, 0, 100};
  ApplyDbStep(block, 5, 100, DbFill::MinSpectrum, -40);
  const std::vector<double> matrix{-40, -20, -60, -40, 0};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(block.Values[i], matrix[i], 1e-12) << i;
  EXPECT_EQ(block.Min, -40);
}

TEST(ChannelSignalTest, CorrectedSamplesAndTheMaskedAverage) {
  test::SignalRecording s(Similarity, 1000, 4);
  s.rec.SimilarityChannels[1].Attenuated = true;
  s.Set(1, [](int) { return 800; });
  s.Set(2, [](int) { return 100; });
  s.Set(3, [](int) { return 5000; });
  s.settings.ChannelCalibration = {1.0, 1.5, 1.0, 2.0, 1.0, 1.0};
  const AnalysisContext ctx = s.Context();
  const int average = ComputedChannel(Similarity);
  // (800 · 1.5 / 8 + 100) / 2: each term corrected and divided by its attenuation.
  EXPECT_EQ(ChannelSignal(ctx, average, 2 | 4, 4), std::vector<double>(4, 125.0));
  EXPECT_EQ(ChannelSignal(ctx, average, 0, 4), std::vector<double>(4, 0.0));
  // An ordinary channel is corrected but not divided by its attenuation.
  EXPECT_EQ(ChannelSignal(ctx, 1, 0, 4), std::vector<double>(4, 1200.0));
  EXPECT_EQ(ChannelSignal(ctx, 3, 0, 6), (std::vector<double>{1e4, 1e4, 1e4, 1e4, 0, 0}));

  test::SignalRecording d(Dodida, 1000, 2);
  d.Set(0, [](int) { return 10; });
  d.settings.ChannelCalibration = {1, 1, 3, 1, 1, 1};
  EXPECT_EQ(ChannelSignal(d.Context(), 0, 0, 2), std::vector<double>(2, 30.0));
}

}  // namespace
}  // namespace kalvex

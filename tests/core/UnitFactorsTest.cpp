// Raw counts to physical units by mode, channel and unit code, and the range
// roundings behind the default vertical limits.

#include <gtest/gtest.h>

#include "analysis/UnitFactors.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr double V = 10.0 / 32768;         // volts per count
constexpr double A = 10000.0 / 32768 / 8;  // g per count times mV/g
constexpr std::array<double, 6> kCalibration{1.1, 1.2, 1.3, 1.4, 1.5, 1.6};

TEST(UnitFactorsTest, AccelerometerAndGroundForceInMode0) {
  test::SignalRecording s(Velnarund, 1000, 8);
  const AnalysisContext ctx = s.Context();
  // Reaction mass in g at 100 mV/g.
  EXPECT_NEAR(UnitFactor(ctx, Velnarund, 4, 1), 0.000381, 5e-7);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 4, 1), 10000.0 / 32768 / 8 / 100);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 4, 0), V / 8);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 4, 2), A / 100 * 4000 / 1000);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 4, 3), A / 100 * 4000 / 0.4536);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 4, 4), A / 100 * 4000 / 1000 * 9.8);
  // Ground force in kgf: 10000 kgf is 10 T and 98 kN.
  EXPECT_NEAR(10000 * UnitFactor(ctx, Velnarund, 6, 0), 10, 1e-12);
  EXPECT_NEAR(10000 * UnitFactor(ctx, Velnarund, 6, 2), 98, 1e-12);
  EXPECT_EQ(UnitFactor(ctx, Velnarund, 6, 3), 1);
  EXPECT_EQ(UnitFactor(ctx, Velnarund, 3, -1), 1);  // not selected
  EXPECT_EQ(UnitFactor(ctx, NoSignal, 0, 0), 1);
}

TEST(UnitFactorsTest, CorrectionFactorsByMode) {
  test::SignalRecording s(Dodida, 1000, 8);
  s.settings.ChannelCalibration = kCalibration;
  s.rec.BaseplateAccSensitivity = 50;
  const AnalysisContext ctx = s.Context();
  // Mode 3 reads entries 2, 3 and 4 for its reference, mass and baseplate.
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Dodida, 0, 0), 1.3 * V);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Dodida, 1, 1), 1.4 * A / 100);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Dodida, 2, 1), 1.5 * A / 50);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Dodida, 3, 2), 0.0098);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Dodida, 1, 1, Correction::Excluded), A / 100);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Velnarund, 5, 1), 1.6 * A / 50);

  // Mode 4: the vibration channel's forces from the hold-down weight.
  const double b = 1.2 * 2 * 20000 / 32768.0;
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 0, 2), 1.1 * V);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 1, 0), b / 1000);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 1, 1), b / 0.4536);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 1, 2), b * 9.8 / 1000);
  for (int code : {3, 4, 9}) EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 1, code), 1.2 * V);
}

TEST(UnitFactorsTest, SimilarityChannelsCountAttenuationAndTestOut) {
  test::SignalRecording s(Similarity, 1000, 8);
  s.settings.ChannelCalibration = kCalibration;
  s.rec.SimilarityChannels[1].Attenuated = true;
  s.rec.TestOut = 2;
  const AnalysisContext ctx = s.Context();
  const double a = 1.2 * 0.125;
  const double force = a * 2 * 20000 / 32768 / 2;
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 0), a * V);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 1), force / 1000);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 3), force * 9.8 / 1000);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 4), a);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 7), a);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 2, 0), 1.3 * V);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 6, 0), V);  // the average: no factor
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 1, 0, Correction::Excluded), 0.125 * V);
}

TEST(UnitFactorsTest, RangeRoundingsTieToEven) {
  EXPECT_EQ(EvenAbove(20), 22);
  EXPECT_EQ(EvenAbove(21), 22);
  EXPECT_EQ(EvenAbove(20.5), 22);  // rounds to 20
  EXPECT_EQ(EvenAbove(21.5), 24);  // rounds to 22
  EXPECT_EQ(EvenAbove(9.7), 12);
  EXPECT_EQ(Hundreds(20000), 44200);  // 440.53 → 441
  EXPECT_EQ(Twenties(20000), 220);    // 10.20 → 10
  EXPECT_EQ(Twenties(98 * 20 * 10.5), 220);
  EXPECT_EQ(Twenties(98 * 20 * 11.5), 260);
}

}  // namespace
}  // namespace kalvex

namespace kalvex {
namespace {

TEST(UnitFactorsTest, CodesAboveFourHaveNoUnitExceptInModes2And4) {
  test::SignalRecording s(Velnarund, 1000, 8);
  s.settings.ChannelCalibration = kCalibration;
  const AnalysisContext ctx = s.Context();
  EXPECT_EQ(UnitFactor(ctx, Velnarund, 0, 5), 1);
  EXPECT_EQ(UnitFactor(ctx, Tarpokline, 2, 7), 1);
  EXPECT_EQ(UnitFactor(ctx, Dodida, 0, 5), 1);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Ombrel16, 1, 5), 1.2 * V);
  EXPECT_DOUBLE_EQ(UnitFactor(ctx, Similarity, 2, 5), 1.3);
}

}  // namespace
}  // namespace kalvex

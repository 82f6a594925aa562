// The derived channel (ground force, similarity average) and the amplitude
// normalisation, against worked numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

void Fill(TFrmFile& rec, int slot, std::int16_t value) {
  rec.Channels[slot] = std::make_unique<SampleArray>();
  rec.Channels[slot]->Samples.assign(10, value);
}

// 10 samples of which 8 are the sweep; RM and BP at full scale, weights
// 1000 kg, accelerometers 100 mV/g.
void PrepareGroundForce(TFrmFile& rec, int mode) {
  rec.Mode = static_cast<std::uint8_t>(mode);
  rec.RecordLength = 10;
  rec.SweepLength = 8;
  rec.ReactionMassWeight = rec.BaseplateWeight = 1000;
  rec.MassAccSensitivity = rec.BaseplateAccSensitivity = 100;
  for (int slot = 0; slot < ChannelCount(mode); ++slot) Fill(rec, slot, 0);
  Fill(rec, RmChannelIndex(mode), 32767);
  Fill(rec, BpChannelIndex(mode), 32767);
}

TEST(DerivedValuesTest, GroundForceOfFullScaleChannels) {
  // 2 · 32767 counts · 1250/32768 mV · 1000 kg / 100 mV/g.
  const double force = 2 * 32767 * 1250.0 / 32768 * 10;
  for (int mode : {Velnarund, Tarpokline, Dodida}) {
    TFrmFile rec;
    PrepareGroundForce(rec, mode);
    ComputeDerivedChannel(rec, ProgramSettings{});
    ASSERT_TRUE(rec.DerivedChannel);
    const ValueArray& gf = *rec.DerivedChannel;
    EXPECT_NEAR(gf.Values[7], 24999.2, 0.05) << mode;
    EXPECT_DOUBLE_EQ(gf.Values[0], force);
    EXPECT_EQ(gf.Values[8], 0);  // beyond the sweep
    EXPECT_EQ(gf.Count, 8);
    EXPECT_DOUBLE_EQ(gf.Min, force);
    EXPECT_DOUBLE_EQ(gf.Max, force);
  }
}

TEST(DerivedValuesTest, GroundForceUsesCalibrationEntries3And4InEveryMode) {
  for (int mode : {Velnarund, Dodida}) {
    TFrmFile rec;
    PrepareGroundForce(rec, mode);
    rec.Channels[BpChannelIndex(mode)]->Samples.assign(10, -16384);
    rec.BaseplateWeight = 800;
    rec.BaseplateAccSensitivity = 200;
    ProgramSettings settings;
    settings.ChannelCalibration = {0.5, 0.5, 0.5, 1.1, 0.9, 0.5};
    ComputeDerivedChannel(rec, settings);
    const double rm = 32767 * 1250.0 / 32768 * 1.1 * 1000 / 100;
    const double bp = -16384 * 1250.0 / 32768 * 0.9 * 800 / 200;
    EXPECT_NEAR(rec.DerivedChannel->Values[3], rm + bp, 1e-9) << mode;
  }
}

TEST(DerivedValuesTest, UnusableSensitivityGivesZerosNeverInfinities) {
  for (double sensitivity : {0.0, -100.0, NoValue}) {
    TFrmFile rec;
    PrepareGroundForce(rec, Velnarund);
    rec.MassAccSensitivity = sensitivity;
    ComputeDerivedChannel(rec, ProgramSettings{});
    ASSERT_TRUE(rec.DerivedChannel);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rec.DerivedChannel->Values[i], 0) << sensitivity;
    EXPECT_EQ(rec.DerivedChannel->Max, 0);
  }
}

TEST(DerivedValuesTest, ModesWithoutGroundForceComputeNothing) {
  for (int mode : {Similarity, Ombrel16, NoSignal}) {
    TFrmFile rec;
    PrepareGroundForce(rec, Velnarund);
    rec.Mode = static_cast<std::uint8_t>(mode);
    ComputeDerivedChannel(rec, ProgramSettings{});
    EXPECT_FALSE(rec.DerivedChannel) << mode;
  }
}

TEST(DerivedValuesTest, AverageTraceDividesX8ChannelsByEight) {
  TFrmFile rec;
  rec.Mode = Similarity;
  rec.RecordLength = 10;
  rec.SweepLength = 4;
  for (int j = 0; j <= 5; ++j) Fill(rec, j, static_cast<std::int16_t>(800 * j));
  rec.Channels[3]->Samples[1] = -2400;
  rec.SimilarityChannels[2].Attenuated = true;

  ComputeAverageTrace(rec, 0);
  ComputeAverageTrace(rec, 1);  // bit 0 (the reference) is no choice
  EXPECT_FALSE(rec.DerivedChannel);

  ComputeAverageTrace(rec, 2 | 4 | 8);  // (800 + 1600/8 + 2400) / 3
  ASSERT_TRUE(rec.DerivedChannel);
  const ValueArray& avg = *rec.DerivedChannel;
  EXPECT_DOUBLE_EQ(avg.Values[0], 3400 / 3.0);
  EXPECT_DOUBLE_EQ(avg.Values[1], -1400 / 3.0);
  EXPECT_EQ(avg.Values[4], 0);
  EXPECT_EQ(std::tuple(avg.Min, avg.Max, avg.Count), std::tuple(-1400 / 3.0, 3400 / 3.0, 4));

  rec.Mode = Velnarund;
  ComputeAverageTrace(rec, 32);
  EXPECT_DOUBLE_EQ(avg.Values[0], 3400 / 3.0);  // mode 2 only
}

double Norm(int sampleRateIndex, int seconds, double previous = -1) {
  TFrmFile rec;
  rec.AmplitudeNorm = previous;
  rec.SweepSeconds = static_cast<std::uint16_t>(seconds);
  ComputeAmplitudeNorm(rec, sampleRateIndex);
  return rec.AmplitudeNorm;
}

TEST(DerivedValuesTest, AmplitudeNormWorkedNumbers) {
  EXPECT_DOUBLE_EQ(Norm(0, 64), 107.5);     // d = 0
  EXPECT_DOUBLE_EQ(Norm(1, 8), 102.675);    // d = 1: 107.5 - (5.275 - 0.45)
  EXPECT_DOUBLE_EQ(Norm(1, 17), 107.5);     // beyond 16 s: no formula
  EXPECT_DOUBLE_EQ(Norm(2, 2), 102.675);    // d = 1
  EXPECT_DOUBLE_EQ(Norm(2, 5), 107.5);      // beyond 4 s
  EXPECT_DOUBLE_EQ(Norm(3, 1), 107.5);      // 4000 Hz and up: always flat
  EXPECT_DOUBLE_EQ(Norm(0, 1), 14.8);       // d = 6: 107.5 - 36 · 2.575
  EXPECT_DOUBLE_EQ(Norm(0, 128), 101.775);  // d = -1: 107.5 - 5.725
  const double d = 6 - std::log2(20.0);     // not a whole number
  EXPECT_NEAR(Norm(0, 20), 107.5 - d * d * (5.275 - 0.45 * d), 1e-12);
  EXPECT_EQ(Norm(0, 0, 99.25), 99.25);  // a 0 s sweep keeps the previous value
}

}  // namespace
}  // namespace kalvex

// QC figures against signals with a known answer: a tone with a known phase
// offset and harmonic level, a steady level, the side lobes of a tone and of
// a sweep; what counts as a frame of the sweep; figures not available for a
// silent channel or a missing sweep; one set per similarity channel.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "qc/QcFigures.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

using Id = QcFigureId;

// 4096 samples at 1000/s; frame transforms of 4096 points.
constexpr int kLength = 4096;

test::Signal Offset(double degrees, double harmonicPercent = 0) {
  return test::Sum(test::Tone(8000, 128, kLength, degrees),
                   test::Tone(80 * harmonicPercent, 256, kLength, 2 * degrees));
}

// A linear sweep 10..100 Hz over the record.
double Sweep(int j) {
  const double t = j / 1000.0, seconds = kLength / 1000.0;
  return 8000 * std::sin(2 * std::numbers::pi * (10 * t + 45 * t * t / seconds));
}

class QcFiguresTest : public ::testing::Test {
 protected:
  // Polarity "Negative": the phase is judged as held (see the polarity test).
  QcFiguresTest() : s(Velnarund, 1000, kLength) {
    s.Set(0, Offset(0));
    s.rec.PolarityPositive = false;
  }
  QcFigures Figures() { return ComputeQcFigures(s.Context()); }
  test::LinkedFftw fftw;
  test::SignalRecording s;
};

TEST_F(QcFiguresTest, ToneWithKnownPhaseHarmonicAndSteadyLevel) {
  s.Set(3, Offset(7, 10));
  const QcFigures f = Figures();
  // Whole frames 3..38 of 40, all at the reference's full level.
  EXPECT_EQ(f.sweepFrames, 36);
  ASSERT_EQ(f.channels.size(), 1u);
  const QcChannelFigures& c = f.channels[0];
  EXPECT_EQ(c.channel, 3);
  EXPECT_EQ(c.name, "Mass");
  EXPECT_NEAR(c.Value(Id::PhasePeak), 7, 0.05);
  EXPECT_NEAR(c.Value(Id::PhaseRms), 7, 0.05);
  EXPECT_NEAR(c.Value(Id::DistortionPeak), 10, 0.1);
  EXPECT_NEAR(c.Value(Id::DistortionAvg), 10, 0.1);
  EXPECT_NEAR(c.Value(Id::LevelMin), 100, 0.1);
  EXPECT_NEAR(c.Value(Id::LevelAvg), 100, 0.1);
  // A tone correlates with itself a period later almost fully.
  EXPECT_GT(c.Value(Id::SideLobe), -1);
  for (bool a : c.available) EXPECT_TRUE(a);
}

TEST_F(QcFiguresTest, PhaseBeyondHalfATurnIsTheShorterWayRound) {
  s.Set(3, Offset(200));
  EXPECT_NEAR(Figures().channels[0].Value(Id::PhasePeak), 160, 0.05);
}

// The phase is judged as the report draws the recording: a "Positive" one
// (other than Similarity) with channels 1.. turned back, half a turn from the
// graph windows; the recording itself is left as it was.
TEST_F(QcFiguresTest, APositiveRecordingIsJudgedAsTheReportDrawsIt) {
  s.Set(3, Offset(7));
  const std::vector<std::int16_t> held = s.rec.Channels[3]->Samples;
  for (bool positive : {true, false}) {
    s.rec.PolarityPositive = positive;
    s.rec.ClearAnalyses();
    EXPECT_NEAR(Figures().channels[0].Value(Id::PhasePeak), positive ? 173 : 7, 0.05);
    EXPECT_EQ(s.rec.Channels[3]->Samples, held);
    EXPECT_EQ(s.rec.PolarityPositive, positive);
  }
}

TEST_F(QcFiguresTest, SweepSideLobesLieFarBelowThePeak) {
  s.Set(0, Sweep);
  s.Set(3, Sweep);
  const QcChannelFigures c = Figures().channels[0];
  EXPECT_LT(c.Value(Id::SideLobe), -20);
  EXPECT_NEAR(c.Value(Id::PhasePeak), 0, 0.05);
}

// The guard is counted from the correlation's peak, wherever a delay puts
// it: 150 ms late (beyond the guard), the side lobes still lie far below.
TEST_F(QcFiguresTest, SideLobesCountFromTheDelayedPeak) {
  s.Set(0, Sweep);
  s.Set(3, [](int j) { return j < 150 ? 0.0 : Sweep(j - 150); });
  EXPECT_LT(Figures().channels[0].Value(Id::SideLobe), -20);
}

TEST_F(QcFiguresTest, SilentChannelOrSilentReferenceHasNoFigures) {
  QcFigures silentMain = Figures();  // channel 3 was never given samples
  ASSERT_EQ(silentMain.channels.size(), 1u);
  for (bool a : silentMain.channels[0].available) EXPECT_FALSE(a);

  s.Set(0, [](int) { return 0.0; });
  s.Set(3, Offset(7));
  s.rec.ClearAnalyses();
  const QcFigures noSweep = Figures();
  EXPECT_EQ(noSweep.sweepFrames, 0);
  for (bool a : noSweep.channels[0].available) EXPECT_FALSE(a);
}

TEST_F(QcFiguresTest, LevelDipCountsAgainstTheMedian) {
  // Samples 700..1699 at half the level: frames 10..14 lie wholly inside.
  s.Set(3, [](int j) {
    return (j >= 700 && j < 1700 ? 0.5 : 1.0) * test::Tone(8000, 128, kLength)(j);
  });
  const QcChannelFigures c = Figures().channels[0];
  EXPECT_NEAR(c.Value(Id::LevelMin), 50, 1);
  EXPECT_LT(c.Value(Id::LevelAvg), 100);
}

TEST(QcFiguresModeTest, EachSimilarityChannelAgainstRef) {
  test::LinkedFftw fftw;
  test::SignalRecording s(Similarity, 1000, kLength);
  s.Set(0, Offset(0));
  s.Set(1, Offset(3));
  s.Set(2, Offset(-12));
  s.rec.SimilarityChannels[1].Present = s.rec.SimilarityChannels[2].Present = true;
  const QcFigures f = ComputeQcFigures(s.Context());
  ASSERT_EQ(f.channels.size(), 2u);
  EXPECT_EQ(f.channels[0].name, "CH1");
  EXPECT_NEAR(f.channels[0].Value(Id::PhasePeak), 3, 0.05);
  EXPECT_EQ(f.channels[1].name, "CH2");
  EXPECT_NEAR(f.channels[1].Value(Id::PhasePeak), 12, 0.05);
}

TEST(QcFigurePiecesTest, SweepFramesMedianWrapAndSideLobe) {
  // 10000 samples, frames of 512 every 100: whole frames 3..97.
  std::vector<double> level(100, 1.0);
  level[50] = 0.09;
  level[51] = 0.1;
  const std::vector<int> frames = qc::SweepFrames(level, 10000, 512, 100);
  EXPECT_EQ(frames.front(), 3);
  EXPECT_EQ(frames.back(), 97);
  EXPECT_EQ(frames.size(), 94u);  // 95 whole frames less frame 50
  // Frame 97 spans 9444..9956: whole when that is the sweep's last sample.
  EXPECT_EQ(qc::SweepFrames(level, 9957, 512, 100).back(), 97);
  EXPECT_EQ(qc::SweepFrames(level, 9956, 512, 100).back(), 96);
  EXPECT_TRUE(qc::SweepFrames(std::vector<double>(100, 0.0), 10000, 512, 100).empty());

  EXPECT_EQ(qc::Median({3, 1, 2}), 2);
  EXPECT_EQ(qc::Median({4, 1, 3, 2}), 2.5);
  EXPECT_EQ(qc::WrappedPhase(190), -170);
  EXPECT_EQ(qc::WrappedPhase(-350), 10);
  EXPECT_EQ(qc::WrappedPhase(-90), -90);

  const std::vector<double> db{-50, -40, -3, 0, -3, -60, -45};
  double level2 = 0;
  ASSERT_TRUE(qc::SideLobe(db, 2, level2));
  EXPECT_EQ(level2, -40);  // -3 dB on either side lies within the guard
  EXPECT_FALSE(qc::SideLobe(db, 4, level2));
}

}  // namespace
}  // namespace kalvex

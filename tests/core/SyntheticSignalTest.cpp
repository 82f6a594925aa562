// The synthetic test record: every channel of every mode against the table of
// the signals (computed here independently), the polarity rule, the envelopes
// and phases seen in short sections of the stored samples, the naming, and the
// refusals that leave the recording as it was.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "acquisition/SyntheticSignal.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

constexpr double kPi = std::numbers::pi;

// One response channel's row of the table: A1 = a1 · (a1Start + a1Slope · x),
// δ = drift · x degrees, x = i / N.
struct Row {
  double a1, a1Start, a1Slope, drift, a2, a3, a4, a5, p2, p3, p4, p5;
};

Row RowOf(int mode, int channel) {
  if (mode == Dodida)
    return channel == 1 ? Row{6554, 1, -0.5, 90, 1310, 983, 655, 820, 20, 30, -20, -30}
                        : Row{3276, 0.2, 0.8, -180, 655, 983, 328, 492, 110, 120, -110, -120};
  if (mode == Ombrel16) return {16384, 1, 0, 5, 3276, 4915, 1638, 2458, 20, 30, -20, -30};
  const double drifts[] = {0, 10, 5, 0, -5, -10};
  return {1638, 1, 0, drifts[channel], 328, 492, 164, 262, 20, 30, -20, -30};
}

double Rad(double degrees) {
  return degrees * kPi / 180;
}

// The table's value before rounding.
double Reference(int mode, int channel, int i, int n, int fs, int s) {
  const double f = 10 + 50.0 * i / n;
  auto phi = [&](int h) { return f * 2 * kPi * h * i / fs; };
  double w = 1;
  if (i < fs / 2.0)
    w = 0.5 - 0.5 * std::cos(2 * kPi * i / fs);
  else if (i > n - fs / 2.0)
    w = 0.5 - 0.5 * std::cos(2 * kPi * (n - i) / fs);
  if (channel == 0)
    return (mode == Dodida || mode == Ombrel16 ? 31948 : 6710) * w * std::sin(phi(1));
  const Row r = RowOf(mode, channel);
  const double x = static_cast<double>(i) / n;
  const bool half = i < n / 2;  // integer division
  const bool third = i < n / 3.0;
  const double h = r.a1 * (r.a1Start + r.a1Slope * x) * std::sin(phi(1) + Rad(r.drift * x)) +
                   (half ? r.a2 * (1 - 2.0 * i / n) * std::sin(phi(2) + Rad(r.p2)) : 0) +
                   r.a3 * (1 - x) * std::sin(phi(3) + Rad(r.p3)) +
                   (half ? r.a4 * (1 - 2.0 * i / n) * std::sin(phi(4) + Rad(r.p4)) : 0) +
                   (third ? r.a5 * (1 - 3.0 * i / n) * std::sin(phi(5) + Rad(r.p5)) : 0);
  return s * w * h;
}

// Parameters that pass every check of every mode.
void MakeValid(TFrmFile& rec, int mode, int seconds) {
  rec.Mode = static_cast<std::uint8_t>(mode);
  rec.HoldDownWeight = 5000;
  rec.BaseplateWeight = rec.ReactionMassWeight = 900;
  rec.BaseplateAccSensitivity = rec.MassAccSensitivity = 98.5;
  rec.ServoCurrentFactor = 2.5;
  rec.TriggerLevel = 0.5;
  rec.SourceVoltageFactor = rec.SourceCurrentFactor = rec.SourceSensorFactor = 10;
  rec.TestOut = 1.5;
  rec.SweepSeconds = static_cast<std::uint16_t>(seconds);
}

class SyntheticSignalTest : public ::testing::Test {
 protected:
  bool Generate(int mode, int k, int seconds, bool positive = true) {
    rec.CreateRecording();
    MakeValid(rec, mode, seconds);
    rec.PolarityPositive = positive;
    values.SampleRateIndex = k;
    return GenerateSyntheticRecord(rec, values, settings, now, ui);
  }

  const std::vector<std::int16_t>& Samples(int channel) const {
    return rec.Channels[channel]->Samples;
  }

  TFrmFile rec;
  ProcessValues values;
  ProgramSettings settings;
  LocalDateTime now{2026, 3, 14, 10, 7, 3};
  test::FakeUserInteraction ui;
};

TEST_F(SyntheticSignalTest, EveryChannelOfEveryModeFollowsTheTable) {
  // 2000 samples (halves and thirds fall between samples), and 3000 (a third
  // falls on a sample). Both polarities: the sign reaches every channel but 0.
  for (auto [k, seconds] : {std::pair{0, 4}, std::pair{1, 3}}) {
    for (int mode = 0; mode < 5; ++mode) {
      for (int s : {1, -1}) {
        SCOPED_TRACE(::testing::Message() << "k " << k << " mode " << mode << " sign " << s);
        ASSERT_TRUE(Generate(mode, k, seconds, s > 0));
        const int fs = 500 << k, n = fs * seconds;
        ASSERT_EQ(rec.SampleRate, fs);
        ASSERT_EQ(rec.SweepLength, n);
        ASSERT_EQ(rec.RecordLength, n + 500);
        const int channels = mode == Dodida ? 3 : mode == Ombrel16 ? 2 : 6;
        EXPECT_FALSE(rec.Channels[channels]);
        for (int c = 0; c < channels; ++c) {
          const auto& samples = Samples(c);
          ASSERT_EQ(samples.size(), static_cast<std::size_t>(n + 500));
          int mismatches = 0;
          for (int i = 0; i < n; ++i) {
            const double exact = SyntheticSample(mode, c, i, n, fs, s);
            const double expected = Reference(mode, c, i, n, fs, s);
            if (std::fabs(exact - expected) > 1e-6 || samples[i] != std::nearbyint(exact))
              ++mismatches;
          }
          EXPECT_EQ(mismatches, 0) << "channel " << c;
          EXPECT_EQ(samples[0], 0) << "channel " << c;  // the ramp starts at 0
          for (int i = n; i < n + 500; ++i) ASSERT_EQ(samples[i], 0) << "channel " << c;
          EXPECT_EQ(rec.Channels[c]->Count, n);
        }
      }
    }
  }
}

// Amplitude and phase of harmonics 1..5 in the samples [from, from + m):
// a least-squares fit of sin and cos of each harmonic's phase.
struct Section {
  std::array<double, 6> amplitude{};
  double phase1 = 0;  // degrees, relative to sin φ1
};

Section Analyse(const std::vector<std::int16_t>& x, int from, int m, int n, int fs) {
  constexpr int kTerms = 10;
  std::array<std::array<double, kTerms + 1>, kTerms> a{};
  for (int i = from; i < from + m; ++i) {
    const double f = 10 + 50.0 * i / n;
    std::array<double, kTerms> basis;
    for (int h = 1; h <= 5; ++h) {
      const double phi = f * 2 * kPi * h * i / fs;
      basis[2 * h - 2] = std::sin(phi);
      basis[2 * h - 1] = std::cos(phi);
    }
    for (int r = 0; r < kTerms; ++r) {
      for (int c = 0; c < kTerms; ++c) a[r][c] += basis[r] * basis[c];
      a[r][kTerms] += basis[r] * x[i];
    }
  }
  for (int p = 0; p < kTerms; ++p) {  // Gauss-Jordan; the system is well conditioned
    for (int r = 0; r < kTerms; ++r) {
      if (r == p) continue;
      const double q = a[r][p] / a[p][p];
      for (int c = p; c <= kTerms; ++c) a[r][c] -= q * a[p][c];
    }
  }
  Section s;
  for (int h = 1; h <= 5; ++h) {
    const double sinPart = a[2 * h - 2][kTerms] / a[2 * h - 2][2 * h - 2];
    const double cosPart = a[2 * h - 1][kTerms] / a[2 * h - 1][2 * h - 1];
    s.amplitude[h] = std::hypot(sinPart, cosPart);
    if (h == 1) s.phase1 = std::atan2(cosPart, sinPart) * 180 / kPi;
  }
  return s;
}

TEST_F(SyntheticSignalTest, SectionsShowTheHarmonicEnvelopes) {
  ASSERT_TRUE(Generate(Ombrel16, 4, 4));  // 32 000 samples at 8000 per second
  const int n = 32000, fs = 8000, m = 800;
  auto at = [&](double x) {
    return Analyse(Samples(1), static_cast<int>(x * n) - m / 2, m, n, fs);
  };
  auto near = [](double value, double expected) {
    return std::fabs(value - expected) <= 0.01 * std::fabs(expected) + 5;
  };
  // The envelopes change within a section, which leaks a few counts into the
  // other harmonics: an absent harmonic shows less than 8 counts.
  constexpr double kAbsent = 8;
  // Before the middle the 2nd and 4th harmonics are there, after it gone.
  const Section before = at(0.45), after = at(0.55);
  EXPECT_TRUE(near(before.amplitude[2], 3276 * 0.1)) << before.amplitude[2];
  EXPECT_TRUE(near(before.amplitude[4], 1638 * 0.1)) << before.amplitude[4];
  EXPECT_LT(after.amplitude[2], kAbsent);
  EXPECT_LT(after.amplitude[4], kAbsent);
  // The 5th is gone from the first third on; the 3rd decays linearly.
  const Section fifth = at(0.25), third = at(0.4);
  EXPECT_TRUE(near(fifth.amplitude[5], 2458 * 0.25)) << fifth.amplitude[5];
  EXPECT_LT(third.amplitude[5], kAbsent);
  EXPECT_TRUE(near(third.amplitude[3], 4915 * 0.6)) << third.amplitude[3];
  EXPECT_TRUE(near(at(0.85).amplitude[3], 4915 * 0.15));
  EXPECT_TRUE(near(third.amplitude[1], 16384)) << third.amplitude[1];
}

TEST_F(SyntheticSignalTest, DodidaFundamentalsGrowOrHalveAndDriftInPhase) {
  ASSERT_TRUE(Generate(Dodida, 4, 4));
  const int n = 32000, fs = 8000, m = 800;
  auto at = [&](int channel, double x) {
    return Analyse(Samples(channel), static_cast<int>(x * n) - m / 2, m, n, fs);
  };
  // Channel 2: 3276 · (0.2 + 0.8 x), lagging 180° · x; channel 1: 6554 ·
  // (1 − x / 2), leading 90° · x. Sections lie clear of the end ramps.
  for (double x : {0.15, 0.5, 0.85}) {
    SCOPED_TRACE(x);
    const Section two = at(2, x), one = at(1, x);
    EXPECT_NEAR(two.amplitude[1], 3276 * (0.2 + 0.8 * x), 0.01 * 3276);
    EXPECT_NEAR(std::remainder(two.phase1 + 180 * x, 360), 0, 1);
    EXPECT_NEAR(one.amplitude[1], 6554 * (1 - 0.5 * x), 0.01 * 6554);
    EXPECT_NEAR(std::remainder(one.phase1 - 90 * x, 360), 0, 1);
  }
  // Channel 2's envelope, extended to the ends of the sweep, starts at a fifth
  // of its final amplitude.
  const double a15 = at(2, 0.15).amplitude[1], a85 = at(2, 0.85).amplitude[1];
  const double slope = (a85 - a15) / 0.7, atStart = a15 - 0.15 * slope;
  EXPECT_NEAR(atStart / (atStart + slope), 0.2, 0.01);
}

TEST_F(SyntheticSignalTest, RecordIsNamedByTimeWithRangesAndDerivedChannel) {
  ASSERT_TRUE(Generate(Velnarund, 0, 4));
  EXPECT_EQ(rec.Name, "Rec_10:07:03  ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.FileHeader.data()) + 52, 10),
            "10:07:03  ");
  const auto& c1 = *rec.Channels[1];
  int lo = c1.Samples[0], hi = c1.Samples[0];
  for (int i = 0; i < rec.SweepLength; ++i) {
    lo = std::min<int>(lo, c1.Samples[i]);
    hi = std::max<int>(hi, c1.Samples[i]);
  }
  EXPECT_EQ(c1.Min, lo);
  EXPECT_EQ(c1.Max, hi);
  ASSERT_TRUE(rec.DerivedChannel);
  EXPECT_EQ(rec.DerivedChannel->Count, rec.SweepLength);
  EXPECT_NE(rec.DerivedChannel->Max, rec.DerivedChannel->Min);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SyntheticSignalTest, RefusalsLeaveTheRecordingAsItWas) {
  struct Case {
    const char* text;
    void (*spoil)(TFrmFile&, ProcessValues&);
  };
  const Case cases[] = {
      {"Не задано значение усилия прижима плиты",
       [](TFrmFile& r, ProcessValues&) { r.HoldDownWeight = -1; }},
      {"Не задан уровень порога триггерного канала",
       [](TFrmFile& r, ProcessValues&) { r.TriggerLevel = NoValue; }},
      {"Длина записи превышает 65535 отсчетов",
       [](TFrmFile& r, ProcessValues& v) {
         v.SampleRateIndex = 4;
         r.SweepSeconds = 9;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(Generate(Dodida, 0, 2));
    const auto samples = Samples(1);
    const auto header = rec.FileHeader;
    const int sweep = rec.SweepLength, length = rec.RecordLength;
    ui.Clear();
    now.Second = 59;
    c.spoil(rec, values);
    EXPECT_FALSE(GenerateSyntheticRecord(rec, values, settings, now, ui));
    EXPECT_EQ(ui.errors, std::vector<std::string>{c.text});
    EXPECT_EQ(Samples(1), samples);
    EXPECT_EQ(rec.Name, "Rec_10:07:03  ");
    EXPECT_EQ(rec.FileHeader, header);
    EXPECT_EQ(rec.SweepLength, sweep);
    EXPECT_EQ(rec.RecordLength, length);
    now.Second = 3;
  }
}

}  // namespace
}  // namespace kalvex

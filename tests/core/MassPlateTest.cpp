// Reaction mass against baseplate frame by frame: ground impedance, power at
// the fundamental and its harmonics, the accelerometer comparison; their
// curve kinds, names and colours, and what they store where a divisor or the
// frequency is zero.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/FrameAnalyser.h"
#include "analysis/MassPlateAnalysis.h"
#include "analysis/SpectralBasics.h"
#include "graphs/GraphSetup.h"
#include "graphs/Palette.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// Tones on bin 256 of the 8192-point frame transform of a 4096-sample sweep
// at 1000/s: 31.25 Hz.
constexpr double kHz = 31.25;
constexpr int kRm = 4, kBp = 5;
// Frames 3..36 lie wholly inside the sweep.
constexpr int kFirstWhole = 3, kLastWhole = 36;
// Weights from the shared recording: reaction mass 4000 kg, baseplate 2000.
constexpr double kWr = 4000, kWb = 2000;
// g per count of the 100 mV/g accelerometers.
constexpr double kGPerCount = 10000.0 / 32768 / 8 / 100;

test::Signal Tone(double amplitude, int harmonic = 1, double degrees = 0) {
  return test::Tone(amplitude, 256.0 * harmonic, 8192, degrees);
}

// Half the sum of a whole frame's taper: a tone of amplitude A on a bin
// gives a transform value of magnitude A times this.
double HalfTaperSum() {
  double sum = 0;
  for (int k = 1; k <= 512; ++k) sum += HammingWeight(k, 511);
  return sum / 2;
}

class MassPlateTest : public ::testing::Test {
 protected:
  explicit MassPlateTest(int mode = Velnarund) : s(mode, 1000, 4096) {}

  // A window of the type with its options, laid out and computed.
  std::unique_ptr<TGrWin> Computed(int type, const std::function<void(TGrWin&)>& options,
                                   bool firstOnly = false) {
    auto w = test::MakeWindow(type, s.rec);
    options(*w);
    LayoutWindow(s.Context(), *w);
    const int frames = FrameCount(s.Context());
    if (type == Ground) ComputeGround(s.Context(), *w, frames, firstOnly, false);
    if (type == Power) ComputePower(s.Context(), *w, frames, firstOnly, false);
    if (type == AccCompare) ComputeAccCompare(s.Context(), *w, frames, firstOnly, false);
    return w;
  }

  static void ExpectFramesNear(const CurveSlot& c, double expected, double tolerance) {
    ASSERT_EQ(c.Values->Count, 40) << c.Name;
    for (int i = kFirstWhole; i <= kLastWhole; ++i)
      ASSERT_NEAR(c.Values->Values[i], expected, tolerance) << c.Name << " frame " << i;
  }

  static void ExpectAllFrames(const CurveSlot& c, double expected) {
    ASSERT_EQ(c.Values->Count, 40) << c.Name;
    for (int i = 0; i < 40; ++i) ASSERT_EQ(c.Values->Values[i], expected) << c.Name << ' ' << i;
  }

  test::LinkedFftw fftw;
  test::SignalRecording s;
};

auto AllGround = [](TGrWin& w) { w.GroundModule = w.GroundActive = w.GroundReactive = true; };

TEST_F(MassPlateTest, IdenticalAccelerometersGiveTheWeightsAsImpedance) {
  s.Set(kRm, Tone(8000));
  s.Set(kBp, Tone(8000));
  const auto w = Computed(Ground, AllGround);
  ASSERT_EQ(w->CurveCount, 3);
  for (int i = 0; i < 40; ++i) ASSERT_EQ(s.rec.FrameAnalyses[kRm]->Array(0)[i], 256) << i;
  const double module = kTwoPi * kHz * (kWr + kWb) / 1e6;
  for (int i = 0; i < 40; ++i) {
    EXPECT_NEAR(w->Curves[0].Values->Values[i], module, 1e-12) << i;
    EXPECT_EQ(w->Curves[1].Values->Values[i], 0) << i;
    EXPECT_NEAR(w->Curves[2].Values->Values[i], -module, 1e-12) << i;
  }
  EXPECT_EQ(w->ScaleMode, SymmetricAboutCentre);
}

TEST_F(MassPlateTest, ImpedanceReadsTheBaseplateAtTheMassFundamental) {
  // The baseplate's own fundamental is elsewhere (bin 1024); at the mass
  // fundamental it carries half the mass's acceleration, 60° ahead:
  // R/B = 2∠-60°, X = -2·sin(-60°)·Wr, Y = 2·cos(-60°)·Wr + Wb.
  s.Set(kRm, Tone(8000));
  s.Set(kBp, test::Sum(Tone(4000, 1, 60), Tone(9000, 4)));
  const auto w = Computed(Ground, AllGround);
  const double x = -2 * std::sin(-std::numbers::pi / 3) * kWr;
  const double y = 2 * std::cos(-std::numbers::pi / 3) * kWr + kWb;
  const double k = kTwoPi * kHz / 1e6;
  ExpectFramesNear(w->Curves[0], std::hypot(x, y) * k, 0.01);
  ExpectFramesNear(w->Curves[1], -k * x, 0.01);
  ExpectFramesNear(w->Curves[2], -k * y, 0.01);
}

TEST_F(MassPlateTest, SilentBaseplateStoresZero) {
  s.Set(kRm, Tone(8000));
  const auto ground = Computed(Ground, AllGround);
  for (int c = 0; c < 3; ++c) ExpectAllFrames(ground->Curves[c], 0);
  const auto compare = Computed(AccCompare, [](TGrWin& w) { w.AmplDiff = w.PhaseDiff = true; });
  ExpectAllFrames(compare->Curves[0], 0);
  for (double v : compare->Curves[1].Values->Values) ASSERT_TRUE(std::isfinite(v));
}

TEST_F(MassPlateTest, CurveKindsFollowTheOptionsSwitchedOn) {
  s.Set(kRm, Tone(8000));
  s.Set(kBp, Tone(8000));
  const std::string module = "Module", active = "Active", reactive = "Reactive";
  struct Case {
    bool module, active, reactive;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {true, true, true, {module, active, reactive}},
      {false, true, true, {active, reactive}},
      {true, false, true, {module, reactive}},
      {true, true, false, {module, active}},
      {true, false, false, {module}},
      {false, true, false, {active}},
      {false, false, true, {reactive}},
  };
  const double m = kTwoPi * kHz * (kWr + kWb) / 1e6;
  for (const Case& c : cases) {
    for (int type : {Ground, Power}) {
      const auto w = Computed(type, [&](TGrWin& w) {
        w.GroundModule = w.PowerModule = c.module;
        w.GroundActive = w.PowerActive = c.active;
        w.GroundReactive = w.PowerReactive = c.reactive;
      });
      ASSERT_EQ(w->CurveCount, static_cast<int>(c.names.size()));
      for (int k = 0; k < w->CurveCount; ++k) {
        const CurveSlot& curve = w->Curves[k];
        const int kind = curve.Name == module   ? ModuleKind
                         : curve.Name == active ? ActiveKind
                                                : ReactiveKind;
        EXPECT_EQ(kind, ImpedanceKindOf(c.module, c.active, k));
        EXPECT_EQ(curve.Name, c.names[k]) << type;
        EXPECT_EQ(curve.Colour, CurveColour(Ground, Velnarund, kind)) << type << curve.Name;
        const double limit = type == Ground ? 2 : 50;
        EXPECT_EQ(curve.Min, -limit);
        EXPECT_EQ(curve.Max, limit);
        EXPECT_EQ(curve.Scale, 0);
        if (type == Ground) {
          // The values are those of the kind named.
          ExpectFramesNear(curve, kind == ModuleKind ? m : kind == ActiveKind ? 0 : -m, 1e-12);
        }
      }
    }
  }
}

TEST_F(MassPlateTest, FundamentalPowerInKilowatts) {
  // With the norm at the frame's half taper sum, table values become g.
  s.rec.AmplitudeNorm = HalfTaperSum();
  s.Set(kRm, Tone(8000));
  s.Set(kBp, Tone(6000, 1, 30));  // R/B = (4/3)∠-30°
  const auto w = Computed(Power, [](TGrWin& w) {
    w.PowerDimension = 0;
    w.PowerModule = w.PowerActive = w.PowerReactive = true;
  });
  const double gR = 8000 * kGPerCount, gB = 6000 * kGPerCount;
  const double w0 = kTwoPi * kHz / 0.09604;
  // B·conj(R) = gR·gB∠30°: active part gR·gB·sin 30°, reactive cos 30°.
  const double p = gR * gB * std::sin(std::numbers::pi / 6) * kWr;
  const double q = gR * gB * std::cos(std::numbers::pi / 6) * kWr + gB * gB * kWb;
  ExpectFramesNear(w->Curves[0], std::hypot(p, q) / w0 / 2, 0.01 * std::hypot(p, q) / w0 / 2);
  ExpectFramesNear(w->Curves[1], -p / w0 / 2, 0.01 * p / w0 / 2);
  ExpectFramesNear(w->Curves[2], -q / w0 / 2, 0.01 * q / w0 / 2);
  EXPECT_EQ(w->Curves[1].Name, "Active");
}

TEST_F(MassPlateTest, HarmonicPowerTakesTheOrdersSwitchedOn) {
  s.rec.AmplitudeNorm = HalfTaperSum();
  // Second harmonics with the baseplate 90° ahead, third 90° behind.
  s.Set(kRm, test::Sum(Tone(8000), test::Sum(Tone(2000, 2), Tone(1500, 3))));
  s.Set(kBp, test::Sum(Tone(6000), test::Sum(Tone(1000, 2, 90), Tone(1200, 3, -90))));
  const double w0 = kTwoPi * kHz / 0.09604;
  const double second = -kWr * (2000 * kGPerCount) * (1000 * kGPerCount) / w0 / 2 / 2;
  const double third = kWr * (1500 * kGPerCount) * (1200 * kGPerCount) / w0 / 3 / 2;
  struct Case {
    bool second, third;
    std::vector<double> expected;
    std::vector<std::string> names;
  };
  const Case cases[] = {{true, false, {second}, {"2-d Active"}},
                        {false, true, {third}, {"3-d Active"}},
                        {true, true, {second, third}, {"2-d Active", "3-d Active"}}};
  for (const Case& c : cases) {
    const auto w = Computed(Power, [&](TGrWin& w) {
      w.PowerDimension = 1;
      w.Power2dActive = c.second;
      w.Power3dActive = c.third;
    });
    ASSERT_EQ(w->CurveCount, static_cast<int>(c.expected.size()));
    for (int k = 0; k < w->CurveCount; ++k) {
      const CurveSlot& curve = w->Curves[k];
      EXPECT_EQ(curve.Name, c.names[k]);
      EXPECT_EQ(curve.Colour, CurveColour(Power, Velnarund, curve.Name == "2-d Active" ? 0 : 1));
      EXPECT_EQ(curve.Min, -1);
      EXPECT_EQ(curve.Max, 1);
      ExpectFramesNear(curve, c.expected[k], 0.015 * std::fabs(c.expected[k]));
    }
  }
}

TEST_F(MassPlateTest, PowerIsZeroAtZeroFrequencyOrWithoutNorm) {
  auto allPower = [](int dimension) {
    return [dimension](TGrWin& w) {
      w.PowerDimension = dimension;
      w.PowerModule = w.PowerActive = w.PowerReactive = true;
      w.Power2dActive = w.Power3dActive = true;
    };
  };
  // A mass at rest (its fundamental in bin 0) and a moving baseplate.
  s.Set(kRm, [](int) { return 5000.0; });
  s.Set(kBp, Tone(6000, 1, 30));
  for (int dimension : {0, 1}) {
    const auto w = Computed(Power, allPower(dimension));
    for (int k = 0; k < w->CurveCount; ++k) ExpectAllFrames(w->Curves[k], 0);
  }

  test::SignalRecording unnormed(Velnarund, 1000, 4096);
  unnormed.rec.AmplitudeNorm = 0;
  unnormed.Set(kRm, Tone(8000));
  unnormed.Set(kBp, Tone(6000, 1, 30));
  for (int dimension : {0, 1}) {
    auto w = test::MakeWindow(Power, unnormed.rec);
    allPower(dimension)(*w);
    LayoutWindow(unnormed.Context(), *w);
    ComputePower(unnormed.Context(), *w, 40, false, false);
    ASSERT_GT(w->CurveCount, 1);
    for (int k = 0; k < w->CurveCount; ++k) ExpectAllFrames(w->Curves[k], 0);
  }
}

// The power of one recording with the accelerometers' correction factors
// at `factor`; curve k of dimension 0 (all three) then dimension 1.
std::vector<std::vector<double>> PowerWithCorrection(int mode, double factor) {
  test::LinkedFftw fftw;
  test::SignalRecording s(mode, 1000, 4096);
  const int rm = RmChannelIndex(mode), bp = BpChannelIndex(mode);
  s.settings.ChannelCalibration[rm + s.values.ChannelOffset] = factor;
  s.settings.ChannelCalibration[bp + s.values.ChannelOffset] = factor;
  s.Set(rm, test::Sum(Tone(8000), Tone(2000, 2)));
  s.Set(bp, test::Sum(Tone(6000, 1, 40), Tone(1000, 2, 70)));
  std::vector<std::vector<double>> curves;
  for (int dimension : {0, 1}) {
    auto w = test::MakeWindow(Power, s.rec);
    w->PowerDimension = dimension;
    w->PowerModule = w->PowerActive = w->PowerReactive = w->Power2dActive = true;
    LayoutWindow(s.Context(), *w);
    ComputePower(s.Context(), *w, 40, false, false);
    for (int k = 0; k < w->CurveCount; ++k) curves.push_back(w->Curves[k].Values->Values);
  }
  return curves;
}

TEST(PowerCorrectionTest, EachAccelerometerTakesItsCorrectionOnce) {
  for (int mode : {Velnarund, Dodida}) {
    const auto plain = PowerWithCorrection(mode, 1.0);
    const auto corrected = PowerWithCorrection(mode, 1.05);
    ASSERT_EQ(plain.size(), 4u);
    for (std::size_t k = 0; k < plain.size(); ++k)
      for (int i = kFirstWhole; i <= kLastWhole; ++i)
        ASSERT_NEAR(corrected[k][i], plain[k][i] * 1.05 * 1.05, 1e-9 * std::fabs(plain[k][i]))
            << "mode " << mode << " curve " << k << " frame " << i;
  }
}

TEST_F(MassPlateTest, IdenticalAccelerometersAgreeInAmplitudeAndPhase) {
  s.Set(kRm, Tone(8000));
  s.Set(kBp, Tone(8000));
  const auto w = Computed(AccCompare, [](TGrWin& w) { w.AmplDiff = w.PhaseDiff = true; });
  ASSERT_EQ(w->CurveCount, 2);
  ExpectAllFrames(w->Curves[0], 0);
  ExpectAllFrames(w->Curves[1], 0);
  EXPECT_EQ(w->Curves[0].Name, "AmplDiff");
  EXPECT_EQ(w->Curves[0].Colour, CurveColour(AccCompare, Velnarund, kRm));
  EXPECT_EQ(w->Curves[1].Name, "PhaseDiff");
  EXPECT_EQ(w->Curves[1].Colour, CurveColour(AccCompare, Velnarund, kBp));
  for (int k = 0; k < 2; ++k) {
    const CurveSlot& c = w->Curves[k];
    EXPECT_EQ(std::tuple(c.Min, c.Max, c.Centre, c.HalfRange), std::tuple(-10.0, 10.0, 0.0, 10.0));
  }
  EXPECT_EQ(w->ScaleMode, FitCentreHalfRange);
}

TEST_F(MassPlateTest, ComparisonKindsAndKnownDifferences) {
  // The mass 20 % stronger and 30° ahead of the baseplate, read at the
  // baseplate's fundamental; the mass's own fundamental is elsewhere.
  s.Set(kRm, test::Sum(Tone(7200, 1, 30), Tone(9000, 4)));
  s.Set(kBp, Tone(6000));
  struct Case {
    bool ampl, phase, firstOnly;
    std::vector<std::string> names;
    std::vector<double> expected;
  };
  // The phase difference is atan2(re, im) of the mass less that of the
  // baseplate: a mass ahead by 30° reads -30°.
  const Case cases[] = {{true, true, false, {"AmplDiff", "PhaseDiff"}, {20, -30}},
                        {true, false, false, {"AmplDiff"}, {20}},
                        {false, true, false, {"PhaseDiff"}, {-30}},
                        {false, true, true, {""}, {-30}}};
  for (const Case& c : cases) {
    const auto w = Computed(
        AccCompare,
        [&](TGrWin& w) {
          w.AmplDiff = c.ampl;
          w.PhaseDiff = c.phase;
        },
        c.firstOnly);
    ASSERT_EQ(w->CurveCount, static_cast<int>(c.names.size()));
    for (int k = 0; k < w->CurveCount; ++k) {
      EXPECT_EQ(w->Curves[k].Name, c.names[k]);
      ExpectFramesNear(w->Curves[k], c.expected[k], 0.2);
    }
  }
}

TEST_F(MassPlateTest, PhaseDifferenceStaysContinuousAcrossHalfATurn) {
  // The mass two bins above the baseplate: the difference falls by about
  // 340° over the sweep, from +100°, and crosses -180° on the way.
  s.Set(kRm, test::Tone(8000, 258, 8192, -100));
  s.Set(kBp, Tone(8000));
  const auto w = Computed(AccCompare, [](TGrWin& w) { w.PhaseDiff = true; });
  const std::vector<double>& v = w->Curves[0].Values->Values;
  ASSERT_EQ(v.size(), 40u);
  // Frame 10 weighs samples 744..1255 alike about 999.5.
  EXPECT_NEAR(v[10], 100 - 360.0 * 2 * 999.5 / 8192, 1);
  for (std::size_t i = 1; i < v.size(); ++i) ASSERT_LT(std::fabs(v[i] - v[i - 1]), 20) << i;
  EXPECT_LT(v.back(), -200);
}

class NoMassPlateTest : public ::testing::TestWithParam<int> {};

TEST_P(NoMassPlateTest, AnalysesLeaveTheCurvesAlone) {
  test::LinkedFftw fftw;
  test::SignalRecording s(GetParam(), 1000, 4096);
  for (int c = 0; c < ChannelCount(GetParam()); ++c) s.Set(c, Tone(8000));
  for (int type : {Ground, Power, AccCompare}) {
    auto w = test::MakeWindow(type, s.rec);
    AllGround(*w);
    w->PowerModule = w->PowerActive = w->AmplDiff = w->PhaseDiff = true;
    w->CurveCount = 2;
    for (int k = 0; k < 2; ++k) {
      w->Curves[k].Allocate(3).Values = {1, 2, 3};
      w->Curves[k].Name = "kept";
      w->Curves[k].Colour = 0x123456;
    }
    w->ScaleMode = ZeroAtBottom;
    if (type == Ground) ComputeGround(s.Context(), *w, 40, false, false);
    if (type == Power) ComputePower(s.Context(), *w, 40, false, false);
    if (type == AccCompare) ComputeAccCompare(s.Context(), *w, 40, false, false);
    EXPECT_EQ(w->CurveCount, 2);
    EXPECT_EQ(w->ScaleMode, ZeroAtBottom);
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(w->Curves[k].Values->Values, (std::vector<double>{1, 2, 3})) << type;
      EXPECT_EQ(w->Curves[k].Name, "kept");
      EXPECT_EQ(w->Curves[k].Colour, 0x123456);
    }
  }
  for (const auto& table : s.rec.FrameAnalyses) EXPECT_FALSE(table);
}

INSTANTIATE_TEST_SUITE_P(SimilarityAndOmbrel, NoMassPlateTest,
                         ::testing::Values(Similarity, Ombrel16));

}  // namespace
}  // namespace kalvex

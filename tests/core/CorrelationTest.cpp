// Cross-correlation: the transform sums against direct sums, the lag grids
// (including the dB grid's negative side when the step does not divide the
// sweep), normalisation to the peak, decibels, silent channels, labels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/CorrelationAnalysis.h"
#include "analysis/CrossCorrelation.h"
#include "graphs/GraphSetup.h"
#include "graphs/Palette.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

// Deterministic noise of the given amplitude around `centre`, one value per
// sample index (any index, so that shifted copies are easy to make).
test::Signal Noise(std::uint32_t seed, double amplitude, double centre = 0) {
  return [=](int j) {
    std::uint32_t x = seed ^ (static_cast<std::uint32_t>(j) * 2654435761u);
    x ^= x >> 15;
    x *= 0x2c1b3c6dU;
    x ^= x >> 12;
    x *= 0x297a2d39U;
    x ^= x >> 15;
    return centre + amplitude * (static_cast<double>(x % 20001) / 10000.0 - 1);
  };
}

test::Signal Delayed(test::Signal x, int delay) {
  return [=](int j) { return x(j - delay); };
}

std::vector<double> Values(const test::Signal& x, int n) {
  std::vector<double> v(n);
  for (int j = 0; j < n; ++j) v[j] = x(j);
  return v;
}

double PeakOf(const std::vector<double>& v) {
  double p = 0;
  for (double x : v) p = std::max(p, std::fabs(x));
  return p;
}

TEST(CrossCorrelationTest, TransformSumsEqualDirectSumsOverEveryLag) {
  for (int n : {1, 2, 7, 64, 100, 257, 1000}) {
    const std::vector<double> r = Values(Noise(1, 3000), n), m = Values(Noise(2, 2000, 500), n);
    std::vector<int> lags;
    for (int tau = -n - 3; tau <= n + 3; ++tau) lags.push_back(tau);
    const std::vector<double> direct = DirectCorrelationSums(r, m, lags);
    // The direct sums are the definition: Σ r(j)·m(j+τ) over the overlap.
    for (std::size_t k = 0; k < lags.size(); ++k) {
      double sum = 0;
      for (int j = 0; j < n; ++j)
        if (j + lags[k] >= 0 && j + lags[k] < n) sum += r[j] * m[j + lags[k]];
      ASSERT_EQ(direct[k], sum) << n << " lag " << lags[k];
    }
    test::LinkedFftw fftw;
    const std::vector<double> fast = CorrelationSums(r, m, lags);
    ASSERT_EQ(fast.size(), lags.size());
    const double peak = PeakOf(direct);
    for (std::size_t k = 0; k < lags.size(); ++k) {
      if (std::abs(lags[k]) >= n) {
        EXPECT_EQ(fast[k], 0) << n << " lag " << lags[k];
      } else {
        ASSERT_NEAR(fast[k], direct[k], 1e-12 * peak) << n << " lag " << lags[k];
      }
    }
  }
}

TEST(CrossCorrelationTest, SignalsOfUnequalLengthUseTheShorter) {
  const std::vector<double> r = Values(Noise(3, 1000), 50), m = Values(Noise(4, 1000), 40);
  const std::vector<int> lags = {-45, -39, -1, 0, 1, 39, 45};
  const std::vector<double> direct = DirectCorrelationSums(r, m, lags);
  const std::vector<double> cut =
      DirectCorrelationSums(std::vector<double>(r.begin(), r.begin() + 40), m, lags);
  EXPECT_EQ(direct, cut);
  test::LinkedFftw fftw;
  const std::vector<double> fast = CorrelationSums(r, m, lags);
  for (std::size_t k = 0; k < lags.size(); ++k)
    EXPECT_NEAR(fast[k], direct[k], 1e-12 * PeakOf(direct)) << lags[k];
}

// Integer samples that repeat +a, +a, -a, -a: against a constant, a sum
// over whole periods is exactly 0, every other sum is not.
test::Signal Square(double a) {
  return [=](int j) { return (j & 2) ? -a : a; };
}

// Every lag of the two signals, or about `count` of them spread over the
// range (both ends included) where direct sums of every lag would be slow.
std::vector<int> SpreadLags(int n, int count) {
  std::vector<int> lags;
  const int step = std::max(1, (2 * n) / count);
  for (int tau = -n + 1; tau < n; tau += step) lags.push_back(tau);
  lags.push_back(n - 1);
  return lags;
}

TEST(CrossCorrelationTest, TransformSumsOfIntegersAreTheDirectSumsExactly) {
  struct Case {
    const char* what;
    test::Signal r, m;
    int n;
    bool zeros;  // whether some sums are 0
  };
  // Quiet signals are rounded whole; full-scale ones (up to -32768 and
  // 32767) in byte halves; the square wave against a constant has exact
  // zeros at every lag that leaves whole periods.
  const Case cases[] = {
      {"square against constant", Square(1000), [](int) { return 700.0; }, 4000, true},
      {"constant against square", [](int) { return -32768.0; }, Square(32767), 4000, true},
      {"quiet noise", Noise(21, 300), Noise(22, 200), 3001, false},
      {"full-scale noise", Noise(23, 32768), Noise(24, 32767), 3001, false},
      {"full-scale noise, long sweep", Noise(25, 32768), Noise(26, 32768), 8000, false},
      {"one sample", [](int) { return -32768.0; }, [](int) { return 32767.0; }, 1, false},
      {"three samples", Noise(27, 32768), Noise(28, 32767), 3, false},
  };
  test::LinkedFftw fftw;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<double> r = Values(c.r, c.n), m = Values(c.m, c.n);
    for (auto* x : {&r, &m})
      for (double& v : *x) v = std::clamp(std::round(v), -32768.0, 32767.0);
    const std::vector<int> lags = SpreadLags(c.n, c.n > 10000 ? 1500 : 2 * c.n);
    const std::vector<double> direct = DirectCorrelationSums(r, m, lags);
    const std::vector<double> fast = CorrelationSums(r, m, lags);
    ASSERT_EQ(fast.size(), lags.size());
    for (std::size_t k = 0; k < lags.size(); ++k) ASSERT_EQ(fast[k], direct[k]) << lags[k];
    if (c.zeros) {
      EXPECT_GT(std::count(direct.begin(), direct.end(), 0.0), c.n / 3);
    }
  }
}

TEST(CrossCorrelationTest, ScaledAndComputedSignalsAreZeroWhereTheDirectSumsAre) {
  test::LinkedFftw fftw;
  const int n = 2000;
  const std::vector<double> square = Values(Square(900), n), level(n, 1100.0);
  std::vector<int> lags;
  for (int tau = -n - 2; tau <= n + 2; ++tau) lags.push_back(tau);
  const std::vector<double> integerSums = DirectCorrelationSums(square, level, lags);
  const double peak = PeakOf(integerSums);
  ASSERT_GT(std::count(integerSums.begin(), integerSums.end(), 0.0), n / 3);
  auto times = [](std::vector<double> v, double f) {
    for (double& x : v) x *= f;
    return v;
  };
  // Recorded samples with correction factors: the integer sums times both
  // factors. Computed signals (not integers): 0 where the sum is, and the
  // direct sums elsewhere to rounding.
  const double f = 1.07, g = 0.93;
  const std::vector<double> scaled =
      CorrelationSums(ScaledSignal{square, f}, ScaledSignal{level, g}, lags);
  const std::vector<double> computed =
      CorrelationSums(times(square, f / 3), times(level, g * 1.1), lags);
  for (std::size_t k = 0; k < lags.size(); ++k) {
    if (integerSums[k] == 0) {
      ASSERT_EQ(scaled[k], 0.0) << lags[k];
      ASSERT_EQ(computed[k], 0.0) << lags[k];
    } else {
      ASSERT_EQ(scaled[k], integerSums[k] * (f * g)) << lags[k];
      ASSERT_NEAR(computed[k], integerSums[k] * f / 3 * g * 1.1, 1e-12 * peak) << lags[k];
    }
  }
}

// Full-scale channels long enough that one rounded correlation is no longer
// certain: the byte halves give the integer sums exactly, times the factors,
// and zero sums stay exactly zero. -32768 is a sample value like any other.
TEST(CrossCorrelationTest, FullScaleLongChannelsAreSummedExactlyInByteHalves) {
  test::LinkedFftw fftw;
  const int n = 20000;
  const std::vector<double> square = Values(Square(32767), n), level(n, -32768.0);
  double normSquare = 0, normLevel = 0;
  for (int j = 0; j < n; ++j) normSquare += square[j] * square[j], normLevel += level[j] * level[j];
  ASSERT_GE(CorrelationRoundingBound(std::sqrt(normSquare), std::sqrt(normLevel), 65536), 0.25);
  const std::vector<int> lags = SpreadLags(n, 1200);
  const std::vector<double> direct = DirectCorrelationSums(square, level, lags);
  ASSERT_GT(std::count(direct.begin(), direct.end(), 0.0), 100);
  const double f = 1.07, g = 0.93;
  const std::vector<double> sums =
      CorrelationSums(ScaledSignal{square, f}, ScaledSignal{level, g}, lags);
  for (std::size_t k = 0; k < lags.size(); ++k) ASSERT_EQ(sums[k], direct[k] * (f * g)) << lags[k];
}

TEST(CorrelationGridTest, StepSpanAndValueCount) {
  struct Case {
    int n, fs;
    bool db;
    int step, span, q;
  };
  const Case cases[] = {
      {20000, 2000, true, 4, 20000, 5000}, {20000, 2000, false, 1, 400, 400},
      {1003, 2000, true, 4, 1003, 250},    {65035, 500, true, 1, 65035, 65035},
      {1000, 250, true, 1, 1000, 1000},  // below 500/s the step stays 1
      {1000, 1001, false, 1, 200, 200},    {1000, 2003, false, 1, 401, 401},
  };
  for (const Case& c : cases) {
    const CorrelationGrid g = CorrelationGridFor(c.n, c.fs, c.db);
    EXPECT_EQ(g.step, c.step) << c.n << ' ' << c.fs << ' ' << c.db;
    EXPECT_EQ(g.span, c.span) << c.n << ' ' << c.fs << ' ' << c.db;
    EXPECT_EQ(g.q, c.q) << c.n << ' ' << c.fs << ' ' << c.db;
  }
}

// A correlation window between two channels of a mode-0 recording.
std::unique_ptr<TGrWin> CorrelationWindow(test::SignalRecording& s, int reference, int main,
                                          bool db) {
  auto w = test::MakeWindow(Correlation, s.rec);
  w->CorrelationReference = reference;
  w->CorrelationMain = main;
  w->CorrelationDb = db ? 1 : 0;
  LayoutWindow(s.Context(), *w);
  return w;
}

// The curve's raw sums as the lag grid places them: value k at lag
// k·t - N (dB) or k - r (linear) up to q, then value q + i at lag i·t;
// value 0 repeats value 1.
std::vector<double> GridSums(const std::vector<double>& r, const std::vector<double>& m, int fs,
                             bool db) {
  const int n = static_cast<int>(r.size());
  const int t = db ? std::max(1, fs / 500) : 1;
  const int q = db ? n / t : static_cast<int>(std::lround(fs / 5.0));
  auto sum = [&](int tau) {
    double s = 0;
    for (int j = 0; j < n; ++j)
      if (j + tau >= 0 && j + tau < n) s += r[j] * m[j + tau];
    return s;
  };
  std::vector<double> v(2 * q);
  for (int i = 1; i <= q; ++i) v[i] = sum(db ? i * t - n : i - q);
  for (int i = 0; i < q; ++i) v[q + i] = sum(i * t);
  if (q > 0) v[0] = v[1];
  return v;
}

TEST(CorrelationTest, CurveHoldsTheGridsSumsWithAndWithoutTransforms) {
  struct Case {
    int fs, n;
    bool db;
  };
  // 1003 and 999 are not multiples of the dB step (4 and 2): the negative
  // side lies off the positive side's grid. A sweep of 150 samples is
  // shorter than the ±200 linear lags (the outer sums are 0); one of 3 has
  // no dB grid at all.
  const Case cases[] = {{2000, 1003, true},  {2000, 1000, true}, {1000, 999, true},
                        {2000, 1003, false}, {1000, 700, false}, {1000, 150, false},
                        {2000, 3, true}};
  for (const Case& c : cases) {
    for (bool withFftw : {true, false}) {
      SCOPED_TRACE(::testing::Message() << c.fs << ' ' << c.n << ' ' << c.db << ' ' << withFftw);
      std::optional<test::LinkedFftw> fftw;
      if (withFftw) fftw.emplace();
      // Positive signals: every sum with an overlap is positive, none is 0.
      test::SignalRecording s(Velnarund, c.fs, c.n);
      s.Set(0, Noise(5, 1000, 2000));
      s.Set(3, Delayed(Noise(5, 1000, 2000), 9));
      const auto w = CorrelationWindow(s, 0, 3, c.db);
      ComputeCorrelation(s.Context(), *w, 0);
      const std::vector<double> sums = GridSums(s.Raw(0), s.Raw(3), c.fs, c.db);
      const double peak = PeakOf(sums);
      const ValueArray& v = *w->Curves[0].Values;
      ASSERT_EQ(v.Values.size(), sums.size());
      ASSERT_EQ(v.Count, static_cast<int>(sums.size()));
      if (sums.size() > 1) {
        EXPECT_EQ(v.Values[0], v.Values[1]);
      }
      for (std::size_t k = 0; k < sums.size(); ++k) {
        if (c.db) {
          ASSERT_NEAR(v.Values[k], 20 * std::log10(sums[k] / peak), 1e-9) << k;
        } else {
          ASSERT_NEAR(v.Values[k], sums[k] / peak, 1e-12) << k;
        }
      }
    }
  }
}

TEST(CorrelationTest, LinearPeakIsOneAtTheDelay) {
  test::LinkedFftw fftw;
  for (int delay : {0, 37, -37}) {
    test::SignalRecording s(Velnarund, 1000, 2000);
    s.Set(0, Noise(7, 8000));
    s.Set(3, Delayed(Noise(7, 8000), delay));
    // Delay 0 correlates channel 0 with itself.
    const auto w = CorrelationWindow(s, 0, delay == 0 ? 0 : 3, false);
    ComputeCorrelation(s.Context(), *w, 0);
    const CurveSlot& c = w->Curves[0];
    const int q = 200;
    ASSERT_EQ(c.Values->Values.size(), 2u * q);
    EXPECT_EQ(c.Values->Values[q + delay], 1.0) << delay;
    for (std::size_t k = 0; k < c.Values->Values.size(); ++k) {
      if (static_cast<int>(k) != q + delay) {
        ASSERT_LT(std::fabs(c.Values->Values[k]), 0.5) << k;
      }
    }
    EXPECT_EQ(c.Max, 1.0);
    EXPECT_EQ(c.Values->Max, 1.0);
    EXPECT_GE(c.Min, -1.0);
    EXPECT_EQ(c.Values->Min, c.Min);
    EXPECT_EQ(w->ScaleMode, SymmetricAboutCentre);
  }
}

TEST(CorrelationTest, DecibelsSpanTheFloorToZeroWithThePeakAtZero) {
  test::LinkedFftw fftw;
  for (int floor : {-90, -60}) {
    test::SignalRecording s(Velnarund, 1000, 2000);
    s.settings.MinCorrelation = floor;
    s.Set(0, Noise(8, 8000));
    s.Set(3, Delayed(Noise(8, 8000), 40));  // 20 steps of 2 samples
    const auto w = CorrelationWindow(s, 0, 3, true);
    ComputeCorrelation(s.Context(), *w, 0);
    const CurveSlot& c = w->Curves[0];
    const int q = 1000;
    ASSERT_EQ(c.Values->Values.size(), 2u * q);
    EXPECT_EQ(c.Values->Values[q + 20], 0.0);
    for (double v : c.Values->Values) ASSERT_LE(v, 0.0);
    EXPECT_EQ(c.Min, floor);
    EXPECT_EQ(c.Max, 0);
    EXPECT_EQ(c.Values->Min, floor);
    EXPECT_EQ(c.Values->Max, 0);
    EXPECT_EQ(w->ScaleMode, ZeroAtTop);
  }
}

TEST(CorrelationTest, ZeroSumsTakeTheLowestLevelInDecibels) {
  // Without the FFT library the sums are direct and exact: only lags 0 and
  // 20 have a product, every other sum is 0.
  test::SignalRecording s(Velnarund, 1000, 200);
  s.Set(0, test::Impulses({10}, 1000));
  s.Set(3, test::Sum(test::Impulses({10}, 1000), test::Impulses({30}, 100)));
  const auto w = CorrelationWindow(s, 0, 3, true);
  ComputeCorrelation(s.Context(), *w, 0);
  const std::vector<double>& v = w->Curves[0].Values->Values;
  ASSERT_EQ(v.size(), 200u);  // t = 2, q = 100
  for (std::size_t k = 0; k < v.size(); ++k) {
    ASSERT_NEAR(v[k], k == 100 ? 0.0 : -20.0, 1e-12) << k;
  }
}

TEST(CorrelationTest, DecibelCurveFromTransformsIsTheDirectCurveWhereSumsAreZero) {
  // A square wave against a constant: the sums over whole periods are 0 and
  // take the curve's lowest level, the same with transforms as without. Of
  // recorded channels, and of the average of two channels (not integers).
  struct Case {
    int mode, reference, main;
  };
  for (const Case& c : {Case{Velnarund, 0, 3}, Case{Similarity, 0, 6}}) {
    SCOPED_TRACE(c.mode);
    test::SignalRecording s(c.mode, 1000, 2000);
    s.Set(c.reference, [](int) { return 700.0; });
    if (c.mode == Similarity) {
      s.Set(1, Square(1001));
      s.Set(2, Square(1000));
    } else {
      s.Set(c.main, Square(1000));
    }
    auto curve = [&](bool withFftw) {
      std::optional<test::LinkedFftw> fftw;
      if (withFftw) fftw.emplace();
      auto w = test::MakeWindow(Correlation, s.rec);
      w->CorrelationReference = c.reference;
      w->CorrelationMain = c.main;
      w->CorrelationDb = 1;
      w->AveragingMasks[AvgCorrelation] = (1 << 1) | (1 << 2);
      w->CurveCount = 1;
      ComputeCorrelation(s.Context(), *w, 0);
      return w->Curves[0].Values->Values;
    };
    const std::vector<double> direct = curve(false), fast = curve(true);
    ASSERT_EQ(fast.size(), direct.size());
    const double lowest = *std::min_element(direct.begin(), direct.end());
    EXPECT_GT(std::count(direct.begin(), direct.end(), lowest), 500);
    EXPECT_GT(lowest, -120);  // the lowest sum that is not 0, not residue
    for (std::size_t k = 0; k < direct.size(); ++k) ASSERT_NEAR(fast[k], direct[k], 1e-9) << k;
  }
}

TEST(CorrelationTest, SilentChannelsGiveZeroWithoutDividing) {
  test::LinkedFftw fftw;
  for (bool db : {false, true}) {
    for (bool referenceSounds : {false, true}) {
      test::SignalRecording s(Velnarund, 1000, 1000);
      if (referenceSounds) s.Set(0, Noise(9, 5000));
      const auto w = CorrelationWindow(s, 0, 3, db);
      ComputeCorrelation(s.Context(), *w, 0);
      const CurveSlot& c = w->Curves[0];
      ASSERT_EQ(c.Values->Values.size(), db ? 1000u : 400u);
      for (double v : c.Values->Values) ASSERT_EQ(v, 0.0) << db << referenceSounds;
      EXPECT_EQ(c.Min, 0);
      EXPECT_EQ(c.Max, 0);
      EXPECT_EQ(c.Name, "REF-Mass");
    }
  }
}

TEST(CorrelationTest, FullSizeGridsFillTheirValues) {
  // Direct sums (no FFT library): quicker here than planning the transforms.
  test::SignalRecording s(Velnarund, 2000, 20000);
  s.Set(0, Noise(10, 6000));
  s.Set(3, Delayed(Noise(10, 6000), 100));
  for (bool db : {true, false}) {
    const auto w = CorrelationWindow(s, 0, 3, db);
    EXPECT_EQ(w->FullRange, (IndexRange{db ? -5000 : -400, db ? 5000 : 400}));
    EXPECT_EQ(w->XPerUnit, db ? 500 : 2000);
    ComputeCorrelation(s.Context(), *w, 0);
    const ValueArray& v = *w->Curves[0].Values;
    // The linear grid fills 2q = 800 values, not the 1000 allocated.
    const std::size_t count = db ? 10000 : 800;
    ASSERT_EQ(v.Values.size(), count);
    EXPECT_EQ(v.Count, static_cast<int>(count));
    EXPECT_EQ(v.Values[0], v.Values[1]);
    // 100 samples: 25 dB steps or 100 linear ones past lag 0.
    const std::size_t peak = db ? 5000 + 25 : 400 + 100;
    EXPECT_EQ(v.Values[peak], db ? 0.0 : 1.0);
  }
}

TEST(CorrelationTest, NamedAfterBothChannelsInTheMainChannelsColour) {
  test::LinkedFftw fftw;
  test::SignalRecording s(Similarity, 1000, 500);
  s.rec.SimilarityChannels[0].Name = "ABCDEFGH";
  s.rec.SimilarityChannels[4].Name = "IJKLMNOP";
  s.Set(4, Noise(11, 4000));
  auto w = test::MakeWindow(Correlation, s.rec);
  w->CorrelationMain = 4;
  w->CurveCount = 2;
  for (int c = 0; c < 2; ++c) w->Curves[c].Allocate(10);
  ComputeCorrelation(s.Context(), *w, -1);  // the last curve
  const CurveSlot& c = w->Curves[1];
  EXPECT_EQ(c.Name, "ABCDEFGH-IJKLMN");
  EXPECT_EQ(c.Colour, CurveColour(Correlation, Similarity, 4));
  EXPECT_EQ(c.Values->Values.size(), 400u);
  EXPECT_EQ(w->Curves[0].Values->Values, std::vector<double>(10, 0.0));

  // Accumulating several curves, a curve keeps the colour it was given.
  w->Accumulating = true;
  w->Curves[1].Colour = 0x123456;
  ComputeCorrelation(s.Context(), *w, 1);
  EXPECT_EQ(w->Curves[1].Colour, 0x123456);
}

TEST(CorrelationTest, AverageOfMaskedChannelsCorrelatesAsItsSignal) {
  test::LinkedFftw fftw;
  test::SignalRecording s(Similarity, 1000, 1000);
  s.Set(1, Noise(12, 4000));
  s.Set(2, Noise(12, 4000));
  s.Set(3, Delayed(Noise(12, 4000), 5));
  auto w = test::MakeWindow(Correlation, s.rec);
  w->CorrelationReference = 1;
  w->CorrelationMain = 6;  // the average
  w->AveragingMasks[AvgCorrelation] = (1 << 1) | (1 << 2);
  w->CurveCount = 1;
  ComputeCorrelation(s.Context(), *w, 0);
  EXPECT_EQ(w->Curves[0].Name, "CH1-Average");
  EXPECT_EQ(w->Curves[0].Values->Values[200], 1.0);
  EXPECT_LT(std::fabs(w->Curves[0].Values->Values[205]), 0.2);

  // With channel 3 (channel 1 five samples late) in the mask instead, the
  // average also peaks at lag 5.
  w->AveragingMasks[AvgCorrelation] = (1 << 1) | (1 << 3);
  ComputeCorrelation(s.Context(), *w, 0);
  EXPECT_GT(w->Curves[0].Values->Values[205], 0.4);
}

}  // namespace
}  // namespace kalvex

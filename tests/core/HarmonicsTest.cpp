// Harmonics frame by frame: which channel and order each curve shows, the
// levels against a signal of known harmonic content, the shared maximum,
// curves kept when already computed.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/FrameAnalyser.h"
#include "analysis/HarmonicsAnalysis.h"
#include "graphs/GraphSetup.h"
#include "graphs/Palette.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

ChannelSelection Only(std::initializer_list<int> indices) {
  ChannelSelection s = NoChannels;
  for (int i : indices) s[i] = 0;
  return s;
}

// A fundamental of 10000 counts on bin 256 of the 8192-point frame transform
// with harmonics 2..5 at the given percentages.
test::Signal WithHarmonics(double h2, double h3, double h4, double h5) {
  return [=](int j) {
    const double levels[] = {100, h2, h3, h4, h5};
    double x = 0;
    for (int h = 1; h <= 5; ++h) x += test::Tone(levels[h - 1] * 100, 256.0 * h, 8192)(j);
    return x;
  };
}

class HarmonicsTest : public ::testing::Test {
 protected:
  // 4096 samples at 1000/s: 40 frames, 8192-point transforms. Channel 3
  // carries harmonics of 30, 20, 10 and 5 %, channel 1 a third harmonic of
  // 40 %, channel 5 a pure fundamental.
  HarmonicsTest() : s(Velnarund, 1000, 4096) {
    s.Set(3, WithHarmonics(30, 20, 10, 5));
    s.Set(1, WithHarmonics(0, 40, 0, 0));
    s.Set(5, WithHarmonics(0, 0, 0, 0));
  }

  std::unique_ptr<TGrWin> Window(ChannelSelection channels, ChannelSelection orders) {
    auto w = test::MakeWindow(Harmonics, s.rec);
    w->HarmonicsChannels = channels;
    w->HarmonicsOrders = orders;
    LayoutWindow(s.Context(), *w);
    return w;
  }

  void Compute(TGrWin& w, bool firstOnly = false, bool skipComputed = false) {
    ComputeHarmonics(s.Context(), w, FrameCount(s.Context()), firstOnly, skipComputed);
  }

  test::LinkedFftw fftw;
  test::SignalRecording s;
};

// Frames 3..36 lie wholly inside the sweep.
constexpr int kFirstWhole = 3, kLastWhole = 36;

TEST_F(HarmonicsTest, SeveralOrdersShowTheFirstChannelAtKnownLevels) {
  struct Case {
    ChannelSelection orders;
    std::vector<std::string> names;
    std::vector<double> percent;
  };
  const double all = std::sqrt(30 * 30 + 20 * 20 + 10 * 10 + 5 * 5);
  const double even = std::sqrt(30 * 30 + 10 * 10), odd = std::sqrt(20 * 20 + 5 * 5);
  const Case cases[] = {
      {Only({AllOrders, Order2}), {"All", "2-d"}, {all, 30}},
      {Only({EvenOrders, OddOrders, Order5}), {"Even", "Odd", "5-th"}, {even, odd, 5}},
      {Only({0, 1, 2, 3, 4, 5, 6}),
       {"All", "Even", "Odd", "2-d", "3-d", "4-th", "5-th"},
       {all, even, odd, 30, 20, 10, 5}},
  };
  for (const Case& c : cases) {
    // Channel 3 comes first; channel 5 (no harmonics) must not be shown.
    const auto w = Window(Only({3, 5}), c.orders);
    ASSERT_EQ(w->CurveCount, static_cast<int>(c.names.size()));
    Compute(*w);
    EXPECT_EQ(w->ScaleMode, ZeroAtBottom);
    for (int k = 0; k < w->CurveCount; ++k) {
      const CurveSlot& curve = w->Curves[k];
      const int order = NthSelected(c.orders, k);
      EXPECT_EQ(curve.Name, c.names[k]);
      EXPECT_EQ(curve.Colour, CurveColour(Harmonics, Velnarund, order)) << c.names[k];
      EXPECT_EQ(curve.Min, 0);
      EXPECT_EQ(curve.Max, 100);
      ASSERT_EQ(curve.Values->Count, 40);
      for (int i = kFirstWhole; i <= kLastWhole; ++i)
        ASSERT_NEAR(curve.Values->Values[i], c.percent[k], 0.1) << c.names[k] << " frame " << i;
    }
  }
}

TEST_F(HarmonicsTest, OneOrderGivesACurvePerChannelNamedByIt) {
  for (const ChannelSelection orders : {Only({Order3}), NoChannels}) {
    const auto w = Window(Only({1, 3, 5}), orders);
    ASSERT_EQ(w->CurveCount, 3);
    Compute(*w);
    if (orders == NoChannels) {
      // Nothing to show: the curves stay as allocated.
      for (int k = 0; k < 3; ++k) EXPECT_EQ(w->Curves[k].Name, "");
      continue;
    }
    const char* names[] = {"Currrent", "Mass", "BP"};
    const double percent[] = {40, 20, 0};
    for (int k = 0; k < 3; ++k) {
      const CurveSlot& curve = w->Curves[k];
      EXPECT_EQ(curve.Name, names[k]);
      EXPECT_EQ(curve.Colour, CurveColour(Harmonics, Velnarund, Order3));
      for (int i = kFirstWhole; i <= kLastWhole; ++i)
        ASSERT_NEAR(curve.Values->Values[i], percent[k], 0.3) << names[k] << " frame " << i;
    }
  }
}

TEST_F(HarmonicsTest, KeptCurveKeepsItsValuesAndAllShareTheLargestMaximum) {
  // The largest maximum is shared wherever its curve sits, the last included.
  for (int at : {1, 2}) {
    SCOPED_TRACE(at);
    const auto w = Window(Only({3}), Only({AllOrders, Order2, Order3}));
    CurveSlot& kept = w->Curves[at];
    kept.Allocate(5).Values = {7, 7, 7, 7, 7};
    kept.Max = 150;
    kept.Computed = 1;
    kept.Name = "old";
    Compute(*w, false, true);
    EXPECT_EQ(kept.Values->Values, std::vector<double>(5, 7));
    EXPECT_EQ(kept.Computed, -1);
    EXPECT_EQ(kept.Name, at == 1 ? "2-d" : "3-d");
    EXPECT_EQ(kept.Colour, CurveColour(Harmonics, Velnarund, at == 1 ? Order2 : Order3));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(w->Curves[k].Max, 150) << k;
    EXPECT_NEAR(w->Curves[3 - at].Values->Values[20], at == 1 ? 20 : 30, 0.1);
  }
}

TEST_F(HarmonicsTest, FirstOnlyFillsCurveZeroAndLeavesItsLabel) {
  const auto w = Window(Only({3}), Only({AllOrders, Order2}));
  Compute(*w, true);
  EXPECT_NEAR(w->Curves[0].Values->Values[20], std::sqrt(1425.0), 0.1);
  EXPECT_EQ(w->Curves[0].Name, "");
  EXPECT_EQ(w->Curves[1].Values->Values, std::vector<double>(40, 0.0));
}

TEST(HarmonicsWithoutFftTest, CurvesStayAsTheyWere) {
  test::SignalRecording s(Velnarund, 1000, 4096);
  s.Set(3, WithHarmonics(30, 20, 10, 5));
  auto w = test::MakeWindow(Harmonics, s.rec);
  w->HarmonicsChannels = Only({3});
  w->HarmonicsOrders = Only({AllOrders, Order2});
  LayoutWindow(s.Context(), *w);
  ComputeHarmonics(s.Context(), *w, 40, false, false);
  for (int k = 0; k < 2; ++k) {
    EXPECT_EQ(w->Curves[k].Name, "");
    EXPECT_EQ(w->Curves[k].Values->Values, std::vector<double>(40, 0.0));
  }
  EXPECT_FALSE(s.rec.FrameAnalyses[3]);
}

}  // namespace
}  // namespace kalvex

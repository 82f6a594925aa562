// The signal traces window a recording gets when none is open: the channels
// of each mode, unit code 0, the mode 2 averaging mask, curves computed over
// the whole sweep and the window entered in the set with its caption.

#include <gtest/gtest.h>

#include "graphs/FirstTraces.h"
#include "graphs/GraphTypes.h"
#include "support/FakeWindowSetHost.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

ChannelSelection Only(std::initializer_list<int> channels) {
  ChannelSelection s = NoChannels;
  for (int c : channels) s[c] = 0;
  return s;
}

TEST(FirstTracesTest, ChannelsOfEachMode) {
  EXPECT_EQ(FirstTraceChannels(test::SignalRecording(Velnarund, 1000, 400).rec),
            Only({0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(FirstTraceChannels(test::SignalRecording(Tarpokline, 1000, 400).rec),
            Only({0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(FirstTraceChannels(test::SignalRecording(Dodida, 1000, 400).rec), Only({0, 1, 2}));
  EXPECT_EQ(FirstTraceChannels(test::SignalRecording(Ombrel16, 1000, 400).rec), Only({0, 1}));
  TFrmFile none;
  EXPECT_EQ(FirstTraceChannels(none), NoChannels);
}

TEST(FirstTracesTest, SimilarityShowsReferenceAndPresentChannels) {
  test::SignalRecording s(Similarity, 1000, 400);
  s.rec.SimilarityChannels[2].Present = true;
  s.rec.SimilarityChannels[5].Present = true;
  EXPECT_EQ(FirstTraceChannels(s.rec), Only({0, 2, 5}));

  TGrWin w;
  SetUpFirstTraces(s.Context(), w);
  EXPECT_EQ(w.AveragingMasks[AvgSignalTraces], (1 << 2) | (1 << 5));
  EXPECT_FALSE(w.AverageShown[AvgSignalTraces]);
  EXPECT_EQ(w.CurveCount, 3);
}

TEST(FirstTracesTest, CurvesHoldTheWholeSweep) {
  test::SignalRecording s(Velnarund, 1000, 400);
  s.Set(4, [](int j) { return j == 7 ? 1234.0 : 0.0; });
  TGrWin w;
  SetUpFirstTraces(s.Context(), w);
  EXPECT_EQ(w.Type, SignalTraces);
  ASSERT_EQ(w.CurveCount, 6);
  EXPECT_EQ(w.SelectedCurve, 0);
  EXPECT_EQ(w.DisplayedRange, w.FullRange);
  EXPECT_EQ(w.FullRange.Last, 400);
  ASSERT_TRUE(w.Curves[4].Values);
  const std::vector<double>& v = w.Curves[4].Values->Values;
  ASSERT_GE(v.size(), 400u);
  EXPECT_NE(v[7], 0.0);
  EXPECT_EQ(v[8], 0.0);
  EXPECT_EQ(w.AveragingMasks[AvgSignalTraces], 0);
}

TEST(FirstTracesTest, OpenedInTheSetWithCaption) {
  test::SignalRecording s(Dodida, 1000, 400);
  test::FakeWindowSetHost host;
  TAllWindows windows(host);
  host.set = &windows;
  TGrWin& w = OpenFirstTraces(windows, s.Context());
  ASSERT_EQ(windows.Count(), 1);
  EXPECT_EQ(&windows.Window(0), &w);
  EXPECT_EQ(windows.ActiveIndex(), 0);
  EXPECT_EQ(w.CurveCount, 3);
  ASSERT_EQ(host.menu.size(), 1u);
  EXPECT_EQ(host.menu[0], windows.Caption(0));
  ASSERT_EQ(host.forms.size(), 1u);
  ASSERT_FALSE(host.forms[0]->captions.empty());
  EXPECT_EQ(host.forms[0]->captions.back(), windows.Caption(0));
}

}  // namespace
}  // namespace kalvex

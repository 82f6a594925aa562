// The window set: windows and their forms' tags, the interval spectrum
// window's lifetime, synchronised ranges, accumulated curves, the menus.

#include <gtest/gtest.h>

#include "graphs/TAllWindows.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFile.h"
#include "support/FakeWindowSetHost.h"

namespace kalvex {
namespace {

class WindowSetTest : public ::testing::Test {
 protected:
  WindowSetTest() {
    host.set = &windows;
    recording.Mode = Velnarund;
    recording.SampleRate = 2000;
    recording.SweepLength = 20000;
    windows.SetRecordingRelease([this](TNFile& f) { released.push_back(&f); });
  }
  // A window as the type set-up would leave it.
  TGrWin& Add(int type, double xPerUnit, IndexRange full, IndexRange shown) {
    TGrWin& w = windows.CreateWindow(recording);
    w.Type = static_cast<std::uint8_t>(type);
    w.XPerUnit = xPerUnit;
    w.FullRange = full;
    w.DisplayedRange = shown;
    return w;
  }
  test::FakeGraphForm& FormOf(int index) {
    return static_cast<test::FakeGraphForm&>(*windows.Window(index).Form);
  }

  test::FakeWindowSetHost host;
  TFrmFile recording;
  TAllWindows windows{host};
  std::vector<TNFile*> released;
};

TEST_F(WindowSetTest, NewWindowsTakeModeTagAndReadoutLine) {
  TGrWin& first = windows.CreateFirstTraces(recording);
  EXPECT_EQ(first.ReadoutBottom, 9 + 4);
  EXPECT_EQ(first.DisplayedRange, (IndexRange{0, 20000}));
  EXPECT_EQ(first.FullRange, (IndexRange{0, 20000}));
  EXPECT_EQ(FormOf(0).captions.front(), "Новое окно");
  EXPECT_EQ(FormOf(0).captions.back(), "Нет данных [Velnarund]: Signal traces[]");

  recording.Mode = Dodida;  // later windows follow window 0
  TGrWin& second = windows.CreateWindow(recording);
  EXPECT_EQ(second.RecordingMode, Velnarund);
  EXPECT_EQ(second.ReadoutBottom, 9 + 4 + 2);
  EXPECT_EQ(windows.ActiveIndex(), 1);
  EXPECT_EQ(FormOf(1).tag, 1);
  EXPECT_EQ(host.menu.back(), "Нет данных");

  auto print = TAllWindows::CreatePrintWindow(30);
  EXPECT_EQ(print->ReadoutBottom, 30 + 4 + 2);
  EXPECT_EQ(windows.Count(), 2);  // not part of the set
}

TEST_F(WindowSetTest, ClosingRenumbersTagsAndCloseAllGoesLastFirst) {
  for (int i = 0; i < 4; ++i) windows.CreateWindow(recording);
  TGrWin* third = &windows.Window(2);
  windows.CloseWindow(1);
  ASSERT_EQ(windows.Count(), 3);
  EXPECT_EQ(&windows.Window(1), third);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FormOf(i).tag, i);
  EXPECT_EQ(windows.ActiveIndex(), 2);  // clamped
  EXPECT_EQ(host.menu.size(), 3u);
  windows.CloseWindow(-1);  // a form that has left the set
  EXPECT_EQ(windows.Count(), 3);

  std::vector<const test::FakeGraphForm*> lastFirst{&FormOf(2), &FormOf(1), &FormOf(0)};
  windows.CloseAll();
  EXPECT_EQ(host.closeLog, lastFirst);
  EXPECT_EQ(windows.ActiveIndex(), -1);
  EXPECT_TRUE(host.menu.empty());
}

TEST_F(WindowSetTest, IntervalSpectrumWindowLivesWhileATracesWindowFeedsIt) {
  TGrWin& a = Add(SignalTraces, 2000, {0, 20000}, {0, 20000});
  TGrWin& b = Add(SignalTraces, 2000, {0, 20000}, {0, 20000});
  a.IntervalSpectrumOn = b.IntervalSpectrumOn = true;
  TGrWin& spectrum = Add(IntervalSpectrum, 16.384, {0, 16384}, {0, 16384});
  spectrum.SourceWindow = &a;
  test::FakeGraphForm& spectrumForm = FormOf(2);

  // Its source goes, b still feeds it: it stays, and forgets the source.
  windows.CloseWindow(0);
  ASSERT_EQ(windows.IntervalSpectrumWindow(), &spectrum);
  EXPECT_EQ(spectrum.SourceWindow, nullptr);
  // The last feeding window goes: the spectrum window closes as well, and
  // its form's close event must not close another window.
  Add(Spectrum, 16.384, {0, 16384}, {0, 16384});
  windows.CloseWindow(0);
  EXPECT_EQ(spectrumForm.tag, -1);
  ASSERT_EQ(windows.Count(), 1);
  EXPECT_EQ(windows.Window(0).Type, Spectrum);
  EXPECT_EQ(FormOf(0).tag, 0);

  // Closing the spectrum window switches the feature off everywhere.
  TGrWin& c = Add(SignalTraces, 2000, {0, 20000}, {0, 20000});
  c.IntervalSpectrumOn = true;
  Add(IntervalSpectrum, 16.384, {0, 16384}, {0, 16384});
  windows.CloseWindow(2);
  EXPECT_FALSE(c.IntervalSpectrumOn);
}

TEST_F(WindowSetTest, SynchroniseSpreadsTheIntervalOverItsOwnDomain) {
  TGrWin& traces = Add(SignalTraces, 2000, {0, 20000}, {0, 20000});
  TGrWin& distortion = Add(Distortion, 2, {0, 1000}, {0, 1000});
  TGrWin& amplitude = Add(Amplitude, 20, {0, 2000}, {100, 200});
  TGrWin& below = Add(Spectrum, 10, {0, 1000}, {0, 1000});            // ends at 100 Hz
  TGrWin& partly = Add(IntervalSpectrum, 10, {1500, 3000}, {0, 10});  // from 150 Hz
  TGrWin& source = Add(Spectrum, 10, {0, 16384}, {1000, 2000});       // 100..200 Hz

  windows.SynchroniseRanges();
  EXPECT_EQ(distortion.DisplayedRange, (IndexRange{200, 400}));
  EXPECT_EQ(partly.DisplayedRange, (IndexRange{1500, 2000}));
  EXPECT_EQ(below.DisplayedRange, (IndexRange{0, 1000}));
  EXPECT_EQ(traces.DisplayedRange, (IndexRange{0, 20000}));
  EXPECT_EQ(amplitude.DisplayedRange, (IndexRange{100, 200}));
  EXPECT_EQ(FormOf(1).repaints, 1);
  EXPECT_EQ(FormOf(3).repaints, 0);
  EXPECT_EQ(FormOf(5).labelEditorCloses, 1);

  // Negative lags clamp to a time window's start.
  source.Type = Correlation;
  source.XPerUnit = 1000;
  source.DisplayedRange = {-100, 100};
  windows.SynchroniseRanges();
  EXPECT_EQ(traces.DisplayedRange, (IndexRange{0, 200}));
  // No interval to spread.
  source.DisplayedRange = {0, 0};
  windows.SynchroniseRanges();
  EXPECT_EQ(traces.DisplayedRange, (IndexRange{0, 200}));
}

TEST_F(WindowSetTest, DeleteAccumulatedKeepsTheNewestRecordingOnly) {
  TNFile s[3];
  TGrWin& group = Add(Amplitude, 20, {0, 2000}, {0, 2000});
  group.Accumulating = true;
  group.CurveCount = 3;
  group.SelectedCurve = 2;
  group.DefaultColour = 0xFF00FF;
  for (int i = 0; i < 3; ++i) {
    group.Curves[i].Recording = &s[i];
    group.Curves[i].Allocate(10);
  }
  // Three channels, not three recordings.
  TGrWin& channels = Add(SignalTraces, 2000, {0, 20000}, {0, 20000});
  channels.CurveCount = 3;
  EXPECT_TRUE(windows.AnyAccumulatingSeveral());

  windows.DeleteAccumulated();
  EXPECT_EQ(group.CurveCount, 1);
  EXPECT_EQ(group.SelectedCurve, 0);
  EXPECT_EQ(group.Curves[0].Colour, 0xFF00FF);
  EXPECT_EQ(group.Curves[0].Recording, &s[0]);
  EXPECT_EQ(group.Curves[1].Values, nullptr);
  EXPECT_EQ(released, (std::vector<TNFile*>{&s[1], &s[2]}));
  EXPECT_TRUE(windows.AnyAccumulating());
  EXPECT_FALSE(windows.AnyAccumulatingSeveral());
  EXPECT_EQ(channels.CurveCount, 3);

  windows.CloseWindow(0);  // its last snapshot is released too
  EXPECT_EQ(released.back(), &s[0]);
}

TEST_F(WindowSetTest, GraphsMenuChecksTheItemOfTheActiveWindowsType) {
  EXPECT_EQ(windows.OpenGraphsMenu(), (GraphsMenuState{true, 0}));
  TGrWin& w = windows.CreateWindow(recording);
  const std::pair<int, int> tagsAndCodes[] = {{4, 8}, {5, 6}, {6, 7}, {7, 5}, {8, 4}};
  for (auto [tag, code] : tagsAndCodes) {
    EXPECT_EQ(GraphTypeOfMenuTag(tag), code);
    w.Type = static_cast<std::uint8_t>(code);
    EXPECT_EQ(windows.OpenGraphsMenu(), (GraphsMenuState{true, tag}));
  }
  EXPECT_EQ(FormOf(0).labelEditorCloses, 5);
  for (int tag = 1; tag <= 13; ++tag) {
    w.Type = static_cast<std::uint8_t>(GraphTypeOfMenuTag(tag));
    EXPECT_EQ(GraphsMenuStateFor(&w).CheckedTag, tag);
  }
  w.Type = IntervalSpectrum;
  EXPECT_FALSE(GraphsMenuStateFor(&w).TypeItemsEnabled);
}

}  // namespace
}  // namespace kalvex

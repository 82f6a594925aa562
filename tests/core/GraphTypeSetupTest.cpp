// Setting a window's type through its dialog and recomputing every window for
// a new recording.

#include <gtest/gtest.h>

#include <functional>

#include "analysis/DistortionAnalysis.h"
#include "graphs/GraphTypeDialogs.h"
#include "graphs/Accumulation.h"
#include "graphs/GraphTypeSetup.h"
#include "recordings/TNFiles.h"
#include "support/FakeUserInteraction.h"
#include "support/FakeWindowSetHost.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

// Answers every dialog by running `choose` on the proposal (or cancelling).
struct ScriptedDialogs : GraphTypeDialogs {
  bool Edit(int type, TGrWin& proposal) override {
    asked.push_back(type);
    if (!choose) return false;
    choose(proposal);
    return true;
  }
  std::function<void(TGrWin&)> choose;
  std::vector<int> asked;
};

class GraphTypeSetupTest : public ::testing::Test {
 protected:
  GraphTypeSetupTest()
      : s(Velnarund, 1000, 4000, 4), windows(host), setup(windows, s.Context(), ui, dialogs) {
    host.set = &windows;
    s.rec.Origin = OriginFile;
    for (int slot = 0; slot < 6; ++slot) s.Set(slot, test::Tone(1000.0 * (slot + 1), 40, 4096));
    s.SetDerived(test::Tone(5000, 40, 4096));
  }

  TGrWin& NewWindow() { return windows.CreateWindow(s.rec); }

  test::LinkedFftw fftw;
  test::SignalRecording s;
  test::FakeWindowSetHost host;
  TAllWindows windows;
  test::FakeUserInteraction ui;
  ScriptedDialogs dialogs;
  GraphTypeSetup setup;
};

TEST_F(GraphTypeSetupTest, SameTypeWithOneMoreChannelKeepsTheCurvesOfChannelsThatStay) {
  TGrWin& w = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.AmplitudeChannels = {-1, -1, -1, -1, 1, 1, -1}; };
  setup.SetType(w, Amplitude);
  ASSERT_EQ(w.CurveCount, 2);
  const auto rmValues = w.Curves[0].Values;
  const auto bpValues = w.Curves[1].Values;
  dialogs.choose = [](TGrWin& p) { p.AmplitudeChannels = {-1, -1, -1, 0, 1, 1, -1}; };
  setup.SetType(w, Amplitude);
  ASSERT_EQ(w.CurveCount, 3);
  EXPECT_EQ(w.Curves[1].Values, rmValues);  // RM moved down one place, not recomputed
  EXPECT_EQ(w.Curves[2].Values, bpValues);
  EXPECT_EQ(w.Curves[0].Name, "Mass");
  EXPECT_GT(w.Curves[0].Values->Max, 0);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(w.Curves[c].Computed, -1);

  // Another measure changes every curve.
  dialogs.choose = [](TGrWin& p) { p.AmplitudeMeasure = 1; };
  setup.SetType(w, Amplitude);
  EXPECT_NE(w.Curves[1].Values, rmValues);
}

TEST_F(GraphTypeSetupTest, CancelRefusalAndSettingsOnlyTypesLeaveTheGraph) {
  TGrWin& w = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.SpectrumChannels = {0, -1, -1, -1, -1, -1, -1}; };
  setup.SetType(w, Spectrum);
  ASSERT_EQ(w.Type, Spectrum);
  const auto values = w.Curves[0].Values;

  dialogs.choose = nullptr;  // Cancel
  setup.SetType(w, Phase);
  EXPECT_EQ(w.Type, Spectrum);
  EXPECT_EQ(w.Curves[0].Values, values);

  dialogs.choose = [](TGrWin& p) { p.DistortionDisplay = 1; };
  setup.SetType(w, Distortion);
  EXPECT_EQ(ui.infos, std::vector<std::string>{"2-d и 3-d еще не поддерживаются"});
  EXPECT_EQ(w.Type, Spectrum);
  EXPECT_EQ(w.Curves[0].Values, values);

  dialogs.choose = [](TGrWin& p) { p.ServoOptions = {true, false}; };
  setup.SetType(w, Servo);
  EXPECT_EQ(w.Type, Spectrum);
  EXPECT_EQ(w.CurveCount, 0);
  EXPECT_TRUE(w.ServoOptions[0]);
}

TEST_F(GraphTypeSetupTest, PhaseInMode4IsAppliedWithoutDialogAndNoSignalWindowsRefuse) {
  test::SignalRecording vib(Ombrel16, 1000, 4000, 4);
  TAllWindows set(host);
  GraphTypeSetup setup4(set, vib.Context(), ui, dialogs);
  TGrWin& w = set.CreateWindow(vib.rec);
  w.PhaseChannels = {-1, 0, -1, -1, -1, -1, -1};
  setup4.SetType(w, Phase);
  EXPECT_TRUE(dialogs.asked.empty());
  EXPECT_EQ(w.Type, Phase);

  w.RecordingMode = NoSignal;
  setup4.SetType(w, Spectrum);
  EXPECT_EQ(w.Type, Phase);
}

TEST_F(GraphTypeSetupTest, DisplayedRangeStaysWherePossible) {
  TGrWin& w = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.TraceChannels = {0, -1, -1, -1, -1, -1, -1}; };
  setup.SetType(w, SignalTraces);
  EXPECT_EQ(w.DisplayedRange, (IndexRange{0, 4000}));  // 0..0 opens the whole range
  w.DisplayedRange = {1000, 2000};
  dialogs.choose = [](TGrWin& p) { p.AmplitudeChannels = {0, -1, -1, -1, -1, -1, -1}; };
  setup.SetType(w, Amplitude);
  EXPECT_EQ(w.DisplayedRange, (IndexRange{0, 40}));  // beyond the 40 frames: back to the start
}

// Regression: a type change kept the old type's range where the x axis means
// something else (Phase -> Spectrum showed 0-2.4 Hz), and its y scale (Phase
// -> Frequency vs Time kept +-180).
TEST_F(GraphTypeSetupTest, DisplayedRangeIsKeptOnlyOnTheSameXScale) {
  TGrWin& w = NewWindow();
  const auto set = [&](int type, std::function<void(TGrWin&)> choose, IndexRange shown) {
    dialogs.choose = std::move(choose);
    setup.SetType(w, type);
    const IndexRange before = w.DisplayedRange;
    w.DisplayedRange = shown;
    return before;
  };
  const auto phase = [](TGrWin& p) { p.PhaseChannels = {-1, 0, -1, -1, -1, -1, -1}; };
  set(Phase, phase, {5, 10});
  w.Curves[0].Zoom = 4;
  EXPECT_EQ(set(Phase, [](TGrWin& p) { p.PhaseChannels = {-1, -1, 0, -1, -1, -1, -1}; }, {5, 10}),
            (IndexRange{5, 10}));  // the same type with another channel
  EXPECT_EQ(set(Amplitude, [](TGrWin& p) { p.AmplitudeChannels = {0, -1, -1, -1, -1, -1, -1}; },
                {5, 10}),
            (IndexRange{5, 10}));  // the same frame axis
  EXPECT_EQ(set(Spectrum, [](TGrWin& p) { p.SpectrumChannels = {0, -1, -1, -1, -1, -1, -1}; },
                {5, 10}),
            w.FullRange);
  set(Phase, phase, {5, 10});
  EXPECT_EQ(set(FrequencyVsTime, [](TGrWin&) {}, {5, 10}), (IndexRange{5, 10}));
  EXPECT_EQ(w.ScaleMode, SymmetricAboutCentre);  // not Phase's centre and half range
  EXPECT_EQ(w.Curves[0].Zoom, 1.0);
  EXPECT_EQ(w.Curves[0].Centre, 0.0);
  EXPECT_EQ(set(Correlation, [](TGrWin&) {}, {0, 10}), w.FullRange);
  EXPECT_LT(w.FullRange.First, 0);  // the negative lags are shown
  set(AccCompare, [](TGrWin&) {}, {0, 1});
  EXPECT_EQ(set(SignalTraces, [](TGrWin& p) { p.TraceChannels = {0, -1, -1, -1, -1, -1, -1}; },
                {0, 1}),
            (IndexRange{0, 4000}));
}

// Regression: a type set on an accumulating window copied the window before
// it left accumulation, so the copy named the released snapshots again; a
// later release then freed another window's snapshot living at that address.
// Servo left the window accumulating with no curve and no way out.
TEST_F(GraphTypeSetupTest, ATypeSetOnAnAccumulatingWindowLeavesTheGroupFirst) {
  TNFiles files;
  setup.SetLeaveAccumulation([&](TGrWin& w) { SwitchAccumulationOff(w, files, w.GroupCaption); });
  windows.SetRecordingRelease([&](TNFile& item) { files.ReleaseReference(item); });
  const auto references = [&](const TNFile* item) {
    int n = 0;
    for (int i = 0; i < windows.Count(); ++i)
      for (const CurveSlot& c : windows.Window(i).Curves) n += c.Recording == item ? 1 : 0;
    return n;
  };
  dialogs.choose = [](TGrWin& p) { p.AmplitudeChannels = {0, -1, -1, -1, -1, -1, -1}; };
  TGrWin& w0 = NewWindow();
  setup.SetType(w0, Amplitude);
  ASSERT_TRUE(SwitchAccumulationOn(w0, files, s.rec));
  TGrWin& w1 = NewWindow();
  setup.SetType(w1, Amplitude);
  ASSERT_TRUE(SwitchAccumulationOn(w1, files, s.rec));
  TNFile* shared = files.Last();
  ASSERT_EQ(shared->RefCount, 2);

  dialogs.choose = [](TGrWin& p) { p.SpectrumChannels = {0, -1, -1, -1, -1, -1, -1}; };
  setup.SetType(w1, Spectrum);
  EXPECT_FALSE(w1.Accumulating);
  for (const CurveSlot& c : w1.Curves) EXPECT_EQ(c.Recording, nullptr);
  ASSERT_TRUE(files.Contains(*shared));
  EXPECT_EQ(shared->RefCount, 1);
  ASSERT_TRUE(SwitchAccumulationOn(w1, files, s.rec));
  EXPECT_EQ(shared->RefCount, references(shared));
  windows.CloseWindow(windows.IndexOf(&w1));
  ASSERT_TRUE(files.Contains(*shared));
  EXPECT_EQ(w0.Curves[0].Recording, shared);

  dialogs.choose = [](TGrWin& p) { p.ServoOptions = {true, false}; };
  setup.SetType(w0, Servo);
  EXPECT_FALSE(w0.Accumulating);
  EXPECT_EQ(w0.CurveCount, 0);
  EXPECT_EQ(files.Count(), 0);  // the last reference went with the group
}

TEST_F(GraphTypeSetupTest, IntervalSpectrumWindowFollowsItsTracesWindow) {
  TGrWin& traces = NewWindow();
  dialogs.choose = [](TGrWin& p) {
    p.TraceChannels = {0, -1, -1, -1, -1, -1, -1};
    p.IntervalSpectrumOn = true;
  };
  setup.SetType(traces, SignalTraces);
  TGrWin* spectrum = windows.IntervalSpectrumWindow();
  ASSERT_NE(spectrum, nullptr);
  EXPECT_EQ(spectrum->SourceWindow, &traces);
  // The traces' first curve is selected from the start, so the spectrum is
  // there at once.
  EXPECT_EQ(traces.SelectedCurve, 0);
  EXPECT_EQ(spectrum->CurveCount, 1);
  traces.DisplayedRange = {1000, 3000};
  setup.FeedIntervalSpectrum(traces);
  ASSERT_EQ(spectrum->CurveCount, 1);
  EXPECT_EQ(spectrum->Curves[0].Name, "REF");
  EXPECT_EQ(spectrum->Curves[0].Values->Count, 16384);

  // The same range in every window reruns the spectrum of its source.
  TGrWin& other = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.TraceChannels = {0, -1, -1, -1, -1, -1, -1}; };
  setup.SetType(other, SignalTraces);
  other.DisplayedRange = {200, 900};
  windows.SetActiveIndex(windows.IndexOf(&other));
  const std::vector<double> before = spectrum->Curves[0].Values->Values;
  SynchroniseRanges(windows, s.Context());
  EXPECT_EQ(traces.DisplayedRange, (IndexRange{200, 900}));
  EXPECT_EQ(spectrum->SourceWindow, &traces);
  EXPECT_NE(spectrum->Curves[0].Values->Values, before);
  windows.CloseWindow(windows.IndexOf(&other));

  dialogs.choose = [](TGrWin& p) { p.IntervalSpectrumOn = false; };
  setup.SetType(traces, SignalTraces);
  EXPECT_EQ(windows.IntervalSpectrumWindow(), nullptr);  // orphaned: closed
  EXPECT_EQ(windows.Count(), 1);
}

TEST_F(GraphTypeSetupTest, RecomputeKeepsTheValueAtTheBandEdgeAndTheDistortionRow) {
  TGrWin& amp = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.AmplitudeChannels = {-1, -1, -1, -1, 1, -1, -1}; };
  setup.SetType(amp, Amplitude);
  // As drawn: band 0..200 px, zero at the bottom (scale mode 1), zoomed so
  // that 5.0 sits at the band top.
  CurveSlot& c = amp.Curves[0];
  c.BandTop = 0;
  c.BandBottom = 200;
  c.BandHeight = -200;
  c.ZeroLine = 200;
  c.Zoom = 2.0;
  c.Scale = 0.1;  // 200 px = 5.0 × 200 × 0.1 × 2

  TGrWin& dist = NewWindow();
  dialogs.choose = [](TGrWin& p) { p.DistortionChannel = 0; };
  setup.SetType(dist, Distortion);
  ASSERT_TRUE(StepDistortion(s.Context(), dist, 4));
  ASSERT_EQ(dist.TimePoint, 3);

  TGrWin& group = NewWindow();
  group.Accumulating = true;

  s.rec.ClearAnalyses();
  s.Set(4, test::Tone(2000, 40, 4096));
  setup.RecomputeAll();
  EXPECT_EQ(c.Zoom, 1.0);
  EXPECT_DOUBLE_EQ((c.BandTop - c.ZeroLine) / c.BandHeight / c.Scale / c.Zoom, 5.0);
  EXPECT_EQ(dist.TimePoint, 3);
  EXPECT_EQ(dist.Curves[0].Values->Count, 2000);
  EXPECT_EQ(group.Type, NoGraphType);  // accumulating windows take recordings another way
}

}  // namespace
}  // namespace kalvex

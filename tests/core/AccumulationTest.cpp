// Accumulation mode: the snapshot each curve holds through switching on,
// insertions, the eight-curve limit, switching off, "Удалить накопл." and
// closing; the group colours; the record list of the caption.

#include <gtest/gtest.h>

#include <vector>

#include "graphs/Accumulation.h"
#include "graphs/Captions.h"
#include "graphs/TAllWindows.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "support/FakeWindowSetHost.h"

namespace kalvex {
namespace {

constexpr std::int32_t Red = 0xFF0000, Blue = 0x0000FF, Green = 0x008000, Brown = 0x804000,
                       Magenta = 0xFF00FF, Orange = 0xFF8040, Lime = 0x00FF00, Sky = 0x0080FF;

class AccumulationTest : public ::testing::Test {
 protected:
  AccumulationTest() {
    host.set = &windows;
    windows.SetRecordingRelease([this](TNFile& f) { files.ReleaseReference(f); });
    rec.Mode = Velnarund;
    rec.Origin = OriginFile;
    rec.Name = "/data/run1.qrm";
  }
  // An amplitude window of channel BP, as the type set-up leaves it.
  TGrWin& AmplitudeWindow() {
    TGrWin& w = windows.CreateWindow(rec);
    w.Type = Amplitude;
    w.AmplitudeChannels[5] = 0;
    w.CurveCount = 1;
    w.Curves[0].Name = "BP";
    w.Curves[0].Colour = Green;
    w.Curves[0].Allocate(4);
    return w;
  }
  // Stands in for the analysis: values tagged with the snapshot number, and a
  // channel colour that the group colours must replace.
  void Compute(TGrWin& w) {
    ++computed;
    w.Curves[0].Allocate(4).Values[0] = w.Curves[0].Recording->Number;
    w.Curves[0].Colour = 0x123456;
  }
  TNFile* Arrive() {
    return AccumulateRecording(windows, files, rec, [this](TGrWin& w) { Compute(w); });
  }
  static std::vector<std::int32_t> Colours(const TGrWin& w) {
    std::vector<std::int32_t> c;
    for (int i = 0; i < w.CurveCount; ++i) c.push_back(w.Curves[i].Colour);
    return c;
  }

  TFrmFile rec;
  TNFiles files;
  test::FakeWindowSetHost host;
  TAllWindows windows{host};
  int computed = 0;
};

TEST_F(AccumulationTest, InsertionsColourTheTwoNewestCurves) {
  TGrWin& w = AmplitudeWindow();
  SwitchAccumulationOn(w, files, rec);
  TNFile* s2 = Arrive();
  EXPECT_EQ(s2, files.Last());
  EXPECT_EQ(Colours(w), (std::vector<std::int32_t>{Blue, Green}));
  Arrive();
  EXPECT_EQ(Colours(w), (std::vector<std::int32_t>{Blue, Brown, Green}));
  for (int i = 0; i < 5; ++i) Arrive();
  EXPECT_EQ(Colours(w),
            (std::vector<std::int32_t>{Blue, Red, Sky, Lime, Orange, Magenta, Brown, Green}));
  // Red's successor is curve 0's blue: curve 1 passes on to green, which the
  // dropped oldest curve no longer uses.
  Arrive();
  EXPECT_EQ(Colours(w),
            (std::vector<std::int32_t>{Blue, Green, Red, Sky, Lime, Orange, Magenta, Brown}));
  Arrive();
  EXPECT_EQ(w.Curves[1].Colour, Brown);
  EXPECT_EQ(computed, 9);
}

TEST_F(AccumulationTest, TheNinthRecordingDropsTheOldestWithItsSnapshot) {
  TGrWin& w = AmplitudeWindow();
  SwitchAccumulationOn(w, files, rec);
  for (int i = 0; i < 7; ++i) Arrive();
  ASSERT_EQ(w.CurveCount, 8);
  TNFile* oldest = w.Curves[7].Recording;
  auto oldestValues = w.Curves[7].Values;
  Arrive();
  EXPECT_EQ(w.CurveCount, 8);
  EXPECT_FALSE(files.Contains(*oldest));
  EXPECT_EQ(oldestValues.use_count(), 1);  // no curve holds them any more
  EXPECT_EQ(files.Count(), 8);
  for (int i = 0; i < 8; ++i) {
    // Newest first, each curve with the values of its own recording.
    EXPECT_EQ(w.Curves[i].Recording->Number, 9 - i);
    EXPECT_EQ(w.Curves[i].Recording->RefCount, 1);
    EXPECT_EQ(w.Curves[i].Values->Values[0], 9 - i);
    EXPECT_EQ(w.Curves[i].Name, "BP");
  }
  EXPECT_EQ(WindowCaption(w, rec), "Group: Amplitude Fundamental[BP] [S9,S8,S7,S6,S5,S4,S3,S2]");
}

TEST_F(AccumulationTest, WindowsJoinWithTheNewestSnapshotAndOnlyTheyTakeRecordings) {
  TGrWin& plain = AmplitudeWindow();
  plain.CurveCount = 2;  // two channels: cannot accumulate
  EXPECT_FALSE(SwitchAccumulationOn(plain, files, rec));
  EXPECT_EQ(Arrive(), nullptr);  // no snapshot while no window accumulates
  TGrWin& a = AmplitudeWindow();
  TGrWin& b = AmplitudeWindow();
  ASSERT_TRUE(SwitchAccumulationOn(a, files, rec));
  EXPECT_EQ(a.Curves[0].Colour, Blue);
  EXPECT_EQ(a.DefaultColour, Green);
  EXPECT_EQ(a.GroupCaption, "BP");
  Arrive();
  SwitchAccumulationOn(b, files, rec);  // joins with the newest recording, S2
  EXPECT_EQ(b.Curves[0].Recording->RefCount, 2);
  rec.Name = "/data/run3.qrm";
  TNFile* s3 = Arrive();
  EXPECT_EQ(s3->RefCount, 2);
  EXPECT_EQ(s3->Name, "/data/run3.qrm");
  EXPECT_EQ(plain.Curves[0].Recording, nullptr);
  EXPECT_EQ(WindowCaption(a, rec), "Group: Amplitude Fundamental[BP] [S3,S2,S1]");
  EXPECT_EQ(WindowCaption(b, rec), "Group: Amplitude Fundamental[BP] [S3,S2]");
  EXPECT_EQ(files.Count(), 3);
}

TEST_F(AccumulationTest, EveryWayOutOfTheGroupReleasesTheSnapshots) {
  TGrWin& off = AmplitudeWindow();
  TGrWin& kept = AmplitudeWindow();
  TGrWin& dropped = AmplitudeWindow();
  for (TGrWin* w : {&off, &kept, &dropped}) SwitchAccumulationOn(*w, files, rec);
  Arrive();
  Arrive();  // S1..S3, each used by three curves

  off.SelectedCurve = 2;
  ASSERT_TRUE(SwitchAccumulationOff(off, files, "BP-own"));
  EXPECT_FALSE(off.Accumulating);
  EXPECT_EQ(off.CurveCount, 1);
  EXPECT_EQ(off.SelectedCurve, 0);
  EXPECT_EQ(off.Curves[0].Name, "BP-own");
  EXPECT_EQ(off.Curves[0].Colour, Green);
  EXPECT_EQ(off.Curves[0].Recording, nullptr);
  ASSERT_NE(off.Curves[0].Values, nullptr);
  EXPECT_EQ(off.Curves[1].Values, nullptr);
  EXPECT_EQ(files.Last()->RefCount, 2);

  windows.DeleteAccumulated([](const TGrWin&) { return std::string("own"); });
  EXPECT_TRUE(kept.Accumulating);
  EXPECT_EQ(kept.CurveCount, 1);
  EXPECT_EQ(kept.Curves[0].Name, "own");
  EXPECT_EQ(off.Curves[0].Name, "BP-own");  // not accumulating: untouched
  ASSERT_EQ(files.Count(), 1);              // S1 and S2 went; S3 stays with both curves 0
  EXPECT_EQ(files.Last()->Number, 3);
  EXPECT_EQ(files.Last()->RefCount, 2);

  DropCurvesAndGroup(dropped, files);
  EXPECT_FALSE(dropped.Accumulating);
  EXPECT_EQ(dropped.CurveCount, 0);
  windows.CloseWindow(windows.IndexOf(&kept));
  EXPECT_EQ(files.Count(), 0);

  // Entering again starts from the recording now current, not a stale one.
  rec.Name = "/data/run9.qrm";
  ASSERT_TRUE(SwitchAccumulationOn(off, files, rec));
  EXPECT_EQ(off.Curves[0].Recording->Name, "/data/run9.qrm");
  EXPECT_EQ(off.Curves[0].Recording->Number, 1);
}

}  // namespace
}  // namespace kalvex

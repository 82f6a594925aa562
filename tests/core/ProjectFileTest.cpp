// The project file: what closing writes, byte for byte, and what the next
// start makes of it; files it must not trust.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <map>

#include "acquisition/CommandBlock.h"
#include "graphs/GraphSetup.h"
#include "recordings/ProjectFile.h"
#include "support/FakeFileStore.h"
#include "support/FakeUserInteraction.h"
#include "support/FakeWindowSetHost.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr char Path[] = "/work/Kalvex.prj";

struct FakeProjectHost : ProjectWindowHost {
  ProjectRect MainWindowRect() override { return main; }
  void SetMainWindowRect(const ProjectRect& r) override { main = r; }
  void SetMainWindowTitle(const std::string& t) override { title = t; }
  ProjectRect FormRect(const TGrWin& w) override { return rects[&w]; }
  void SetFormRect(TGrWin& w, const ProjectRect& r) override { rects[&w] = r; }

  ProjectRect main{10, 20, 1200, 800};
  std::string title;
  std::map<const TGrWin*, ProjectRect> rects;
};

// One run of the program: its recording (mode 0, 4 s at 1000/s), windows
// and the project file in a shared store.
struct ProgramRun {
  explicit ProgramRun(test::FakeFileStore& store) : file(State(), host, store, Path) {
    windowHost.set = &windows;
    s.values.SampleRateIndex = 1;
  }
  ProjectState State() { return {s.rec, s.values, s.settings, choices, block, windows}; }
  TGrWin& Add(int type, int option = 0) {
    TGrWin& w = windows.CreateWindow(s.rec);
    if (type != NoGraphType) SetTypeWithDefaults(s.Context(), w, type, option);
    host.rects[&w] = {5 * windows.Count(), 7, 650, 356};
    return w;
  }

  test::SignalRecording s{Velnarund, 1000, 4000, 4};
  AcquisitionChoices choices;
  CommandBlock block;
  test::FakeWindowSetHost windowHost;
  TAllWindows windows{windowHost};
  FakeProjectHost host;
  ProjectFile file;
  test::FakeUserInteraction ui;
};

template <class T>
T At(const std::vector<std::uint8_t>& b, std::size_t offset) {
  std::array<std::uint8_t, sizeof(T)> raw{};
  std::memcpy(raw.data(), &b[offset], sizeof(T));
  return std::bit_cast<T>(raw);  // the machine is little-endian, like the file
}

std::string ShortString(const std::vector<std::uint8_t>& b, std::size_t offset) {
  return {reinterpret_cast<const char*>(&b[offset + 1]), b[offset]};
}

class ProjectFileTest : public ::testing::Test {
 protected:
  test::LinkedFftw fftw;
  test::FakeFileStore store;
};

TEST_F(ProjectFileTest, EveryFieldAtItsOffset) {
  ProgramRun a(store);
  a.s.rec.Name = std::string(300, 'x');
  a.s.rec.TriggerLevel = 1.25;
  a.s.rec.SimilarityChannels[1] = {true, true, "Vib2"};
  a.s.values.PortNumber = 3;
  a.s.settings.ChannelCalibration[5] = 1.05;
  TGrWin& w = a.Add(Phase);
  w.TimePoint = -1;
  w.SeparateAxes = true;
  w.AveragingMasks = {2, 4, 6, 8, 10, 12, 14};
  w.AverageShown[6] = true;
  w.AverageUnitCode = 3;
  w.Curves[1].Name = "BP-REF";
  w.Curves[1].Zoom = 2.5;
  a.file.WriteProjectFile(a.ui);

  const std::vector<std::uint8_t>& b = store.Bytes(Path);
  ASSERT_EQ(b.size(), 452u + 888u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "KVXP");
  EXPECT_EQ(At<std::int32_t>(b, 4), 22);
  EXPECT_EQ(At<std::int16_t>(b, 14), 3);
  EXPECT_EQ(At<std::int16_t>(b, 22), 1);
  EXPECT_EQ(At<std::int16_t>(b, 24), 4);
  EXPECT_EQ(At<double>(b, 26), 1.25);
  EXPECT_EQ(b[53], 1);  // slot 1: present, attenuated, "Vib2"
  EXPECT_EQ(b[54], 1);
  EXPECT_EQ(ShortString(b, 55), "Vib2");
  EXPECT_EQ(At<std::int32_t>(b, 108), 20000);
  EXPECT_EQ(ShortString(b, 176), std::string(255, 'x'));
  EXPECT_EQ(At<std::int32_t>(b, 432), 1);
  EXPECT_EQ(At<std::int32_t>(b, 444), 800);  // height before width
  EXPECT_EQ(At<std::int32_t>(b, 448), 1200);

  const std::size_t r = 452;
  EXPECT_EQ(At<std::int32_t>(b, r + 0), 5);
  EXPECT_EQ(At<std::int32_t>(b, r + 8), 650);
  EXPECT_EQ(b[r + 16], Phase);
  EXPECT_EQ(At<double>(b, r + 48), w.XPerUnit);
  EXPECT_EQ(At<std::int16_t>(b, r + 154 + 2 * 5), w.PhaseChannels[5]);
  EXPECT_EQ(At<std::int32_t>(b, r + 184), -1);
  EXPECT_EQ(b[r + 210], 1);
  EXPECT_EQ(At<std::int32_t>(b, r + 216), w.DisplayedRange.Last);
  EXPECT_EQ(At<std::int32_t>(b, r + 240), w.CurveCount);
  EXPECT_EQ(b[r + 244], 1);
  EXPECT_EQ(b[r + 247], 3);
  EXPECT_EQ(b[r + 248], 2);
  EXPECT_EQ(b[r + 254], 14);
  EXPECT_EQ(b[r + 262], 1);
  EXPECT_EQ(ShortString(b, r + 264 + 72), "BP-REF");
  EXPECT_EQ(At<std::int32_t>(b, r + 264 + 72 + 24), w.Curves[1].Colour);
  EXPECT_EQ(At<double>(b, r + 264 + 72 + 48), 2.5);
  EXPECT_EQ(At<double>(b, r + 840 + 40), 1.05);
  // A name of exactly the longest length comes back whole.
  ProgramRun next(store);
  ASSERT_TRUE(next.file.ReadProjectFile());
  EXPECT_EQ(next.s.rec.Name, std::string(255, 'x'));
}

TEST_F(ProjectFileTest, WindowsOfEveryTypeComeBackAsTheyWere) {
  ProgramRun a(store);
  a.s.rec.PolarityPositive = false;
  a.s.settings.InputSize = FundamentalInputSize::WholeSignal;
  a.s.settings.ChannelCalibration = {1.0, 1.01, 1.02, 1.03, 1.04, 1.05};
  a.s.rec.Name = "/data/velnarund.qrm";
  a.choices.TriggerEdgeIndex = 2;
  for (int type = SignalTraces; type <= AccCompare; ++type) a.Add(type, 1);
  a.Add(NoGraphType);
  TGrWin& traces = a.windows.Window(0);
  traces.IntervalSpectrumOn = true;
  traces.AveragingMasks = {2, 6, 14, 30, 62, 4, 8};  // as a Similarity window keeps them
  traces.AverageShown = {true, false, true, false, false, false, true};
  TGrWin& spectrum = a.Add(NoGraphType);
  spectrum.Type = IntervalSpectrum;
  spectrum.SourceWindow = &traces;
  ScaleWindow(a.s.Context(), spectrum);
  spectrum.DisplayedRange = spectrum.FullRange;
  TGrWin& zoomed = a.windows.Window(1);
  zoomed.Curves[0].Zoom = 3;
  zoomed.Curves[0].Centre = 12.5;
  zoomed.ScaleMode = FitCentreHalfRange;
  zoomed.DisplayedRange = {4, 20};
  TGrWin& group = a.windows.Window(5);  // Spectrum: three accumulated curves
  group.Accumulating = true;
  group.CurveCount = 3;
  group.SelectedCurve = 2;
  a.file.WriteProjectFile(a.ui);
  ASSERT_TRUE(a.ui.errors.empty());

  ProgramRun b(store);
  ASSERT_TRUE(b.file.ReadProjectFile());
  EXPECT_TRUE(b.windows.Count() == 0 && b.block.ParametersSet());
  EXPECT_EQ(b.host.title, "Программа обработки сигналов: Quorimeter [Velnarund]");
  EXPECT_EQ(b.host.main, a.host.main);
  EXPECT_EQ(b.s.rec.Name, "/data/velnarund.qrm");
  EXPECT_EQ(b.s.rec.Origin, OriginNone);
  EXPECT_EQ(b.s.rec.RecordLength, 4500);
  EXPECT_EQ(b.choices.TriggerEdgeIndex, 2);
  b.file.RestoreProjectWindows();
  ASSERT_EQ(b.windows.Count(), a.windows.Count());
  EXPECT_FALSE(b.s.rec.PolarityPositive);
  EXPECT_EQ(b.s.settings.InputSize, FundamentalInputSize::WholeSignal);
  EXPECT_EQ(b.s.settings.ChannelCalibration, a.s.settings.ChannelCalibration);
  for (int i = 0; i < a.windows.Count(); ++i) {
    const TGrWin& was = a.windows.Window(i);
    const TGrWin& now = b.windows.Window(i);
    ProjectWindowExtras x{a.host.rects[&was], was.Accumulating ? 1 : was.CurveCount, 2, false,
                          a.s.settings.ChannelCalibration};
    TGrWin expected = was;
    if (was.Accumulating) expected.SelectedCurve = 0;
    EXPECT_EQ(EncodeWindowRecord(now, x), EncodeWindowRecord(expected, x)) << "window " << i;
    EXPECT_EQ(b.host.rects[&now], a.host.rects[&was]);
    for (const CurveSlot& c : now.Curves) EXPECT_FALSE(c.Values);
  }
  EXPECT_EQ(b.windows.Window(5).CurveCount, 1);
  EXPECT_EQ(b.windows.Window(1).Curves[0].Zoom, 3);
  EXPECT_EQ(b.windows.Window(1).DisplayedRange, (IndexRange{4, 20}));
  EXPECT_EQ(b.windows.IntervalSpectrumWindow()->SourceWindow, &b.windows.Window(0));
}

TEST_F(ProjectFileTest, WithoutWindowsTheProcessWideSettingsStartAfresh) {
  ProgramRun a(store);
  a.s.settings.ChannelCalibration.fill(1.05);
  a.s.rec.PolarityPositive = false;
  a.file.WriteProjectFile(a.ui);
  EXPECT_EQ(store.Bytes(Path).size(), 452u);
  EXPECT_EQ(At<std::int32_t>(store.Bytes(Path), 432), 0);

  ProgramRun b(store);
  ASSERT_TRUE(b.file.ReadProjectFile());
  b.file.RestoreProjectWindows();
  EXPECT_EQ(b.s.settings.ChannelCalibration, (std::array<double, 6>{1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(b.s.rec.PolarityPositive);
  EXPECT_EQ(b.s.settings.InputSize, FundamentalInputSize::NearestPowerOfTwo);
}

TEST_F(ProjectFileTest, ForeignOrUntrustworthyFilesAreIgnored) {
  ProgramRun a(store);
  a.s.rec.Mode = Dodida;
  a.file.WriteProjectFile(a.ui);
  const std::vector<std::uint8_t> good = store.Bytes(Path);
  {
    ProgramRun b(store);
    ASSERT_TRUE(b.file.ReadProjectFile());
    EXPECT_EQ(b.s.values.ChannelOffset, 2);  // Dodida's calibration offset
  }
  auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes, std::size_t size = 452) {
    std::vector<std::uint8_t> b = good;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    b.resize(size);
    return b;
  };
  const double nan = std::nan("");
  std::vector<std::uint8_t> nanLevel(8);
  std::memcpy(nanLevel.data(), &nan, 8);
  const std::vector<std::vector<std::uint8_t>> damaged = {
      patched(0, {}, 451),   patched(0, {'K', 'V', 'X', 'Q'}),
      patched(4, {21}),      patched(10, {9}),
      patched(8, {2}),       patched(22, {5}),
      patched(24, {70}),                        // 70 s at 1000/s: beyond 65 535 samples
      patched(26, nanLevel), patched(44, {9}),  // a similarity name of 9 characters
      patched(435, {0x80}),                     // a negative window count
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    store.Put(Path, damaged[i]);
    ProgramRun b(store);
    b.s.values.SampleRateIndex = 0;
    EXPECT_FALSE(b.file.ReadProjectFile()) << i;
    EXPECT_EQ(b.s.rec.Mode, Velnarund) << i;
    EXPECT_FALSE(b.block.ParametersSet()) << i;
  }
  store.files.erase(Path);
  EXPECT_FALSE(ProgramRun(store).file.ReadProjectFile());
}

TEST_F(ProjectFileTest, AWindowRecordOutOfRangeEndsTheReplayThere) {
  ProgramRun a(store);
  a.Add(Distortion);
  a.Add(Amplitude);
  a.Add(SignalTraces);
  a.file.WriteProjectFile(a.ui);
  const std::vector<std::uint8_t> good = store.Bytes(Path);
  const std::size_t r = 452 + 888;  // the second record
  struct Damage {
    std::size_t at;
    std::int32_t value;
    std::size_t width;
    const char* reason;
  };
  for (const Damage& d :
       {Damage{16, 15, 1, "graphType"}, Damage{16, 14, 1, "graphType"},
        Damage{17, 4, 1, "scaleMode"}, Damage{24, 7, 4, "correlationReference"},
        Damage{56, 9, 2, "selections"}, Damage{184, 0, 4, "timePoint"},
        Damage{188, -1, 4, "waterfallRows"}, Damage{188, INT32_MIN, 4, "waterfallRows"},
        Damage{212, 900, 4, "displayedRange"}, Damage{236, 5, 4, "selectedCurve"},
        Damage{240, 9, 4, "curveCount"}, Damage{264, 16, 1, "curves"},
        // The high halves of calibration factors 0.0 and 2.0: outside the range.
        Damage{844, 0, 4, "calibration"}, Damage{884, 0x40000000, 4, "calibration"},
        Damage{0, 0, 0, "short"}}) {
    std::vector<std::uint8_t> b = good;
    std::memcpy(&b[r + d.at], &d.value, d.width);
    if (d.width == 0) b.resize(r + 100);
    const ProjectContents read = ReadProjectBytes(b);
    EXPECT_EQ(read.EndedAt, 1) << d.reason;
    EXPECT_EQ(read.EndReason, d.reason);
    store.Put(Path, b);
    ProgramRun next(store);
    ASSERT_TRUE(next.file.ReadProjectFile());
    next.file.RestoreProjectWindows();
    EXPECT_EQ(next.windows.Count(), 1) << d.reason;
  }
  // The most curves a window holds is in range.
  std::vector<std::uint8_t> full = good;
  std::memcpy(&full[r + 240], &MaxCurves, 4);
  EXPECT_EQ(ReadProjectBytes(full).Windows.size(), 3u);
}

// What the set as a whole decides: the interval spectrum window is fed by
// the first traces window that shows one, a second one ends the replay, and
// a time row that the restored parameters do not give is dropped.
TEST_F(ProjectFileTest, TheRestoredSetKeepsOneFedSpectrumAndRowsThatExist) {
  ProgramRun a(store);
  TGrWin& first = a.Add(SignalTraces);
  a.Add(SignalTraces).IntervalSpectrumOn = first.IntervalSpectrumOn = true;
  TGrWin& waterfall = a.Add(Distortion);
  const int rows = waterfall.WaterfallRows;
  ASSERT_GT(rows, 0);
  waterfall.WaterfallRows = rows + 1;
  waterfall.TimePoint = rows;
  for (int k = 0; k < 2; ++k) {
    TGrWin& spectrum = a.Add(NoGraphType);
    spectrum.Type = IntervalSpectrum;
    spectrum.SourceWindow = &first;
    ScaleWindow(a.s.Context(), spectrum);
    spectrum.DisplayedRange = spectrum.FullRange;
  }
  a.file.WriteProjectFile(a.ui);
  EXPECT_EQ(ReadProjectBytes(store.Bytes(Path)).EndReason, "graphType");

  ProgramRun b(store);
  ASSERT_TRUE(b.file.ReadProjectFile());
  b.file.RestoreProjectWindows();
  ASSERT_EQ(b.windows.Count(), 4);
  EXPECT_EQ(b.windows.IntervalSpectrumWindow()->SourceWindow, &b.windows.Window(0));
  EXPECT_EQ(b.windows.Window(2).WaterfallRows, rows);
  EXPECT_EQ(b.windows.Window(2).TimePoint, -1);
}

TEST_F(ProjectFileTest, AFailedWriteIsReportedAndLeavesTheOldFile) {
  ProgramRun a(store);
  store.Put(Path, std::vector<std::uint8_t>{1, 2, 3});
  store.failing[Path] = "No space left on device";
  a.file.WriteProjectFile(a.ui);
  ASSERT_EQ(a.ui.errors.size(), 1u);
  EXPECT_EQ(a.ui.errors[0], "Cannot create file \"/work/Kalvex.prj\". No space left on device");
  EXPECT_EQ(store.Bytes(Path).size(), 3u);
}

}  // namespace
}  // namespace kalvex

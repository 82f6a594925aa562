// libFuzzer target: the project file reader. Any bytes may sit in Kalvex.prj;
// reading them, replaying the windows they describe and then showing a
// recording in those windows must never crash, and a record the reader
// accepts must encode to bytes it reads back the same way.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "acquisition/CommandBlock.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/TAllWindows.h"
#include "recordings/ProcessValues.h"
#include "recordings/ProjectFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeFileStore.h"
#include "support/FakeUserInteraction.h"
#include "support/FakeWindowSetHost.h"
#include "support/LinkedFftw.h"

namespace {

using namespace kalvex;

constexpr char Path[] = "Kalvex.prj";
// Longer sweeps only slow the search down; they take the same code paths.
constexpr int LongestRecomputedSweep = 4000;

struct NoScreen : ProjectWindowHost {
  ProjectRect MainWindowRect() override { return {}; }
  void SetMainWindowRect(const ProjectRect&) override {}
  void SetMainWindowTitle(const std::string&) override {}
  ProjectRect FormRect(const TGrWin&) override { return {}; }
  void SetFormRect(TGrWin&, const ProjectRect&) override {}
};

void Require(bool condition) {
  if (!condition) std::abort();
}

// Encoding what was decoded, then decoding that, changes nothing more.
void CheckStable(const ProjectWindow& w) {
  const ProjectWindowBytes once = EncodeWindowRecord(w.Window, w.Extras);
  TGrWin again;
  ProjectWindowExtras extras;
  Require(DecodeWindowRecord(once, again, extras).empty());
  Require(EncodeWindowRecord(again, extras) == once);
}

// The replay, then a silent recording of the restored shape in every window.
void Replay(std::span<const std::uint8_t> bytes) {
  test::FakeFileStore store;
  store.Put(Path, bytes);
  TFrmFile rec;
  PrepareStartupRecording(rec);
  ProcessValues values;
  ProgramSettings settings;
  AcquisitionChoices choices;
  CommandBlock block;
  test::FakeWindowSetHost forms;
  TAllWindows windows(forms);
  forms.set = &windows;
  NoScreen screen;
  ProjectFile file({rec, values, settings, choices, block, windows}, screen, store, Path);
  if (!file.ReadProjectFile()) return;
  file.RestoreProjectWindows();
  if (rec.SweepLength == 0 || rec.SweepLength > LongestRecomputedSweep) return;
  for (int slot = 0; slot < ChannelCount(rec.Mode); ++slot) {
    rec.Channels[slot] = std::make_unique<SampleArray>();
    rec.Channels[slot]->Samples.assign(rec.RecordLength, 0);
  }
  rec.Origin = OriginFile;
  RecomputeWindows(windows, {rec, settings, values});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const test::LinkedFftw fftw;
  const std::span<const std::uint8_t> bytes(data, size);
  const ProjectContents contents = ReadProjectBytes(bytes);
  for (const ProjectWindow& w : contents.Windows) CheckStable(w);
  Replay(bytes);
  return 0;
}

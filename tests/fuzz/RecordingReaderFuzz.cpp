// libFuzzer target: the recording reader with a re-save round trip. Any bytes
// may come as a recording file: opening them never crashes, and a file the
// reader accepts is written ("Сохранить как" of a file read from disk) into
// bytes that read back as the same recording.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "recordings/ProcessValues.h"
#include "recordings/RecordingOpen.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"

namespace {

using namespace kalvex;

void Require(bool condition) {
  if (!condition) std::abort();
}

int Open(TFrmFile& rec, ProcessValues& values, std::span<const std::uint8_t> bytes) {
  PrepareStartupRecording(rec);
  test::FakeUserInteraction ui;
  LocalDateTime lastWrite{2026, 12, 9, 10, 0, 0};
  return OpenRecording(rec, values, ProgramSettings{}, {bytes, "fuzz.qrm", &lastWrite, false}, ui);
}

void RequireSameRecording(const TFrmFile& a, const TFrmFile& b) {
  Require(a.Mode == b.Mode && a.RecordLength == b.RecordLength && a.SweepLength == b.SweepLength);
  Require(a.SampleRate == b.SampleRate && a.Comment == b.Comment);
  Require(a.HoldDownWeight == b.HoldDownWeight && a.BaseplateWeight == b.BaseplateWeight &&
          a.ReactionMassWeight == b.ReactionMassWeight);
  for (int slot = 0; slot < FileChannelCount(a.Mode); ++slot)
    Require(a.Channels[slot] && b.Channels[slot] &&
            a.Channels[slot]->Samples == b.Channels[slot]->Samples);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFrmFile rec;
  ProcessValues values;
  if (Open(rec, values, {data, size}) <= 0) return 0;
  std::vector<std::uint8_t> again;
  Require(WriteRecording(rec, values, false, {2026, 12, 9, 11, 0, 0}, again));
  TFrmFile back;
  ProcessValues backValues;
  Require(Open(back, backValues, again) > 0);
  RequireSameRecording(rec, back);
  return 0;
}

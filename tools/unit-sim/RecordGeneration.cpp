#include "RecordGeneration.h"

#include <cmath>

#include "acquisition/SyntheticSignal.h"
#include "recordings/RecordingModes.h"

namespace kalvex::unitsim {

int WireChannelCount(int mode) {
  return ChannelCount(mode);
}

int SyntheticChannelAt(int mode, int position) {
  if (mode == Dodida && (position == 1 || position == 2)) return 3 - position;
  return position;
}

std::array<std::uint8_t, 3> RecordHeaderFor(const RecordRequest& request) {
  return {1, static_cast<std::uint8_t>(request.sampleRateIndex),
          static_cast<std::uint8_t>(request.mode)};
}

vibmodel::VibratorSetup VibratorRecord(const RecordRequest& request,
                                       const vibmodel::Faults& faults) {
  vibmodel::VibratorSetup setup;
  setup.mode = request.mode;
  setup.sampleRate = 500 << request.sampleRateIndex;
  setup.sweepLength = request.recordLength - 500;
  setup.present = {false, true, true, true, true, true};
  setup.faults = faults;
  return setup;
}

std::vector<std::uint8_t> DataBlockFor(const RecordRequest& request,
                                       const vibmodel::Faults* faults) {
  const int channels = WireChannelCount(request.mode);
  const int fs = 500 << request.sampleRateIndex;
  const int sweep = request.recordLength - 500;
  const auto model = faults ? vibmodel::VibratorChannels(VibratorRecord(request, *faults))
                            : std::vector<std::vector<std::int16_t>>{};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(channels) * request.recordLength * 2, 0);
  std::size_t at = 0;
  for (int i = 0; i < sweep; ++i) {
    for (int w = 0; w < channels; ++w) {
      const int channel = SyntheticChannelAt(request.mode, w);
      const auto value = faults ? model[channel][i]
                                : static_cast<std::int16_t>(std::nearbyint(
                                      SyntheticSample(request.mode, channel, i, sweep, fs, +1)));
      // The synthetic signal goes out with every channel but the reference
      // inverted, so that the program's "Positive" rule turns it back. A
      // vibrator's signals go out as its sensors give them: "Positive" then
      // holds them reversed, as the report turns them back when it draws
      // (a similarity record, drawn as held, goes out inverted).
      const auto rounded = static_cast<std::uint16_t>(value);
      const bool inverted = w > 0 && (!faults || request.mode == Similarity);
      const auto sample = static_cast<std::uint16_t>(inverted ? 0u - rounded : rounded);
      bytes[at++] = static_cast<std::uint8_t>(sample >> 8);
      bytes[at++] = static_cast<std::uint8_t>(sample & 0xFF);
    }
  }
  return bytes;
}

}  // namespace kalvex::unitsim

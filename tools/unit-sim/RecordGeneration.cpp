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

std::vector<std::uint8_t> DataBlockFor(const RecordRequest& request) {
  const int channels = WireChannelCount(request.mode);
  const int fs = 500 << request.sampleRateIndex;
  const int sweep = request.recordLength - 500;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(channels) * request.recordLength * 2, 0);
  std::size_t at = 0;
  for (int i = 0; i < sweep; ++i) {
    for (int w = 0; w < channels; ++w) {
      const double v =
          SyntheticSample(request.mode, SyntheticChannelAt(request.mode, w), i, sweep, fs, +1);
      // A unit wired as the program expects delivers every channel but the
      // reference inverted; the program's "Positive" rule turns them back.
      const auto rounded = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::nearbyint(v)));
      const auto sample = static_cast<std::uint16_t>(w > 0 ? 0u - rounded : rounded);
      bytes[at++] = static_cast<std::uint8_t>(sample >> 8);
      bytes[at++] = static_cast<std::uint8_t>(sample & 0xFF);
    }
  }
  return bytes;
}

}  // namespace kalvex::unitsim

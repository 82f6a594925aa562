#pragma once
// The recording modes and what each fixes: channel count, the reaction-mass and
// baseplate channels, the mode's name, the file's channel count and mode code.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kalvex {

enum RecordingMode : std::uint8_t {
  Velnarund = 0,
  Tarpokline = 1,
  Similarity = 2,
  Dodida = 3,
  Ombrel16 = 4,
  NoSignal = 5,  // nothing chosen yet
};

inline constexpr int MaxChannelSlots = 7;

int ChannelCount(int mode);
int RmChannelIndex(int mode);
int BpChannelIndex(int mode);

// Mode name for titles and captions; empty for a mode without one.
std::string_view ModeName(int mode);

// Channels a recording file of this mode holds (mode 4 holds one more than it
// uses).
int FileChannelCount(int mode);

// Byte 158 of a recording file header.
std::optional<int> ModeFromFileCode(std::uint8_t code);
std::uint8_t FileCodeOfMode(int mode);

// The offset with which a channel picks its calibration coefficient in a
// mode (channel k uses coefficient k + offset): 2 in "Dodida", else 0.
inline int ChannelOffsetOf(int mode) {
  return mode == Dodida ? 2 : 0;
}

// Equipment name by EquipmentIndex (0 or 1).
std::string_view EquipmentName(int equipmentIndex);

}  // namespace kalvex

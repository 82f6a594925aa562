#pragma once
// Layout of the 256-byte recording file header (little-endian; floating
// fields are 32-bit IEEE floats; weights are in pounds).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace kalvex::header {

inline constexpr std::size_t SampleCount = 0;    // u16 N
inline constexpr std::size_t Date = 6;           // 10 characters
inline constexpr std::size_t CommentFirst = 16;  // comment characters 1..32
inline constexpr std::size_t CommentFirstSize = 32;
inline constexpr std::size_t Marker48 = 48;       // 4, 0, 0, 0
inline constexpr std::size_t Time = 52;           // 10 characters
inline constexpr std::size_t CommentSecond = 62;  // comment characters 33..96
inline constexpr std::size_t CommentSecondSize = 64;
inline constexpr std::size_t HoldDownWeight = 126;
inline constexpr std::size_t BaseplateWeight = 130;
inline constexpr std::size_t ReactionMassWeight = 134;
inline constexpr std::size_t TriggerLevel = 138;
inline constexpr std::size_t BaseplateAccSensitivity = 142;
inline constexpr std::size_t MassAccSensitivity = 146;
inline constexpr std::size_t IntervalCode = 152;  // units of 125 µs: 1, 2, 4, 8, 16
inline constexpr std::size_t SampleCountCopy = 154;
inline constexpr std::size_t ModeCode = 158;
inline constexpr std::size_t ChannelFlags = 161;  // mode 2: the x8 bits
inline constexpr std::size_t ServoCurrentFactor = 164;
inline constexpr std::size_t ChannelNames = 168;  // mode 2: 5 × 8 characters
inline constexpr std::size_t ChannelNameSize = 8;
inline constexpr std::size_t SourceVoltageFactor = 212;
inline constexpr std::size_t SourceCurrentFactor = 216;
inline constexpr std::size_t SourceSensorFactor = 220;
inline constexpr std::size_t SweepLength = 224;  // u16, modes 0..2
inline constexpr std::size_t Equipment = 226;    // 1 - EquipmentIndex
inline constexpr std::size_t TestOut = 228;
inline constexpr std::size_t Reserved232 = 232;
inline constexpr std::size_t Signature = 250;

// One pound in kilograms: weights travel in files in pounds.
inline constexpr long double KgPerPound = 0.4536L;

inline std::uint16_t GetU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline void PutU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline float GetF32(std::span<const std::uint8_t> b, std::size_t at) {
  std::uint32_t bits =
      b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
void PutF32(std::span<std::uint8_t> b, std::size_t at, double value);

}  // namespace kalvex::header

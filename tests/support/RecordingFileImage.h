#pragma once
// The bytes of a valid recording file, built in memory for any mode. Offsets
// are spelled out here rather than taken from the reader's layout constants,
// so that a wrong constant in the code shows up as a failing test.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kalvex::test {

// Byte 158 for recording modes 0..4, and the other way round.
inline constexpr std::uint8_t kFileModeCode[] = {2, 3, 4, 0, 1};
inline constexpr int kModeOfFileCode[] = {3, 4, 0, 1, 2};

// Channels a file of the mode holds (mode 4 holds one more than it uses).
inline int FileChannels(int mode) {
  return mode == 3 || mode == 4 ? 3 : 6;
}

// A sample that differs between channels and takes both signs.
inline std::int16_t PatternSample(int fileChannel, int i) {
  return static_cast<std::int16_t>((i * 37 + fileChannel * 5003) % 20001 - 10000);
}

// What the default parameters of an image read back as.
inline constexpr int DefaultHoldDownKg = 454;       // 1000 lb
inline constexpr int DefaultBaseplateKg = 907;      // 2000 lb
inline constexpr int DefaultReactionMassKg = 2268;  // 5000 lb

class RecordingFileImage {
 public:
  // A file of `mode` with `n` samples per channel at `intervalCode` units of
  // 125 µs, every parameter the mode reads valid, the sweep ending half a
  // second before the record, a blank comment and the "Kalvex" signature.
  explicit RecordingFileImage(int mode, std::uint16_t n = 2500, std::uint8_t intervalCode = 8)
      : mode(mode), n(n), bytes(256 + 2u * n * FileChannels(mode), 0) {
    const bool massAndPlate = mode == 0 || mode == 1 || mode == 3;
    PutU16(0, n);
    PutText(16, "", 32);
    bytes[48] = 4;
    PutText(62, "", 64);
    if (mode != 1) PutF32(126, 1000.0f);
    if (massAndPlate) {
      PutF32(130, 2000.0f);
      PutF32(134, 5000.0f);
      PutF32(142, 100.0f);
      PutF32(146, 125.0f);
    }
    PutF32(138, 0.5f);
    bytes[152] = intervalCode;
    PutU16(154, n);
    bytes[158] = kFileModeCode[mode];
    static constexpr std::uint8_t flags[] = {25, 24, 0, 24, 0};
    bytes[161] = flags[mode];
    if (mode == 0) PutF32(164, 2.5f);
    if (mode == 1) {
      PutF32(212, 10.0f);
      PutF32(216, 20.0f);
      PutF32(220, 30.0f);
    }
    if (mode == 2) {
      PutF32(228, 1.5f);
      for (int i = 1; i <= 5; ++i) PutText(168 + 8 * (i - 1), "CH" + std::to_string(i), 8);
    }
    if (mode <= 2 && intervalCode != 0)
      PutU16(224, static_cast<std::uint16_t>(n - 4000 / intervalCode));
    bytes[226] = 1;  // equipment 0
    PutText(250, "Kalvex", 6);
    for (int k = 0; k < FileChannels(mode); ++k)
      for (int i = 0; i < n; ++i) SetSample(k, i, PatternSample(k, i));
  }

  std::span<const std::uint8_t> Bytes() const { return bytes; }

  void PutU16(std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  std::uint16_t GetU16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
  }
  void PutF32(std::size_t at, float f) { std::memcpy(&bytes[at], &f, 4); }
  float GetF32(std::size_t at) const {
    float f;
    std::memcpy(&f, &bytes[at], 4);
    return f;
  }
  // `text` (raw bytes) right-padded with spaces to `size`.
  void PutText(std::size_t at, std::string_view text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[at + i] = i < text.size() ? text[i] : ' ';
  }

  std::size_t SampleOffset(int fileChannel, int i) const {
    return 256 + 2u * n * fileChannel + 2u * i;
  }
  void SetSample(int fileChannel, int i, std::int16_t v) {
    PutU16(SampleOffset(fileChannel, i), static_cast<std::uint16_t>(v));
  }
  std::int16_t Sample(int fileChannel, int i) const {
    return static_cast<std::int16_t>(GetU16(SampleOffset(fileChannel, i)));
  }

  int mode;
  std::uint16_t n;
  std::vector<std::uint8_t> bytes;
};

// Reads a float from any byte image (for checking written files).
inline float F32At(std::span<const std::uint8_t> b, std::size_t at) {
  float f;
  std::memcpy(&f, b.data() + at, 4);
  return f;
}
inline std::uint16_t U16At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::string TextAt(std::span<const std::uint8_t> b, std::size_t at, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(b.data()) + at, size);
}

}  // namespace kalvex::test

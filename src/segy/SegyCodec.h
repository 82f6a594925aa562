#pragma once
// SEG-Y revision 1 files as bytes: the textual header (EBCDIC), the binary
// header, and the traces with their headers, big-endian, through segyio's
// header-field and sample-format functions. The checks of a file read here
// are those of its structure; what a recording can hold is the import's.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "segy/SegyImage.h"

namespace kalvex {

// The sample formats a file is written in (the binary header's codes).
enum class SegyFormat : int { Ibm = 1, Ieee = 5 };

inline constexpr std::size_t SegyHeadersSize = 3600;
// A SEG-Y file larger than this is not read: no recording could use it.
inline constexpr std::size_t MaxSegyFileSize = std::size_t{1} << 30;

std::vector<std::uint8_t> EncodeSegy(const SegyImage& image, SegyFormat format);

// Reads a whole file into `image`. Returns the reason in the system's words
// when the file is not a SEG-Y file the program can read (too short, a sample
// format it does not know, no sample count, a trace cut off, traces of other
// lengths or intervals than the binary header says, a sample that is not a
// finite number); `image` is then unspecified.
std::optional<std::string> DecodeSegy(std::span<const std::uint8_t> bytes, SegyImage& image);

}  // namespace kalvex

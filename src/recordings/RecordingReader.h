#pragma once
// Reading a recording file into the recording, in two steps (header, then
// samples) so that the caller can decide between them what happens to the
// recording's channel blocks and graph windows. The readers take the file's
// bytes; opening the file is the caller's business.

#include <cstdint>
#include <span>
#include <string>

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct ProcessValues;
struct ProgramSettings;

inline constexpr int HeaderRefused = -1;
inline constexpr int HeaderDeclined = -10;
// The largest recording file: the header and six channels of 65 535 samples.
inline constexpr std::size_t MaxRecordingFileSize = 256 + 2 * 6 * 65535;

// The comment of a file's header: its two parts joined, blanks trimmed at
// both ends, in UTF-8. Empty for a file shorter than a header.
std::string HeaderComment(std::span<const std::uint8_t> file);

// Checks the whole header and only then sets the recording's mode, header
// image, comment and parameters, and the sample rate and equipment indices.
// Returns N (> 0), HeaderRefused after showing the refusal, or HeaderDeclined
// when the operator declined to combine the file with accumulating windows
// (asked only when `accumulating`). A refused file changes nothing.
int ReadRecordingHeader(TFrmFile& rec, ProcessValues& values, std::span<const std::uint8_t> file,
                        bool accumulating, UserInteraction& ui);

// After a successful header read (and RecordLength = N): fills the channel
// blocks from the file's channels, applies the polarity setting, scans the
// ranges, computes the derived channel and marks the recording as read.
void ReadRecordingSamples(TFrmFile& rec, const ProgramSettings& settings,
                          std::span<const std::uint8_t> file);

}  // namespace kalvex

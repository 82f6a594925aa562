#pragma once
// Writing the recording as a recording file: the 256-byte header followed by
// every channel. The result is the file's bytes; the caller stores them.

#include <cstdint>
#include <string>
#include <vector>

namespace kalvex {

class TFrmFile;
struct LocalDateTime;
struct ProcessValues;

// Updates the recording's header image and returns the whole file. With
// `rebuildHeader` (a recording never saved) the image is cleared and the
// record length and sweep are computed from the parameters, or, for a
// recording read from a file, kept as read; otherwise every
// byte the writer does not set keeps the value read from the file. `now`
// gives the date and time texts. Returns false, writing nothing, when a
// rebuilt record would not fit its 16-bit sample count.
// The time of day as the header keeps it at offset 52: hh:mm:ss and two
// spaces (10 bytes).
std::string HeaderTimeText(const LocalDateTime& now);

bool WriteRecording(TFrmFile& rec, ProcessValues& values, bool rebuildHeader,
                    const LocalDateTime& now, std::vector<std::uint8_t>& file);

}  // namespace kalvex

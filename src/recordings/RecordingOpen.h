#pragma once
// Opening a recording file into the current recording: the header and sample
// steps with what the open command does around them (analysis cache, name,
// amplitude normalisation, equipment, channel blocks). The graph windows'
// part of the command is theirs.

#include <cstdint>
#include <span>
#include <string>

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct LocalDateTime;
struct ProcessValues;
struct ProgramSettings;

struct OpenRequest {
  std::span<const std::uint8_t> file;  // the whole file
  std::string path;
  LocalDateTime* lastWrite = nullptr;  // the file's last-write time, or null
  bool accumulating = false;           // some graph window accumulates recordings
};

// Returns the header step's result: N on success, or a negative code (the
// refusal has been shown, the recording's data are unchanged).
int OpenRecording(TFrmFile& rec, ProcessValues& values, const ProgramSettings& settings,
                  const OpenRequest& request, UserInteraction& ui);

}  // namespace kalvex

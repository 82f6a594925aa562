#pragma once
// Files on disk for the programs: whole-file reads, last-write times, and
// saves that never destroy what was there (a complete new file replaces the
// old one, or nothing changes).

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "recordings/ProcessValues.h"

namespace kalvex {

struct FileReadResult {
  std::vector<std::uint8_t> bytes;
  QString error;  // the platform's reason; empty on success
  bool ok() const { return error.isEmpty(); }
};

FileReadResult ReadWholeFile(const QString& path);

// The file's last-write time in local time; all zero when the path is
// missing or names a folder.
LocalDateTime LastWriteTime(const QString& path);

// Local date and time now.
LocalDateTime CurrentLocalTime();

// Writes the bytes to a temporary file beside `path`, flushes it, checks every
// write and only then renames it over `path`. Returns the platform's reason on
// failure (the old file is then intact), empty text on success.
QString SaveFileAtomically(const QString& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kalvex

#pragma once
// Files on disk for the programs: bounded whole-file reads, last-write times,
// and saves that never destroy what was there (a complete new file replaces
// the old one, or nothing changes). Paths are the operating system's own
// bytes, used as given: a name that is not valid UTF-8 still names its file.
// On Windows a path is UTF-8 and reaches the system as UTF-16.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "recordings/ProcessValues.h"

namespace kalvex {

struct FileReadResult {
  std::vector<std::uint8_t> bytes;
  std::string error;  // the platform's reason; empty on success
  bool ok() const { return error.empty(); }
};

// A path the toolkit gives (a file dialog's choice) as the system's bytes
// (on Windows, UTF-8), and back.
std::string NativePath(const QString& path);
QString PathText(const std::string& path);

// At most `maxBytes` + 1 bytes of the file: a file longer than any the caller
// can use is never read whole, and the caller still sees that it is too long.
// Only a regular file (or a link to one) is read: a folder, a pipe, a device
// or a socket is refused with its reason before anything is opened, so that
// no reader ever waits for a writer or reads without end.
FileReadResult ReadFileBytes(const std::string& path, std::size_t maxBytes);

// A regular file (or a link to one) is at `path`.
bool IsFile(const std::string& path);

// The file's last-write time in local time; all zero when the path is
// missing or names a folder.
LocalDateTime LastWriteTime(const std::string& path);

// Local date and time now.
LocalDateTime CurrentLocalTime();

// A regular file (or a new one) is replaced by a complete new file: the bytes
// go to a temporary file beside it, are flushed to the disk and only then
// renamed over it, keeping its permissions; a symbolic link keeps pointing at
// the replaced file. A special file (a pipe, a device) is never replaced: the
// bytes are written into it. Returns the platform's reason on failure (the
// old file is then intact), empty text on success.
std::string SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Writes the next piece of a file being saved. Returns false once a write has
// failed: the producer may stop, as nothing more is written.
using ChunkWriter = std::function<bool(std::span<const std::uint8_t>)>;

// SaveFileAtomically of a file made piece by piece, so that a large output is
// never held whole in memory: `produce` writes every piece through the writer
// it is given. A failed write or an exception from `produce` leaves the old
// file intact (the exception passes on).
std::string SaveFileAtomically(const std::string& path,
                               const std::function<void(const ChunkWriter&)>& produce);

struct NewFileResult {
  bool existed = false;  // a file was already at the path; nothing was written
  std::string error;     // the platform's reason; empty on success (or when it existed)
};

// Writes `bytes` as a new file at `path`, never replacing what is there (the
// file is created exclusively). A file that could not be written whole is
// removed again.
NewFileResult CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace kalvex

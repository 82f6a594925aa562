#pragma once
// The file system as the file commands see it: whole files in, whole files
// out. A save either replaces the target by a complete new file or leaves it
// as it was. The desktop program implements it over the platform's files;
// tests keep files in memory. Called on the user-interface thread.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "recordings/ProcessValues.h"

namespace kalvex {

struct StoredFile {
  std::vector<std::uint8_t> bytes;
  LocalDateTime lastWrite;  // local time; all zero when unknown
  std::string error;        // the platform's reason; empty when the file was read
  bool ok() const { return error.empty(); }
};

// A file directly in a folder.
struct FolderEntry {
  std::string name;  // without the folder
  std::string path;
  std::uint64_t size = 0;
};

class FileStore {
 public:
  virtual ~FileStore() = default;

  // The file with its last-write time, or the reason it could not be read (a
  // folder cannot be read). At most `maxBytes` + 1 bytes are read: a file
  // longer than its format allows is never read whole, and the caller still
  // sees that it is too long.
  virtual StoredFile Read(const std::string& path, std::size_t maxBytes) = 0;

  // Writes `bytes` as the file at `path`: a complete new file replaces any
  // old one, or nothing changes. Returns the platform's reason on failure,
  // empty text on success.
  virtual std::string SaveAtomically(const std::string& path,
                                     std::span<const std::uint8_t> bytes) = 0;

  // A file (not a folder) exists at `path`.
  virtual bool Exists(const std::string& path) = 0;

  // The regular files directly in `folder`, in no particular order; none
  // when the folder is missing or cannot be read.
  virtual std::vector<FolderEntry> ListFolder(const std::string& folder) = 0;
  // Creates `folder` and the folders above it that are missing. The
  // platform's reason on failure, empty text on success.
  virtual std::string MakeFolder(const std::string& folder) = 0;
  // Removes the file at `path`. The platform's reason on failure.
  virtual std::string Remove(const std::string& path) = 0;
};

}  // namespace kalvex

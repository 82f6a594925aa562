#pragma once
// The file commands' file store over the platform's files: whole-file reads
// with the last-write time in local time, saves through a temporary file
// that replaces the target only when complete, and the files of a folder.

#include "recordings/FileStore.h"

namespace kalvex {

class QtFileStore : public FileStore {
 public:
  StoredFile Read(const std::string& path, std::size_t maxBytes) override;
  std::string SaveAtomically(const std::string& path, std::span<const std::uint8_t> bytes) override;
  bool Exists(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& folder) override;
  std::string MakeFolder(const std::string& folder) override;
  std::string Remove(const std::string& path) override;
};

}  // namespace kalvex

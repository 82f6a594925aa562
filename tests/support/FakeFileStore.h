#pragma once
// Files kept in memory for the file commands: paths to bytes and last-write
// times. Saves to a path marked as failing fail with the given reason and
// leave the old file as it was.

#include <map>
#include <vector>
#include <string>

#include "recordings/FileStore.h"

namespace kalvex::test {

class FakeFileStore : public FileStore {
 public:
  StoredFile Read(const std::string& path, std::size_t maxBytes) override {
    auto it = files.find(path);
    if (it == files.end()) return {{}, {}, "No such file or directory"};
    StoredFile file = it->second;
    if (file.bytes.size() > maxBytes + 1) file.bytes.resize(maxBytes + 1);
    return file;
  }

  std::string SaveAtomically(const std::string& path,
                             std::span<const std::uint8_t> bytes) override {
    ++saves;
    if (auto it = failing.find(path); it != failing.end()) return it->second;
    files[path] = {{bytes.begin(), bytes.end()}, {2024, 3, 5, 14, 5, 33}, {}};
    return {};
  }

  bool Exists(const std::string& path) override { return files.count(path) != 0; }

  // Folders are the paths' prefixes up to a '/'.
  std::vector<FolderEntry> ListFolder(const std::string& folder) override {
    std::vector<FolderEntry> entries;
    const std::string prefix = folder + "/";
    for (const auto& [path, file] : files)
      if (path.rfind(prefix, 0) == 0 && path.find('/', prefix.size()) == std::string::npos)
        entries.push_back({path.substr(prefix.size()), path, file.bytes.size()});
    return entries;
  }
  std::string MakeFolder(const std::string& folder) override {
    if (auto it = failing.find(folder); it != failing.end()) return it->second;
    return {};
  }
  std::string Remove(const std::string& path) override {
    return files.erase(path) ? std::string() : std::string("No such file or directory");
  }

  void Put(const std::string& path, std::span<const std::uint8_t> bytes,
           LocalDateTime lastWrite = {2023, 11, 2, 8, 30, 0}) {
    files[path] = {{bytes.begin(), bytes.end()}, lastWrite, {}};
  }
  const std::vector<std::uint8_t>& Bytes(const std::string& path) { return files.at(path).bytes; }

  std::map<std::string, StoredFile> files;
  std::map<std::string, std::string> failing;  // path → the platform's reason
  int saves = 0;
};

}  // namespace kalvex::test

#include "platform/QtFileStore.h"

#include "platform/FileAccess.h"

namespace kalvex {

StoredFile QtFileStore::Read(const std::string& path, std::size_t maxBytes) {
  FileReadResult read = ReadFileBytes(path, maxBytes);
  if (!read.ok()) return {{}, {}, read.error};
  return {std::move(read.bytes), LastWriteTime(path), {}};
}

std::string QtFileStore::SaveAtomically(const std::string& path,
                                        std::span<const std::uint8_t> bytes) {
  return SaveFileAtomically(path, bytes);
}

bool QtFileStore::Exists(const std::string& path) {
  return IsFile(path);
}

}  // namespace kalvex

#include "platform/QtFileStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

std::vector<FolderEntry> QtFileStore::ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  for (const QFileInfo& f : QDir(PathText(folder)).entryInfoList(QDir::Files | QDir::Hidden))
    if (f.isFile())
      entries.push_back({NativePath(f.fileName()), NativePath(f.filePath()),
                         static_cast<std::uint64_t>(f.size())});
  return entries;
}

std::string QtFileStore::MakeFolder(const std::string& folder) {
  if (QDir().mkpath(PathText(folder))) return {};
  return QFileInfo(PathText(folder)).exists() ? "Not a folder" : "Cannot create the folder";
}

std::string QtFileStore::Remove(const std::string& path) {
  QFile file(PathText(path));
  return file.remove() ? std::string() : file.errorString().toStdString();
}

}  // namespace kalvex

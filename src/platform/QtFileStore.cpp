#include "platform/QtFileStore.h"

#include <QFileInfo>
#include <QString>

#include "platform/FileAccess.h"

namespace kalvex {

StoredFile QtFileStore::Read(const std::string& path) {
  const QString qpath = QString::fromStdString(path);
  FileReadResult read = ReadWholeFile(qpath);
  if (!read.ok()) return {{}, {}, read.error.toStdString()};
  return {std::move(read.bytes), LastWriteTime(qpath), {}};
}

std::string QtFileStore::SaveAtomically(const std::string& path,
                                        std::span<const std::uint8_t> bytes) {
  return SaveFileAtomically(QString::fromStdString(path),
                            std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
      .toStdString();
}

bool QtFileStore::Exists(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).isFile();
}

}  // namespace kalvex

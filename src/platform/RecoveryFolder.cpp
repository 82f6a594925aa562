#include "platform/RecoveryFolder.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/FileAccess.h"

namespace kalvex {

std::string RecoveryFolderPath() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return NativePath(QDir(data).filePath(QStringLiteral("records")));
}

}  // namespace kalvex

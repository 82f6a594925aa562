#include "platform/ModelListFolder.h"

#include <QDir>

namespace kalvex {

ModelListPaths ModelListFilesIn(const QString& folder) {
  return ModelListPathsIn(
      folder.toStdString(), [](const std::string& directory, const std::string& name) {
        return QDir::toNativeSeparators(
                   QDir(QString::fromStdString(directory)).filePath(QString::fromStdString(name)))
            .toStdString();
      });
}

}  // namespace kalvex

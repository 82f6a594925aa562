#include "platform/FileAccess.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kalvex {
namespace {

LocalDateTime ToLocal(const QDateTime& t) {
  QDate d = t.date();
  QTime c = t.time();
  return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()};
}

}  // namespace

FileReadResult ReadWholeFile(const QString& path) {
  FileReadResult result;
  QFile file(path);
  if (QFileInfo(path).isDir()) {
    result.error = QStringLiteral("Is a directory");
    return result;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    result.error = file.errorString();
    return result;
  }
  QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    result.error = file.errorString();
    return result;
  }
  result.bytes.assign(data.begin(), data.end());
  return result;
}

LocalDateTime LastWriteTime(const QString& path) {
  QFileInfo info(path);
  if (!info.isFile()) return {};
  return ToLocal(info.lastModified().toLocalTime());
}

LocalDateTime CurrentLocalTime() {
  return ToLocal(QDateTime::currentDateTime());
}

QString SaveFileAtomically(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  qint64 written =
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  if (written != static_cast<qint64>(bytes.size())) {
    QString reason = file.errorString();
    file.cancelWriting();
    return reason.isEmpty() ? QStringLiteral("Write failed") : reason;
  }
  if (!file.commit()) return file.errorString();
  return {};
}

}  // namespace kalvex

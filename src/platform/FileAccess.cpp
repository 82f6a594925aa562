#include "platform/FileAccess.h"

#include <QDateTime>

namespace kalvex {

LocalDateTime CurrentLocalTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime c = now.time();
  return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()};
}

std::string SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  return SaveFileAtomically(path, [bytes](const ChunkWriter& write) { write(bytes); });
}

}  // namespace kalvex

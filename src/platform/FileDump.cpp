#include "platform/FileDump.h"

namespace kalvex {

FileDump::FileDump(const QString& path) : file_(path) {
  file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void FileDump::Write(const std::uint8_t* bytes, std::size_t count) {
  if (file_.isOpen()) file_.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
}

}  // namespace kalvex

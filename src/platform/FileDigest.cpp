#include "platform/FileDigest.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace kalvex {

std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<qsizetype>(bytes.size()));
  return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex().toStdString();
}

}  // namespace kalvex

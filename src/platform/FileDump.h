#pragma once
// The raw dump of a received data block, "trace.dmp" in the current
// directory: created (emptied) when the acquisition starts, written once
// with a completed block.

#include <QFile>

#include "acquisition/THardware.h"

namespace kalvex {

class FileDump : public AcquisitionDump {
 public:
  explicit FileDump(const QString& path = QStringLiteral("trace.dmp"));
  bool IsOpen() const { return file_.isOpen(); }
  void Write(const std::uint8_t* bytes, std::size_t count) override;
  void Close() override { file_.close(); }

 private:
  QFile file_;
};

}  // namespace kalvex

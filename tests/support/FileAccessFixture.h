#pragma once
// A temporary folder for the file-access tests, and bytes written briefly.

#include <QTemporaryDir>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/FileAccess.h"

namespace kalvex::test {

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
  return {v.begin(), v.end()};
}

class FileAccessTest : public ::testing::Test {
 protected:
  // `name` in the folder, as the system's path.
  std::string Path(const std::string& name) const { return NativePath(dir_.path()) + "/" + name; }
  QTemporaryDir dir_;
};

}  // namespace kalvex::test

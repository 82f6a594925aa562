#include "platform/SystemSerialLink.h"

namespace kalvex {

DeviceLink LinkToDevice(const std::string& device) {
#ifdef _WIN32
  return {std::make_unique<Win32SerialLink>(), Win32SerialLink::PortNumberOf(device)};
#else
  return {std::make_unique<QtSerialLink>(QString::fromStdString(device)), 1};
#endif
}

}  // namespace kalvex

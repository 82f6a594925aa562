#pragma once
// The serial link of the system the program runs on (the QSerialPort link, or
// the Win32 communications link on Windows), and how a device named on the
// command line becomes a link and the port number that reaches it.

#include <QString>
#include <memory>
#include <string>

#include "acquisition/SerialLink.h"

#ifdef _WIN32
#include "platform/Win32SerialLink.h"
#else
#include "platform/QtSerialLink.h"
#endif

namespace kalvex {

#ifdef _WIN32
using SystemSerialLink = Win32SerialLink;
// Windows names its ports itself ("COM" n): a device path has no place there.
inline bool AddSerialDevice(const QString&) { return true; }
#else
using SystemSerialLink = QtSerialLink;
#endif

struct DeviceLink {
  std::unique_ptr<SerialLink> link;
  int portNumber = 0;
};

// On Windows `device` is a port name ("COM3": port 3 of the system's link);
// elsewhere a device path (a tty or a link to a pseudo-terminal), reached as
// port 1 of a link fixed to it.
DeviceLink LinkToDevice(const std::string& device);

}  // namespace kalvex

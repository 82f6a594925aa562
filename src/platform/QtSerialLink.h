#pragma once
// The serial link on QSerialPort, without an event loop: every operation
// blocks (a wait for at most one second). Each open makes the port object on
// the calling thread, so the calls from an open to its close must all come from
// that thread; the link itself may be made on another (the user-interface
// thread making it for the worker).
//
// Port names. "COM" n (n = 1..32, no leading zeros) maps to a device:
// - on Windows, to the port of that name;
// - elsewhere, to the n-th (counting from 1) of the serial devices: first
//   those of the machine that Qt enumerates, ordered by their system path
//   with runs of digits compared by value (/dev/ttyS2 before /dev/ttyS10,
//   /dev/ttyS* before /dev/ttyUSB*), then the devices added by hand (the
//   environment variable KALVEX_SERIAL_DEVICE, one path or several separated
//   by ':', then AddSerialDevice, in that order), which is how a
//   pseudo-terminal or a device Qt does not enumerate becomes a port. A device
//   already listed is not listed again. The list is taken afresh at every
//   open, so plugging an adapter in or out can renumber the ports after it;
//   the machine's devices keep their numbers whatever is added;
// - with a fixed device (the second constructor), every port name "COM" 1..32
//   resolves to that device, and ProbePorts lists it as "COM1".
// Any other name ("COM0", the "USB" entry) maps to no device: opening it fails.
//
// A failure's systemError carries QSerialPort's error code
// (QSerialPort::SerialPortError).

#include <QString>
#include <QStringList>
#include <memory>

#include "acquisition/SerialLink.h"

class QSerialPort;

namespace kalvex {

class QtSerialLink : public SerialLink {
 public:
  // Port names follow the machine's serial devices.
  QtSerialLink();
  // Every port name resolves to `device` (a path such as /dev/ttyUSB0, or a
  // symbolic link to a pseudo-terminal).
  explicit QtSerialLink(QString device);
  ~QtSerialLink() override;

  QtSerialLink(const QtSerialLink&) = delete;
  QtSerialLink& operator=(const QtSerialLink&) = delete;

  std::vector<std::string> ProbePorts() override;
  LinkResult OpenCommandChannel(const std::string& portName) override;
  LinkResult OpenCommandChannelWithoutPurge(const std::string& portName) override;
  LinkResult WriteBytes(const std::uint8_t* bytes, int count) override;
  LinkResult OpenDataChannel(const std::string& portName) override;
  WaitOutcome WaitForInput(LinkResult& failure) override;
  LinkResult QueuedCount(int& count) override;
  LinkResult ReadQueued(std::uint8_t* destination, int count) override;
  void RenewWaitObject() override;
  void ClosePort() override;
  // The device path beside the port name (not on Windows, where the name is
  // the port's own).
  std::string PortDescription(const std::string& portName) const override;

  // The device `portName` resolves to now; empty when it resolves to none.
  QString DeviceOf(const std::string& portName) const;

 private:
  enum class Channel { Command, CommandWithoutPurge, Data };
  LinkResult Open(const std::string& portName, Channel channel);

  QString fixedDevice_;
  std::unique_ptr<QSerialPort> port_;
};

// Adds a device (a path such as /dev/ttyACM0, or a symbolic link to a
// pseudo-terminal) after the machine's serial devices, for every link made
// with the first constructor; the desktop program's --port does this. Adding
// it again changes nothing. Ignored on Windows, where "COM" n is the port's
// own name. Any thread. Returns whether the device exists now; one that does
// not is added all the same, for an adapter plugged in later.
bool AddSerialDevice(const QString& path);
// Takes an added device off the list again (tests).
void RemoveSerialDevice(const QString& path);

// The devices "COM" 1, 2, ... name now, in that order (empty on Windows).
QStringList SerialDevices();

// The port number in "COM" n (1..32, decimal without leading zeros); 0 for any
// other text.
int PortNumberOfName(const std::string& portName);

// The machine's serial devices in port-number order: `paths` sorted with runs
// of digits compared by value.
QStringList OrderSerialDevices(QStringList paths);

}  // namespace kalvex

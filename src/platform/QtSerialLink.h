#pragma once
// The serial link on QSerialPort, without an event loop: every operation
// blocks (a wait for at most one second). Each open makes the port object on
// the calling thread, so the calls from an open to its close must all come from
// that thread; the link itself may be made on another (the user-interface
// thread making it for the worker).
//
// Port names. "COM" n (n = 1..32, no leading zeros) maps to a device:
// - on Windows, to the port of that name;
// - elsewhere, to the n-th (counting from 1) of the machine's serial devices
//   that Qt enumerates, ordered by their system path with runs of digits
//   compared by value (/dev/ttyS2 before /dev/ttyS10, /dev/ttyS* before
//   /dev/ttyUSB*). The list is taken afresh at every open, so plugging an
//   adapter in or out can renumber the ports after it;
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
  LinkResult WriteBytes(const std::uint8_t* bytes, int count) override;
  LinkResult OpenDataChannel(const std::string& portName) override;
  WaitOutcome WaitForInput(LinkResult& failure) override;
  LinkResult QueuedCount(int& count) override;
  LinkResult ReadQueued(std::uint8_t* destination, int count) override;
  void RenewWaitObject() override;
  void ClosePort() override;

  // The device `portName` resolves to now; empty when it resolves to none.
  QString DeviceOf(const std::string& portName) const;

 private:
  LinkResult Open(const std::string& portName, bool forWriting);

  QString fixedDevice_;
  std::unique_ptr<QSerialPort> port_;
};

// The port number in "COM" n (1..32, decimal without leading zeros); 0 for any
// other text.
int PortNumberOfName(const std::string& portName);

// The machine's serial devices in port-number order: `paths` sorted with runs
// of digits compared by value.
QStringList OrderSerialDevices(QStringList paths);

}  // namespace kalvex

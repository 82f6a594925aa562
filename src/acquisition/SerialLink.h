#pragma once
// The serial line to the acquisition unit, as the eight operations the
// acquisition relies on, with the unpurged command channel of the command
// file sender and the port descriptions of the equipment dialog. The command
// channel is write-only at 19 200 baud (the command block and the stop byte);
// the data channel is read-only at 115 200 baud (the record header and data).
// Both are 8 data bits, no parity, one stop bit, no flow control, opened
// exclusively. Switching between them closes the port and opens it again.
//
// A link object is used by one thread at a time (the acquisition worker, or
// the user-interface thread when no acquisition runs). Every handle it opens
// is closed by ClosePort or by its destructor, on every path.

#include <cstdint>
#include <string>
#include <vector>

namespace kalvex {

// Which step of an operation failed; the worker turns it into its result code.
enum class LinkStep {
  None,
  Open,          // the port cannot be opened (missing, or held by another user)
  Purge,         // the queues cannot be purged
  ModeString,    // the mode string (baud rate and line format) is not understood
  LineSettings,  // the line settings are not applied
  Timeouts,      // the read time-outs are not accepted
  Write,         // the bytes cannot be written
  EventMask,     // the receive event cannot be armed
  WaitResult,    // the completed wait cannot be collected
  QueueStatus,   // the queued count cannot be read
  Read,          // the read failed
};

struct LinkResult {
  LinkStep failed = LinkStep::None;
  int systemError = 0;  // the platform's error number, where one exists
  bool ok() const { return failed == LinkStep::None; }
  // Only the line's settings failed; the port itself was opened.
  bool settingsOnly() const {
    return failed == LinkStep::ModeString || failed == LinkStep::LineSettings;
  }
};

enum class WaitOutcome {
  Input,    // at least one byte arrived
  TimeOut,  // one second passed without a byte
  AtOnce,   // the wait completed without waiting
  Retry,    // the wait could not be started; try again at once
  Failed,   // see the LinkResult
};

class SerialLink {
 public:
  virtual ~SerialLink() = default;

  // "COM" n for n = 1..32 whose port opens now (not held by anyone).
  virtual std::vector<std::string> ProbePorts() = 0;

  // Write-only at 19 200 baud, both queues purged.
  virtual LinkResult OpenCommandChannel(const std::string& portName) = 0;
  virtual LinkResult WriteBytes(const std::uint8_t* bytes, int count) = 0;

  // Write-only at 19 200 baud without purging anything queued (the command
  // file sender). A ModeString or LineSettings failure leaves the port open
  // with the line as it was, so that the caller may still write; any other
  // failure leaves it closed.
  virtual LinkResult OpenCommandChannelWithoutPurge(const std::string& portName) = 0;

  // Read-only at 115 200 baud, no purge; the wait object is prepared.
  virtual LinkResult OpenDataChannel(const std::string& portName) = 0;

  // Waits up to one second for received bytes. On Failed, `failure` says why.
  virtual WaitOutcome WaitForInput(LinkResult& failure) = 0;

  // Bytes waiting in the driver's queue.
  virtual LinkResult QueuedCount(int& count) = 0;

  // Reads exactly `count` bytes (never more than QueuedCount reported).
  virtual LinkResult ReadQueued(std::uint8_t* destination, int count) = 0;

  // Replaces the wait object (after the record header).
  virtual void RenewWaitObject() = 0;

  virtual void ClosePort() = 0;

  // Where the port name leads, for the operator to tell the ports apart (a
  // device path); empty when the name says it all.
  virtual std::string PortDescription(const std::string& /*portName*/) const { return {}; }
};

// "COM" followed by the number in decimal.
std::string PortNameOf(int portNumber);

}  // namespace kalvex

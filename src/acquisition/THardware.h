#pragma once
// The acquisition worker: one record from the unit over the serial link, as
// a state machine run on its own thread. It sends the command block at
// 19 200 baud, waits at 115 200 baud for the unit's 3-byte header and then
// for the interleaved big-endian samples, bounded by the two time-outs, and
// ends with a result code. A stop request sends the stop byte 0xFF.
//
// Threads: Execute runs on the worker thread. RequestStop and SetTimeouts may
// be called from the user-interface thread at any time. The receive buffer
// and the command block belong to the caller and must not be touched while
// Execute runs. Status goes out through AcquisitionObserver without waiting.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/CommandBlock.h"
// Progress indicator values: 1..998 percent, 999 blank, 1000 + s seconds left.
#include "acquisition/ProgressPanel.h"

namespace kalvex {

class SerialLink;

// Receives the worker's status on the worker thread. Implementations hand
// the latest text and indicator to the user interface without blocking.
class AcquisitionObserver {
 public:
  virtual ~AcquisitionObserver() = default;
  virtual void StatusText(const std::string& text) = 0;
  virtual void Progress(int indicator) = 0;
};

// The raw dump of a completed data block ("trace.dmp"), created by the
// caller before the worker runs.
class AcquisitionDump {
 public:
  virtual ~AcquisitionDump() = default;
  virtual void Write(const std::uint8_t* bytes, std::size_t count) = 0;
  virtual void Close() = 0;
};

inline constexpr int ResultComplete = 0;
inline constexpr int ResultStopped = 100;

class THardware {
 public:
  // `receiveBuffer` holds `expectedSize` bytes, allocated before Start.
  THardware(SerialLink& link, AcquisitionObserver& observer, int portNumber,
            const CommandBlock& command, std::vector<std::uint8_t>& receiveBuffer,
            AcquisitionDump* dump, int timeout1, int timeout2);

  void Execute();

  void RequestStop() { stop_.store(true); }
  void SetTimeouts(int timeout1, int timeout2) {
    timeout1_.store(timeout1);
    timeout2_.store(timeout2);
  }

  int ResultCode() const { return result_; }
  // The platform's error number behind codes 4, 16 and 20.
  int SystemError() const { return systemError_; }
  const std::string& PortName() const { return portName_; }
  std::array<std::uint8_t, 3> Header() const { return header_; }

 private:
  bool SendCommand();
  void Receive();
  bool TakeHeader(int queued);
  bool TakeData(int queued);
  void StopSequence();
  bool Fail(int code, int systemError = 0);

  SerialLink& link_;
  AcquisitionObserver& observer_;
  int portNumber_;
  const CommandBlock& command_;
  std::vector<std::uint8_t>& buffer_;
  AcquisitionDump* dump_;
  std::string portName_;
  std::atomic<bool> stop_{false};
  std::atomic<int> timeout1_, timeout2_;
  int result_ = 0;
  int systemError_ = 0;
  bool headerReceived_ = false;
  int received_ = 0;
  int waitCount_ = 0;
  std::array<std::uint8_t, 3> header_{};
};

// The message of a result code ("%s" filled with the port name, "%d" with the
// system error number); empty for 0 and 100.
std::string AcquisitionResultMessage(int code, const std::string& portName, int systemError);

}  // namespace kalvex

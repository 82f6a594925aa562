#pragma once
// The simulator's end of the serial line (POSIX): raw, receiving at 19 200 baud
// (commands) and sending at 115 200 baud (records). Pseudo-terminals ignore the
// speeds; a real device needs a driver that accepts different input and output
// speeds.

#include <cstdint>
#include <string>
#include <vector>

namespace kalvex::unitsim {

class SimLine {
 public:
  explicit SimLine(std::string device) : device_(std::move(device)) {}
  ~SimLine() { Close(); }
  SimLine(const SimLine&) = delete;
  SimLine& operator=(const SimLine&) = delete;

  // False with `error` set when the device cannot be opened and set up.
  bool Open(std::string& error);
  void Close();
  const std::string& Device() const { return device_; }

  // Waits up to `ms` for received bytes and appends them to `received`.
  // False when the line is gone (hung up or failed).
  bool Receive(long ms, std::vector<std::uint8_t>& received);

  // Writes all `count` bytes, receiving into `received` whenever the far end
  // is not taking them. False when the line is gone.
  bool Send(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& received);

  // Waits until the bytes written have left the driver.
  void Drain();

 private:
  bool ReadAvailable(std::vector<std::uint8_t>& received);

  std::string device_;
  int fd_ = -1;
};

}  // namespace kalvex::unitsim

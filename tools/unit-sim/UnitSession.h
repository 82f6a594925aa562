#pragma once
// The unit's side of the exchange: wait for a command block, answer it with
// the header and the paced data block (or with the fault the options ask for),
// stop on 0xFF, and wait for the next block.

#include <chrono>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "CommandDecoding.h"
#include "SimLine.h"
#include "SimOptions.h"

namespace kalvex::unitsim {

// One line per event, with the milliseconds since the start; flushed at once so
// that a test can follow it while the simulator runs.
class SimLog {
 public:
  bool Open(const std::string& path);
  ~SimLog();
  void Line(const std::string& text);

 private:
  std::FILE* file_ = nullptr;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::string HexBytes(const std::uint8_t* bytes, std::size_t count);

class UnitSession {
 public:
  UnitSession(const SimOptions& options, SimLine& line, SimLog& log)
      : options_(options), line_(line), log_(log) {}

  // Runs until --once is satisfied (0) or the line is lost (1).
  int Run();

 private:
  enum class End { Completed, Stopped, NewCommand, Dropped, LineLost };

  End Answer(const RecordRequest& request);
  // Sends `count` bytes at the configured pace, adding each piece sent to
  // `counted` (if given); false when the exchange ends early (end_ says why).
  bool SendPaced(const std::uint8_t* bytes, std::size_t count, long* counted);
  bool SendNow(const std::uint8_t* bytes, std::size_t count);
  // Listens for `ms` (or until the exchange ends); false when it ends.
  bool Listen(long ms);
  // Sends nothing more; listens until a stop, a new block or a lost line.
  End ListenUntilEnd();
  // Looks at the bytes received so far; false when they end the exchange.
  bool ScanInput(bool answering);
  void WaitForCommand();
  static const char* EndText(End end);

  const SimOptions& options_;
  SimLine& line_;
  SimLog& log_;
  std::vector<std::uint8_t> received_;  // bytes from the line not yet scanned
  InputScanner scanner_;
  std::optional<CommandBytes> pending_;  // a block waiting to be answered
  End end_ = End::Completed;
  long dataSent_ = 0;
};

}  // namespace kalvex::unitsim

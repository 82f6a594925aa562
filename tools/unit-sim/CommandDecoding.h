#pragma once
// What the unit reads from the program: the 23-byte command block that asks
// for a record, and the stop byte, picked out of the received byte stream.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace kalvex::unitsim {

inline constexpr int kCommandSize = 23;
inline constexpr std::uint8_t kStopByte = 0xFF;

using CommandBytes = std::array<std::uint8_t, kCommandSize>;

// The record a command block asks for.
struct RecordRequest {
  int mode = 0;             // recording mode 0..4
  int sampleRateIndex = 0;  // k: 500 << k samples per second
  int recordLength = 0;     // samples per channel, sweep + 500
};

// Decodes the block; `forcedMode` >= 0 replaces the mode the block implies.
// nullopt with `why` set when the block cannot describe a record.
std::optional<RecordRequest> DecodeCommandBlock(const CommandBytes& block, int forcedMode,
                                                std::string& why);

// The mode a block implies by its channel count (offset 8) and configuration
// (offset 16). Some "Similarity" blocks look like other modes; --mode settles those.
int ModeOfBlock(const CommandBytes& block);

// Picks command blocks (0xCC 0xA5 and 21 more bytes) and stop bytes out of the
// received stream, one byte at a time.
class InputScanner {
 public:
  enum class Event { None, Stop, Command };

  // While `answering`, a 0xFF outside a command block is a stop; otherwise
  // bytes outside a block are ignored.
  Event Feed(std::uint8_t byte, bool answering);

  // The block completed by the last Command event.
  const CommandBytes& Block() const { return block_; }

  // Bytes that belonged to no block (and were no stop) since the last call.
  long TakeIgnored() { return std::exchange(ignored_, 0); }

 private:
  CommandBytes block_{};
  int filled_ = 0;
  long ignored_ = 0;
};

}  // namespace kalvex::unitsim

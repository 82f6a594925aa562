#include "CommandDecoding.h"

#include "recordings/RecordingModes.h"

namespace kalvex::unitsim {

int ModeOfBlock(const CommandBytes& block) {
  const int channels = block[8];
  const int configuration = block[16];
  if (channels == 6 && configuration == 25) return Velnarund;
  if (channels == 6 && configuration == 24) return Tarpokline;
  if (channels == 3) return Dodida;
  if (channels == 2) return Ombrel16;
  return Similarity;
}

std::optional<RecordRequest> DecodeCommandBlock(const CommandBytes& block, int forcedMode,
                                                std::string& why) {
  RecordRequest r;
  const int interval = block[2] << 8 | block[3];
  r.sampleRateIndex = -1;
  for (int k = 0; k <= 4; ++k)
    if (interval == 1840 >> k) r.sampleRateIndex = k;
  if (r.sampleRateIndex < 0) {
    why = "sample interval " + std::to_string(interval) + " is none of 1840 >> 0..4";
    return std::nullopt;
  }
  const std::uint32_t length = std::uint32_t{block[4]} << 24 | std::uint32_t{block[5]} << 16 |
                               std::uint32_t{block[6]} << 8 | block[7];
  if (length < 500 || length > 65535) {
    why = "record length " + std::to_string(length) + " is outside 500..65535";
    return std::nullopt;
  }
  r.recordLength = static_cast<int>(length);
  r.mode = forcedMode >= 0 ? forcedMode : ModeOfBlock(block);
  return r;
}

InputScanner::Event InputScanner::Feed(std::uint8_t byte, bool answering) {
  if (filled_ == 1 && byte != 0xA5) {  // not a block after all; look at this byte afresh
    filled_ = 0;
    ++ignored_;
  }
  if (filled_ == 0) {
    if (byte == 0xCC) {
      block_[filled_++] = byte;
      return Event::None;
    }
    if (answering && byte == kStopByte) return Event::Stop;
    ++ignored_;
    return Event::None;
  }
  block_[filled_++] = byte;
  if (filled_ < kCommandSize) return Event::None;
  filled_ = 0;
  return Event::Command;
}

}  // namespace kalvex::unitsim

#include "UnitSession.h"

#include <algorithm>
#include <thread>

#include "RecordGeneration.h"

namespace kalvex::unitsim {
namespace {

using Clock = std::chrono::steady_clock;

// The unit starts recording with the header and sends the data later; the
// program reads the header apart from the data only if there is a gap.
constexpr long kHeaderGapMs = 200;
constexpr long kSplitHeaderGapMs = 200;
// How long a dropped line stays closed before it is opened again.
constexpr long kDroppedMs = 1000;
// With --once, time for the far end to take the last bytes before the line closes.
constexpr long kLingerMs = 1000;
constexpr std::uint8_t kExtraByte = 0x5A;

}  // namespace

bool SimLog::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

SimLog::~SimLog() {
  if (file_) std::fclose(file_);
}

void SimLog::Line(const std::string& text) {
  if (!file_) return;
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
  std::fprintf(file_, "%lld %s\n", static_cast<long long>(ms), text.c_str());
  std::fflush(file_);
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < count; ++i) {
    if (i) s += ' ';
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 15];
  }
  return s;
}

const char* UnitSession::EndText(End end) {
  switch (end) {
    case End::Completed:
      return "completed";
    case End::Stopped:
      return "stopped";
    case End::NewCommand:
      return "interrupted by a new command block";
    case End::Dropped:
      return "dropped the line";
    case End::LineLost:
      return "line lost";
  }
  return "";
}

bool UnitSession::ScanInput(bool answering) {
  std::size_t used = 0;
  bool ended = false;
  while (used < received_.size() && !ended) {
    const std::uint8_t byte = received_[used++];
    switch (scanner_.Feed(byte, answering)) {
      case InputScanner::Event::Stop:
        log_.Line("received stop byte ff after " + std::to_string(dataSent_) + " data bytes");
        end_ = End::Stopped;
        ended = true;
        break;
      case InputScanner::Event::Command:
        log_.Line("received command block " + HexBytes(scanner_.Block().data(), kCommandSize));
        pending_ = scanner_.Block();
        end_ = End::NewCommand;
        ended = true;
        break;
      case InputScanner::Event::None:
        break;
    }
  }
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(used));
  if (const long ignored = scanner_.TakeIgnored(); ignored > 0)
    log_.Line("ignored " + std::to_string(ignored) + " bytes outside command blocks");
  return !ended;
}

bool UnitSession::Listen(long ms) {
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  do {
    const long left = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count());
    if (!line_.Receive(std::max(left, 0L), received_)) {
      end_ = End::LineLost;
      return false;
    }
    if (!ScanInput(true)) return false;
  } while (Clock::now() < until);
  return true;
}

bool UnitSession::SendNow(const std::uint8_t* bytes, std::size_t count) {
  if (!line_.Send(bytes, count, received_)) {
    end_ = End::LineLost;
    return false;
  }
  return ScanInput(true);
}

bool UnitSession::SendPaced(const std::uint8_t* bytes, std::size_t count, long* counted) {
  // About a hundredth of a second's worth at a time, on a schedule from the start,
  // so that the average pace holds whatever the waits cost.
  const double rate = static_cast<double>(options_.rate);
  const std::size_t chunk = static_cast<std::size_t>(std::max(1L, options_.rate / 100));
  const auto start = Clock::now();
  std::size_t sent = 0;
  while (sent < count) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const std::size_t due = std::min(count, static_cast<std::size_t>(elapsed * rate) + chunk);
    if (due > sent) {
      if (!line_.Send(bytes + sent, due - sent, received_)) {
        end_ = End::LineLost;
        return false;
      }
      if (counted) *counted += static_cast<long>(due - sent);
      sent = due;
      if (!ScanInput(true)) return false;
      continue;
    }
    const double nextAt = (static_cast<double>(sent) + 1 - static_cast<double>(chunk)) / rate;
    if (!Listen(std::max(1L, static_cast<long>((nextAt - elapsed) * 1000)))) return false;
  }
  return true;
}

UnitSession::End UnitSession::ListenUntilEnd() {
  while (Listen(1000)) {
  }
  return end_;
}

UnitSession::End UnitSession::Answer(const RecordRequest& request) {
  end_ = End::Completed;
  dataSent_ = 0;
  if (!Listen(options_.delayMs)) return end_;
  if (options_.noHeader) {
    log_.Line("not answering (no header)");
    return ListenUntilEnd();
  }
  const auto header = RecordHeaderFor(request);
  if (options_.splitHeader) {
    if (!SendNow(header.data(), 1)) return end_;
    log_.Line("sent header byte " + HexBytes(header.data(), 1));
    if (!Listen(kSplitHeaderGapMs)) return end_;
    if (!SendNow(header.data() + 1, 2)) return end_;
    log_.Line("sent header bytes " + HexBytes(header.data() + 1, 2));
  } else {
    if (!SendNow(header.data(), header.size())) return end_;
    log_.Line("sent header " + HexBytes(header.data(), header.size()));
  }
  if (!Listen(kHeaderGapMs)) return end_;

  if (options_.faulty) {
    const std::string misfit = vibmodel::CheckFaults(options_.faults, request.mode);
    log_.Line(misfit.empty() ? "sending a faulty vibrator's record"
                             : "the faults do not fit the record (" + misfit + "): not applied");
  }
  const std::vector<std::uint8_t> data =
      DataBlockFor(request, options_.faulty ? &options_.faults : nullptr);
  std::size_t limit = data.size();
  if (options_.stallAfter >= 0)
    limit = std::min(limit, static_cast<std::size_t>(options_.stallAfter));
  if (options_.dropAfter >= 0)
    limit = std::min(limit, static_cast<std::size_t>(options_.dropAfter));
  if (!SendPaced(data.data(), limit, &dataSent_)) return end_;
  if (limit < data.size()) {
    if (options_.dropAfter >= 0 && static_cast<std::size_t>(options_.dropAfter) == limit) {
      line_.Drain();
      line_.Close();
      log_.Line("dropped the line after " + std::to_string(dataSent_) + " data bytes");
      return End::Dropped;
    }
    log_.Line("stalled after " + std::to_string(dataSent_) + " data bytes");
    return ListenUntilEnd();
  }
  log_.Line("sent data " + std::to_string(dataSent_) + " bytes");
  if (options_.extraBytes > 0) {
    const std::vector<std::uint8_t> extra(static_cast<std::size_t>(options_.extraBytes),
                                          kExtraByte);
    if (!SendPaced(extra.data(), extra.size(), nullptr)) return end_;
    log_.Line("sent extra " + std::to_string(extra.size()) + " bytes");
  }
  return End::Completed;
}

void UnitSession::WaitForCommand() {
  while (!pending_) {
    if (!line_.Receive(1000, received_)) {
      end_ = End::LineLost;
      return;
    }
    ScanInput(false);
  }
}

int UnitSession::Run() {
  for (;;) {
    WaitForCommand();
    if (!pending_) {
      log_.Line("line lost");
      return 1;
    }
    const CommandBytes block = *pending_;
    pending_.reset();
    std::string why;
    const auto request = DecodeCommandBlock(block, options_.mode, why);
    if (!request) {
      log_.Line("refused command block: " + why);
      continue;
    }
    log_.Line("record mode " + std::to_string(request->mode) + ", sample rate index " +
              std::to_string(request->sampleRateIndex) + ", record length " +
              std::to_string(request->recordLength) + ", " +
              std::to_string(WireChannelCount(request->mode)) + " channels");
    const End end = Answer(*request);
    log_.Line(std::string("exchange ended: ") + EndText(end));
    if (end == End::LineLost) return 1;
    if (options_.once) {
      if (end == End::Completed) {
        line_.Drain();
        std::vector<std::uint8_t> ignored;
        line_.Receive(kLingerMs, ignored);
      }
      return 0;
    }
    if (end == End::Dropped) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kDroppedMs));
      std::string error;
      if (!line_.Open(error)) {
        log_.Line("cannot open the line again: " + error);
        return 1;
      }
      log_.Line("opened " + line_.Device() + " again");
    }
  }
}

}  // namespace kalvex::unitsim

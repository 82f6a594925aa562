#include "acquisition/THardware.h"

#include <algorithm>
#include <cmath>

#include "acquisition/SerialLink.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// Result codes of the command channel's steps: at Start, and when it is
// opened again at Stop for the stop byte.
struct CommandCodes {
  int open, purge, settings, write, modeString;
};
constexpr CommandCodes kAtStart{1, 2, 3, 4, 5};
constexpr CommandCodes kAtStop{17, 18, 19, 20, 21};

int CodeOf(const LinkResult& r, const CommandCodes& codes) {
  switch (r.failed) {
    case LinkStep::Open:
      return codes.open;
    case LinkStep::Purge:
      return codes.purge;
    case LinkStep::Write:
      return codes.write;
    case LinkStep::ModeString:
      return codes.modeString;
    default:
      return codes.settings;
  }
}

int DataChannelCode(const LinkResult& r) {
  if (r.failed == LinkStep::Open) return 6;
  return r.failed == LinkStep::ModeString ? 7 : 8;
}

// A read failure reported by the wait (a lost line) is the read of the phase.
int WaitCode(const LinkResult& r, bool headerReceived) {
  switch (r.failed) {
    case LinkStep::EventMask:
      return 9;
    case LinkStep::QueueStatus:
      return 11;
    case LinkStep::Read:
      return headerReceived ? 13 : 12;
    default:
      return 10;
  }
}

}  // namespace

THardware::THardware(SerialLink& link, AcquisitionObserver& observer, int portNumber,
                     const CommandBlock& command, std::vector<std::uint8_t>& receiveBuffer,
                     AcquisitionDump* dump, int timeout1, int timeout2)
    : link_(link),
      observer_(observer),
      portNumber_(portNumber),
      command_(command),
      buffer_(receiveBuffer),
      dump_(dump),
      timeout1_(timeout1),
      timeout2_(timeout2) {}

bool THardware::Fail(int code, int systemError) {
  result_ = code;
  systemError_ = systemError;
  return false;
}

void THardware::Execute() {
  portName_ = PortNameOf(portNumber_);
  if (SendCommand()) Receive();
  link_.ClosePort();
}

bool THardware::SendCommand() {
  LinkResult r = link_.OpenCommandChannel(portName_);
  if (!r.ok()) return Fail(CodeOf(r, kAtStart));
  observer_.StatusText(Text(TextId::SendingCommandTo) + portName_);
  r = link_.WriteBytes(command_.Bytes.data(), CommandBlockSize);
  if (!r.ok()) return Fail(4, r.systemError);
  observer_.StatusText(Text(TextId::WaitingForData));
  link_.ClosePort();
  r = link_.OpenDataChannel(portName_);
  if (!r.ok()) return Fail(DataChannelCode(r));
  return true;
}

void THardware::Receive() {
  headerReceived_ = false;
  received_ = 0;
  waitCount_ = 0;
  for (;;) {
    if (stop_.load()) return StopSequence();
    LinkResult failure;
    switch (link_.WaitForInput(failure)) {
      case WaitOutcome::Retry:
        continue;
      case WaitOutcome::AtOnce:
        Fail(16, failure.systemError);
        return;
      case WaitOutcome::Failed:
        Fail(WaitCode(failure, headerReceived_));
        return;
      case WaitOutcome::TimeOut: {
        ++waitCount_;
        const int t1 = timeout1_.load(), t2 = timeout2_.load();
        if (!headerReceived_ && t1 > 0 && waitCount_ >= t1) return void(Fail(14));
        if (headerReceived_ && t2 > 0) {
          observer_.Progress(t2 + ProgressSecondsBase - waitCount_);
          if (waitCount_ >= t2) return void(Fail(15));
        }
        continue;
      }
      case WaitOutcome::Input:
        break;
    }
    int queued = 0;
    LinkResult r = link_.QueuedCount(queued);
    if (!r.ok()) return void(Fail(11));
    if (queued == 0) continue;
    const bool goOn = headerReceived_ ? TakeData(queued) : TakeHeader(queued);
    if (!goOn) return;
  }
}

// Reads every queued byte; the first three since the data channel opened are
// the header, the rest of them are dropped. The receive buffer serves as the
// scratch space: the data phase writes every byte of it again.
bool THardware::TakeHeader(int queued) {
  const int room = static_cast<int>(buffer_.size());
  for (int left = queued; left > 0;) {
    const int chunk = std::min(left, std::max(room, 1));
    if (room == 0 || !link_.ReadQueued(buffer_.data(), chunk).ok()) return Fail(12);
    for (int k = 0; k < chunk && received_ + k < 3; ++k) header_[received_ + k] = buffer_[k];
    received_ += chunk;
    left -= chunk;
  }
  if (received_ < 3) return true;
  observer_.StatusText(FormatText(
      TextId::HeaderReceived,
      {std::to_string(header_[0]), std::to_string(header_[1]), std::to_string(header_[2])}));
  observer_.Progress(ProgressBlank);
  received_ = 0;
  waitCount_ = 0;
  headerReceived_ = true;
  link_.RenewWaitObject();
  return true;
}

bool THardware::TakeData(int queued) {
  const int expected = static_cast<int>(buffer_.size());
  const int m = std::min(queued, expected - received_);
  if (!link_.ReadQueued(buffer_.data() + received_, m).ok()) return Fail(13);
  received_ += m;
  observer_.StatusText(Text(TextId::ReceivingData));
  observer_.Progress(static_cast<int>(std::nearbyint(received_ * 100.0 / expected)));
  if (received_ < expected) return true;
  if (dump_) {
    dump_->Write(buffer_.data(), static_cast<std::size_t>(received_));
    dump_->Close();
  }
  result_ = ResultComplete;
  return false;
}

void THardware::StopSequence() {
  if (dump_) dump_->Close();  // a stopped record leaves the dump empty
  result_ = ResultStopped;
  link_.ClosePort();
  LinkResult r = link_.OpenCommandChannel(portName_);
  if (!r.ok()) return void(Fail(CodeOf(r, kAtStop)));
  observer_.StatusText(Text(TextId::SendingStopByte));
  static constexpr std::uint8_t kStop = 0xFF;
  r = link_.WriteBytes(&kStop, 1);
  if (!r.ok()) Fail(20, r.systemError);
}

std::string AcquisitionResultMessage(int code, const std::string& portName, int systemError) {
  const std::string error = std::to_string(systemError);
  switch (code) {
    case 1:
    case 6:
    case 17:
      return FormatText(TextId::PortCannotBeOpened, {portName});
    case 2:
    case 11:
    case 18:
      return portName + Text(TextId::PurgeFailedSuffix);
    case 3:
    case 5:
    case 7:
    case 8:
    case 19:
    case 21:
      return Text(TextId::PortSettingsFailed);
    case 4:
      return FormatText(TextId::TransferError, {error});
    case 9:
      return Text(TextId::WaitMaskFailed);
    case 10:
      return Text(TextId::OverlappedResultFailed);
    case 12:
    case 13:
      return Text(TextId::PortReadFailed);
    case 14:
      return Text(TextId::NoConnection);
    case 15:
      return Text(TextId::NoData);
    case 16:
      return FormatText(TextId::EventWaitError, {error});
    case 20:
      return Text(TextId::StopByteFailed) + error;
    default:
      return "";
  }
}

}  // namespace kalvex

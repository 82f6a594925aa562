#include "platform/Win32SerialLink.h"

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace kalvex {
namespace {

constexpr int kHighestPort = 32;
constexpr DWORD kWaitSliceMs = 1000;
constexpr char kCommandMode[] = "baud=19200 parity=N data=8 stop=1 octs=off";
constexpr char kDataMode[] = "baud=115200 parity=N data=8 stop=1 octs=off";

// Read time-outs of the data channel: a read asks only for bytes already
// queued, so these merely bound it should the driver be slow to hand them over.
constexpr DWORD kReadIntervalMs = 30;
constexpr DWORD kReadPerByteMs = 10;
constexpr DWORD kReadConstantMs = 100;
// Write bound of the command channel: 19 200 baud moves about two bytes a
// millisecond, so this only ends a write that can never complete (a line held
// by a flow-control setting the port came with), which would otherwise hang
// the worker where no stop request reaches it.
constexpr DWORD kWritePerByteMs = 1;
constexpr DWORD kWriteConstantMs = 2000;
// How long closing waits for a cancelled receive-event wait to complete.
constexpr DWORD kCancelWaitMs = 500;

HANDLE AsHandle(void* h) {
  return static_cast<HANDLE>(h);
}

LinkResult Fail(LinkStep step, DWORD error) {
  // A call can fail without setting an error; still report a non-zero code.
  return {step, static_cast<int>(error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error)};
}

LinkResult FailLast(LinkStep step) {
  return Fail(step, GetLastError());
}

std::wstring DevicePath(int portNumber) {
  return L"\\\\.\\COM" + std::to_wstring(portNumber);
}

// No sharing: the port has one user at a time.
HANDLE OpenPort(int portNumber, DWORD access, DWORD flags) {
  return CreateFileW(DevicePath(portNumber).c_str(), access, 0, nullptr, OPEN_EXISTING, flags,
                     nullptr);
}

}  // namespace

// One overlapped record serves the receive-event waits and the reads of the
// data channel. `pending` is set while a WaitCommEvent on it has not completed.
struct Win32SerialLink::WaitObject {
  OVERLAPPED record{};
  DWORD mask = 0;
  bool pending = false;
};

int Win32SerialLink::PortNumberOf(const std::string& portName) {
  if (portName.size() < 4 || portName.size() > 5 || portName.compare(0, 3, "COM") != 0) return 0;
  if (portName[3] == '0') return 0;
  int n = 0;
  for (std::size_t i = 3; i < portName.size(); ++i) {
    if (portName[i] < '0' || portName[i] > '9') return 0;
    n = n * 10 + (portName[i] - '0');
  }
  return n <= kHighestPort ? n : 0;
}

Win32SerialLink::Win32SerialLink() = default;

Win32SerialLink::~Win32SerialLink() {
  ClosePort();
}

// The same open as a data channel's, with both directions asked for, so that a
// port is listed only if either channel could be opened on it now.
std::vector<std::string> Win32SerialLink::ProbePorts() {
  std::vector<std::string> found;
  for (int n = 1; n <= kHighestPort; ++n) {
    const HANDLE h = OpenPort(n, GENERIC_READ | GENERIC_WRITE, FILE_FLAG_OVERLAPPED);
    if (h == INVALID_HANDLE_VALUE) continue;
    found.push_back(PortNameOf(n));
    CloseHandle(h);
  }
  return found;
}

LinkResult Win32SerialLink::Open(const std::string& portName, Channel channel) {
  const bool data = channel == Channel::Data;
  ClosePort();
  const int n = PortNumberOf(portName);
  if (n == 0) return Fail(LinkStep::Open, ERROR_FILE_NOT_FOUND);
  // Each channel uses one direction only, but asks for both: Wine refuses the
  // purge, line-state and queue-status calls on a write-only handle
  // (ERROR_ACCESS_DENIED) and ends every receive-event wait on a read-only one
  // at once (ERROR_OPERATION_ABORTED). On Windows the access changes nothing
  // else for a port that is opened without sharing.
  const HANDLE h = OpenPort(n, GENERIC_READ | GENERIC_WRITE,
                            data ? FILE_FLAG_OVERLAPPED : FILE_ATTRIBUTE_NORMAL);
  if (h == INVALID_HANDLE_VALUE) return FailLast(LinkStep::Open);
  port_ = h;
  reading_ = data;

  // A stale tail of an earlier record, or an unsent command, must not mix
  // with the new exchange: both queues are emptied, not only their pending
  // operations aborted.
  constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
  if (channel == Channel::Command && !PurgeComm(h, kPurgeAll)) {
    const LinkResult failed = FailLast(LinkStep::Purge);
    ClosePort();
    return failed;
  }
  if (LinkResult r = ApplyMode(data ? kDataMode : kCommandMode); !r.ok()) {
    // The command file sender still writes on the line as it was.
    if (channel != Channel::CommandWithoutPurge) ClosePort();
    return r;
  }
  if (LinkResult r = ApplyTimeouts(channel); !r.ok()) {
    ClosePort();
    return r;
  }
  if (data && !MakeWaitObject()) {
    const LinkResult failed = FailLast(LinkStep::EventMask);
    ClosePort();
    return failed;
  }
  return {};
}

// The mode string changes only what it names; everything else (such as the
// buffer limits) stays as the port's driver had it.
LinkResult Win32SerialLink::ApplyMode(const char* mode) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  GetCommState(AsHandle(port_), &dcb);
  if (!BuildCommDCBA(mode, &dcb)) return FailLast(LinkStep::ModeString);
  if (!SetCommState(AsHandle(port_), &dcb)) return FailLast(LinkStep::LineSettings);
  return {};
}

LinkResult Win32SerialLink::ApplyTimeouts(Channel channel) {
  COMMTIMEOUTS t{};
  GetCommTimeouts(AsHandle(port_), &t);
  if (channel == Channel::Data) {
    t.ReadIntervalTimeout = kReadIntervalMs;
    t.ReadTotalTimeoutMultiplier = kReadPerByteMs;
    t.ReadTotalTimeoutConstant = kReadConstantMs;
  } else {
    t.WriteTotalTimeoutMultiplier = kWritePerByteMs;
    t.WriteTotalTimeoutConstant = kWriteConstantMs;
  }
  if (!SetCommTimeouts(AsHandle(port_), &t)) return FailLast(LinkStep::Timeouts);
  return {};
}

LinkResult Win32SerialLink::OpenCommandChannel(const std::string& portName) {
  return Open(portName, Channel::Command);
}

LinkResult Win32SerialLink::OpenCommandChannelWithoutPurge(const std::string& portName) {
  return Open(portName, Channel::CommandWithoutPurge);
}

LinkResult Win32SerialLink::OpenDataChannel(const std::string& portName) {
  return Open(portName, Channel::Data);
}

LinkResult Win32SerialLink::WriteBytes(const std::uint8_t* bytes, int count) {
  if (!port_ || reading_) return Fail(LinkStep::Write, ERROR_INVALID_HANDLE);
  if (count <= 0) return {};
  DWORD written = 0;
  if (!WriteFile(AsHandle(port_), bytes, static_cast<DWORD>(count), &written, nullptr))
    return FailLast(LinkStep::Write);
  // A write that ran into its time-out returns success with fewer bytes: the
  // unit would take a truncated command, so it is a failure here.
  if (written != static_cast<DWORD>(count)) return Fail(LinkStep::Write, ERROR_WRITE_FAULT);
  // Return once the bytes have left the driver: closing the port at once
  // (as the worker does) must not cut them off.
  if (!FlushFileBuffers(AsHandle(port_))) return FailLast(LinkStep::Write);
  return {};
}

WaitOutcome Win32SerialLink::WaitForInput(LinkResult& failure) {
  if (!port_ || !reading_ || !wait_ || !wait_->record.hEvent) {
    failure = Fail(LinkStep::EventMask, ERROR_INVALID_HANDLE);
    return WaitOutcome::Failed;
  }
  WaitObject& w = *wait_;
  // A wait left pending by a time-out goes on: arming anew would cancel it,
  // and a byte arriving in between could then raise no event at all.
  if (!w.pending) {
    if (!SetCommMask(AsHandle(port_), EV_RXCHAR)) {
      failure = FailLast(LinkStep::EventMask);
      return WaitOutcome::Failed;
    }
    // Bytes already queued (left by a shorter read, or arrived before the
    // mask was set) raise no new event; they are input now.
    int queued = 0;
    if (LinkResult r = QueueStatus(queued, LinkStep::QueueStatus); !r.ok()) {
      failure = r;
      return WaitOutcome::Failed;
    }
    if (queued > 0) return WaitOutcome::Input;
    ResetEvent(w.record.hEvent);
    w.mask = 0;
    if (WaitCommEvent(AsHandle(port_), &w.mask, &w.record)) {
      // A byte that came between arming and waiting completes the wait at
      // once; that is input, not the at-once fault.
      if (w.mask & EV_RXCHAR) return WaitOutcome::Input;
      failure = {LinkStep::None, static_cast<int>(GetLastError())};
      return WaitOutcome::AtOnce;
    }
    if (GetLastError() != ERROR_IO_PENDING) return WaitOutcome::Retry;
    w.pending = true;
  }
  switch (WaitForSingleObject(w.record.hEvent, kWaitSliceMs)) {
    case WAIT_TIMEOUT:
      return WaitOutcome::TimeOut;
    case WAIT_OBJECT_0:
      break;
    default:
      return WaitOutcome::Retry;
  }
  w.pending = false;
  DWORD unused = 0;
  if (!GetOverlappedResult(AsHandle(port_), &w.record, &unused, TRUE)) {
    failure = FailLast(LinkStep::WaitResult);
    return WaitOutcome::Failed;
  }
  // A wait that ended without a byte leaves nothing queued; the caller then
  // simply waits again.
  return WaitOutcome::Input;
}

LinkResult Win32SerialLink::QueueStatus(int& count, LinkStep step) {
  count = 0;
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(AsHandle(port_), &errors, &status)) return FailLast(step);
  count = static_cast<int>(std::min<DWORD>(status.cbInQue, 0x7fffffff));
  return {};
}

LinkResult Win32SerialLink::QueuedCount(int& count) {
  count = 0;
  if (!port_ || !reading_) return Fail(LinkStep::QueueStatus, ERROR_INVALID_HANDLE);
  return QueueStatus(count, LinkStep::QueueStatus);
}

LinkResult Win32SerialLink::ReadQueued(std::uint8_t* destination, int count) {
  if (!port_ || !reading_ || !wait_ || !wait_->record.hEvent)
    return Fail(LinkStep::Read, ERROR_INVALID_HANDLE);
  if (count <= 0) return {};
  // The record may not serve a read while a wait still runs on it.
  EndPendingWait();
  // Never wait here: asking for more than is queued is the caller's fault.
  int queued = 0;
  if (LinkResult r = QueueStatus(queued, LinkStep::Read); !r.ok()) return r;
  if (count > queued) return Fail(LinkStep::Read, ERROR_INVALID_PARAMETER);

  OVERLAPPED& record = wait_->record;
  ResetEvent(record.hEvent);
  if (!ReadFile(AsHandle(port_), destination, static_cast<DWORD>(count), nullptr, &record) &&
      GetLastError() != ERROR_IO_PENDING)
    return FailLast(LinkStep::Read);
  // The bytes are queued already, so even a read the driver reports as pending
  // completes at once; the read time-outs bound it in any case.
  DWORD got = 0;
  if (!GetOverlappedResult(AsHandle(port_), &record, &got, TRUE)) return FailLast(LinkStep::Read);
  // The caller counts `count` bytes as received: fewer would shift the record.
  if (got != static_cast<DWORD>(count)) return Fail(LinkStep::Read, ERROR_READ_FAULT);
  return {};
}

void Win32SerialLink::RenewWaitObject() {
  if (!port_ || !reading_) return;
  EndPendingWait();
  DropWaitObject();
  MakeWaitObject();  // on failure the next wait reports it
}

bool Win32SerialLink::MakeWaitObject() {
  wait_ = std::make_unique<WaitObject>();
  // Manual reset: the event stays signalled until the next operation on the
  // record starts, so a completion is never missed between two calls.
  wait_->record.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return wait_->record.hEvent != nullptr;
}

void Win32SerialLink::DropWaitObject() {
  if (!wait_) return;
  if (wait_->record.hEvent) CloseHandle(wait_->record.hEvent);
  wait_.reset();
}

// Ends a receive-event wait that a time-out left pending, so that nothing is
// outstanding on the record when it is reused or released. Changing the mask
// completes the wait; cancelling is the fallback. Bounded, so that a driver
// that ignores both cannot hang the caller.
void Win32SerialLink::EndPendingWait() {
  if (!wait_ || !wait_->pending) return;
  const HANDLE event = wait_->record.hEvent;
  SetCommMask(AsHandle(port_), EV_RXCHAR);
  if (WaitForSingleObject(event, kCancelWaitMs) != WAIT_OBJECT_0) {
    CancelIo(AsHandle(port_));
    WaitForSingleObject(event, kCancelWaitMs);
  }
  DWORD unused = 0;
  GetOverlappedResult(AsHandle(port_), &wait_->record, &unused, FALSE);
  wait_->pending = false;
}

void Win32SerialLink::ClosePort() {
  if (!port_) return;
  EndPendingWait();
  CloseHandle(AsHandle(port_));
  port_ = nullptr;
  reading_ = false;
  // After the port: closing it completes anything still outstanding on the record.
  DropWaitObject();
}

}  // namespace kalvex

#endif

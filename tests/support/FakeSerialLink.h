#pragma once
// A scripted serial link for the acquisition worker's tests. It records every
// call with its arguments, answers opens and writes from scripts (success once
// a script is used up), and plays a queue of arrivals: each WaitForInput takes
// the next one. Bytes that arrive wait in the link's queue until read;
// QueuedCount reports them and ReadQueued hands them out in order, failing the
// test if a read asks for more than is queued, or for nothing. An arrival can carry an action
// that runs when it is taken (a stop request, new time-outs).

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/SerialLink.h"

namespace kalvex::test {

struct Arrival {
  enum class Kind { Input, TimeOut, AtOnce, Retry, Failure };

  static Arrival Bytes(std::vector<std::uint8_t> bytes) {
    Arrival a;
    a.bytes = std::move(bytes);
    return a;
  }
  static Arrival TimeOut() { return Of(Kind::TimeOut); }
  static Arrival Retry() { return Of(Kind::Retry); }
  static Arrival AtOnce(int systemError) {
    Arrival a = Of(Kind::AtOnce);
    a.systemError = systemError;
    return a;
  }
  // A failure of `step`: EventMask and WaitResult fail the wait itself;
  // QueueStatus fails the count after a wake-up; Read queues `bytes` and fails
  // the read of them.
  static Arrival Failure(LinkStep step, std::vector<std::uint8_t> bytes = {}) {
    Arrival a = Of(Kind::Failure);
    a.step = step;
    a.bytes = std::move(bytes);
    return a;
  }
  // The wait itself reports a failure of `step` (a link that notices a lost
  // line while waiting reports it as a read failure).
  static Arrival WaitFailure(LinkStep step) {
    Arrival a = Of(Kind::Failure);
    a.step = step;
    a.inWait = true;
    return a;
  }

  // Runs `action` when the worker takes this arrival.
  Arrival Then(std::function<void()> what) && {
    action = std::move(what);
    return std::move(*this);
  }

  Kind kind = Kind::Input;
  std::vector<std::uint8_t> bytes;
  LinkStep step = LinkStep::None;
  bool inWait = false;
  int systemError = 0;
  std::function<void()> action;

 private:
  static Arrival Of(Kind kind) {
    Arrival a;
    a.kind = kind;
    return a;
  }
};

class FakeSerialLink : public SerialLink {
 public:
  enum class Op {
    Probe,
    OpenCommand,
    OpenCommandWithoutPurge,
    Write,
    OpenData,
    Wait,
    Queued,
    Read,
    Renew,
    Close
  };

  struct Call {
    Call(Op what, std::string portName = {}, std::vector<std::uint8_t> written = {}, int n = 0)
        : op(what), port(std::move(portName)), bytes(std::move(written)), count(n) {}
    Op op;
    std::string port;                 // opens
    std::vector<std::uint8_t> bytes;  // writes
    int count;                        // writes and reads
  };

  std::vector<std::string> ProbePorts() override {
    calls.emplace_back(Op::Probe);
    return probeResult;
  }

  LinkResult OpenCommandChannel(const std::string& portName) override {
    return Open(Op::OpenCommand, portName, commandOpens);
  }

  // A failed open other than of the line's settings leaves the port closed, as the
  // operation promises.
  LinkResult OpenCommandChannelWithoutPurge(const std::string& portName) override {
    LinkResult r = Open(Op::OpenCommandWithoutPurge, portName, unpurgedOpens);
    if (!r.ok() && !r.settingsOnly()) open_ = false;
    return r;
  }

  std::string PortDescription(const std::string& portName) const override {
    const auto found = portDescriptions.find(portName);
    return found == portDescriptions.end() ? std::string() : found->second;
  }

  LinkResult WriteBytes(const std::uint8_t* bytes, int count) override {
    calls.emplace_back(Op::Write, "", std::vector<std::uint8_t>(bytes, bytes + count), count);
    EXPECT_TRUE(open_) << "write on a closed port";
    return Next(writes);
  }

  LinkResult OpenDataChannel(const std::string& portName) override {
    return Open(Op::OpenData, portName, dataOpens);
  }

  WaitOutcome WaitForInput(LinkResult& failure) override {
    calls.emplace_back(Op::Wait);
    EXPECT_TRUE(open_) << "wait on a closed port";
    if (arrivals.empty()) {
      ADD_FAILURE() << "the worker waited beyond the scripted arrivals";
      failure = {LinkStep::WaitResult, 0};
      return WaitOutcome::Failed;
    }
    Arrival a = std::move(arrivals.front());
    arrivals.pop_front();
    ++taken;
    if (a.action) a.action();
    switch (a.kind) {
      case Arrival::Kind::TimeOut:
        return WaitOutcome::TimeOut;
      case Arrival::Kind::Retry:
        return WaitOutcome::Retry;
      case Arrival::Kind::AtOnce:
        failure = {LinkStep::None, a.systemError};
        return WaitOutcome::AtOnce;
      case Arrival::Kind::Input:
        queued_.insert(queued_.end(), a.bytes.begin(), a.bytes.end());
        return WaitOutcome::Input;
      case Arrival::Kind::Failure:
        if (a.inWait) {
          failure = {a.step, 0};
          return WaitOutcome::Failed;
        }
        if (a.step == LinkStep::QueueStatus) {
          failQueuedCount_ = true;
          return WaitOutcome::Input;
        }
        if (a.step == LinkStep::Read) {
          queued_.insert(queued_.end(), a.bytes.begin(), a.bytes.end());
          failRead_ = true;
          return WaitOutcome::Input;
        }
        failure = {a.step, 0};
        return WaitOutcome::Failed;
    }
    return WaitOutcome::Retry;
  }

  LinkResult QueuedCount(int& count) override {
    calls.emplace_back(Op::Queued);
    if (failQueuedCount_) {
      failQueuedCount_ = false;
      return {LinkStep::QueueStatus, 0};
    }
    count = static_cast<int>(queued_.size());
    return {};
  }

  LinkResult ReadQueued(std::uint8_t* destination, int count) override {
    calls.emplace_back(Op::Read, "", std::vector<std::uint8_t>{}, count);
    EXPECT_TRUE(open_) << "read on a closed port";
    EXPECT_LE(count, static_cast<int>(queued_.size())) << "read asks for more than is queued";
    EXPECT_GE(count, 1) << "empty read";
    if (failRead_) {
      failRead_ = false;
      return {LinkStep::Read, 0};
    }
    for (int k = 0; k < count && !queued_.empty(); ++k) {
      destination[k] = queued_.front();
      queued_.pop_front();
    }
    return {};
  }

  void RenewWaitObject() override { calls.emplace_back(Op::Renew); }

  void ClosePort() override {
    calls.emplace_back(Op::Close);
    open_ = false;
  }

  // The operations called, in order.
  std::vector<Op> Ops() const {
    std::vector<Op> ops;
    for (const Call& c : calls) ops.push_back(c.op);
    return ops;
  }
  int CountOf(Op op) const {
    int n = 0;
    for (const Call& c : calls) n += c.op == op;
    return n;
  }
  std::vector<Call> CallsOf(Op op) const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.op == op) out.push_back(c);
    return out;
  }
  // Received bytes nobody read.
  std::size_t Unread() const { return queued_.size(); }
  bool IsOpen() const { return open_; }

  // Scripts: each open or write takes the next result; success once used up.
  std::deque<LinkResult> commandOpens, unpurgedOpens, dataOpens, writes;
  std::deque<Arrival> arrivals;
  std::vector<std::string> probeResult;
  std::map<std::string, std::string> portDescriptions;

  std::vector<Call> calls;
  int taken = 0;  // arrivals taken so far

 private:
  LinkResult Open(Op op, const std::string& portName, std::deque<LinkResult>& script) {
    calls.emplace_back(op, portName);
    EXPECT_FALSE(open_) << "port opened again without being closed";
    open_ = true;  // a failed open may hold the port until ClosePort
    return Next(script);
  }

  static LinkResult Next(std::deque<LinkResult>& script) {
    if (script.empty()) return {};
    LinkResult r = script.front();
    script.pop_front();
    return r;
  }

  bool open_ = false;
  bool failQueuedCount_ = false;
  bool failRead_ = false;
  std::deque<std::uint8_t> queued_;
};

}  // namespace kalvex::test

// The acquisition worker over a scripted link: the exchange in order, the
// header and data phases, both time-outs, the stop sequence, every failure's
// result code, and the messages of the codes. Whatever the path, the port is
// released at the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/THardware.h"
#include "support/FakeSerialLink.h"

namespace kalvex {
namespace {

using test::Arrival;
using test::FakeSerialLink;
using Op = FakeSerialLink::Op;
using Bytes = std::vector<std::uint8_t>;

class RecordingObserver : public AcquisitionObserver {
 public:
  void StatusText(const std::string& text) override { texts.push_back(text); }
  void Progress(int indicator) override { progress.push_back(indicator); }
  std::vector<std::string> texts;
  std::vector<int> progress;
};

class FakeDump : public AcquisitionDump {
 public:
  void Write(const std::uint8_t* bytes, std::size_t count) override {
    writes.emplace_back(bytes, bytes + count);
  }
  void Close() override { ++closes; }
  std::vector<Bytes> writes;
  int closes = 0;
};

// A data block of `n` distinct-looking bytes.
Bytes DataBlock(int n) {
  Bytes b(n);
  for (int i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 37 + 11);
  return b;
}

Bytes Slice(const Bytes& b, int from, int to) {
  return Bytes(b.begin() + from, b.begin() + to);
}

const char kSending[] = "Передача командного файла в COM3";
const char kWaiting[] = "Ждем данные...";
const char kReceiving[] = "Прием данных...";
const char kStopText[] = "Передача в порт 0xFF";

class WorkerTest : public ::testing::Test {
 protected:
  WorkerTest() {
    for (int i = 0; i < CommandBlockSize; ++i) block.Bytes[i] = static_cast<std::uint8_t>(0xC0 + i);
  }

  THardware& Make(int expectedSize, int timeout1, int timeout2) {
    buffer.assign(expectedSize, 0);
    worker =
        std::make_unique<THardware>(link, observer, 3, block, buffer, &dump, timeout1, timeout2);
    return *worker;
  }

  int Run() {
    worker->Execute();
    return worker->ResultCode();
  }

  std::function<void()> Stop() {
    return [this] { worker->RequestStop(); };
  }

  void Script(std::initializer_list<Arrival> list) {
    for (const Arrival& a : list) link.arrivals.push_back(a);
  }

  // Writes of the single stop byte.
  int StopBytesWritten() const {
    int n = 0;
    for (const auto& w : link.CallsOf(Op::Write))
      if (w.bytes == Bytes{0xFF}) ++n;
    return n;
  }

  // Every path ends with the port released.
  void TearDown() override {
    ASSERT_FALSE(link.calls.empty());
    EXPECT_EQ(link.calls.back().op, Op::Close);
    EXPECT_FALSE(link.IsOpen());
  }

  FakeSerialLink link;
  RecordingObserver observer;
  FakeDump dump;
  CommandBlock block;
  Bytes buffer;
  std::unique_ptr<THardware> worker;
};

TEST_F(WorkerTest, CompleteExchangeSendsTheCommandThenReceivesHeaderAndData) {
  const Bytes data = DataBlock(24);
  Make(24, 2, 5);
  Script({Arrival::Bytes({1, 2, 3}), Arrival::Bytes(Slice(data, 0, 5)), Arrival::TimeOut(),
          Arrival::Bytes(Slice(data, 5, 12)), Arrival::Bytes(Slice(data, 12, 24))});

  EXPECT_EQ(Run(), ResultComplete);

  // clang-format off
  const std::vector<Op> expected{
      Op::OpenCommand, Op::Write, Op::Close,        // the command block at 19 200 baud
      Op::OpenData,
      Op::Wait, Op::Queued, Op::Read, Op::Renew,    // header
      Op::Wait, Op::Queued, Op::Read,               // data, 5 bytes
      Op::Wait,                                     // an idle second
      Op::Wait, Op::Queued, Op::Read,               // 7 bytes
      Op::Wait, Op::Queued, Op::Read,               // the last 12
      Op::Close};
  // clang-format on
  EXPECT_EQ(link.Ops(), expected);
  EXPECT_EQ(link.calls[0].port, "COM3");
  EXPECT_EQ(link.calls[3].port, "COM3");
  EXPECT_EQ(link.calls[1].bytes, Bytes(block.Bytes.begin(), block.Bytes.end()));
  std::vector<int> reads;
  for (const auto& r : link.CallsOf(Op::Read)) reads.push_back(r.count);
  EXPECT_EQ(reads, (std::vector<int>{3, 5, 7, 12}));

  EXPECT_EQ(buffer, data);
  EXPECT_EQ(worker->Header(), (std::array<std::uint8_t, 3>{1, 2, 3}));
  EXPECT_EQ(observer.texts, (std::vector<std::string>{kSending, kWaiting,
                                                      "Принят заголовок (1,2,3). Ждем данные...",
                                                      kReceiving, kReceiving, kReceiving}));
  // Blank after the header, 5/24 of the block, 4 s left after one idle
  // second, then 12/24 and the whole block.
  EXPECT_EQ(observer.progress, (std::vector<int>{999, 21, 1004, 50, 100}));
  ASSERT_EQ(dump.writes.size(), 1u);
  EXPECT_EQ(dump.writes[0], data);
  EXPECT_EQ(dump.closes, 1);
  EXPECT_EQ(link.Unread(), 0u);
}

TEST_F(WorkerTest, ProgressRoundsHalvesToEven) {
  Make(8, 2, 5);
  Script({Arrival::Bytes({1, 2, 3}), Arrival::Bytes({0}), Arrival::Bytes({0, 0}),
          Arrival::Bytes({0, 0, 0, 0, 0})});
  EXPECT_EQ(Run(), ResultComplete);
  // 12.5 % → 12, 37.5 % → 38.
  EXPECT_EQ(observer.progress, (std::vector<int>{999, 12, 38, 100}));
}

TEST_F(WorkerTest, HeaderSplitOverTwoReadsKeepsArrivalOrderAndStartsDataOnce) {
  const Bytes data = DataBlock(12);
  Make(12, 2, 5);
  Script(
      {Arrival::Bytes({200}), Arrival::TimeOut(), Arrival::Bytes({0, 255}), Arrival::Bytes(data)});
  EXPECT_EQ(Run(), ResultComplete);
  EXPECT_EQ(worker->Header(), (std::array<std::uint8_t, 3>{200, 0, 255}));
  EXPECT_EQ(link.CountOf(Op::Renew), 1);
  int headerTexts = 0;
  for (const auto& t : observer.texts)
    headerTexts += t == "Принят заголовок (200,0,255). Ждем данные...";
  EXPECT_EQ(headerTexts, 1);
  EXPECT_EQ(buffer, data);
}

TEST_F(WorkerTest, BytesReadWithTheThirdHeaderByteAreNotData) {
  const Bytes data = DataBlock(12);
  Make(12, 2, 5);
  Script({Arrival::Bytes({1, 2, 3, 0xEE, 0xEE}), Arrival::Bytes(data)});
  EXPECT_EQ(Run(), ResultComplete);
  EXPECT_EQ(link.CallsOf(Op::Read)[0].count, 5);  // the header phase reads all queued bytes
  EXPECT_EQ(buffer, data);
}

TEST_F(WorkerTest, HeaderReadLargerThanTheBufferIsTakenWhole) {
  const Bytes data = DataBlock(4);
  Make(4, 2, 5);
  Script({Arrival::Bytes({9, 8, 7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), Arrival::Bytes(data)});
  EXPECT_EQ(Run(), ResultComplete);
  EXPECT_EQ(worker->Header(), (std::array<std::uint8_t, 3>{9, 8, 7}));
  EXPECT_EQ(buffer, data);
  EXPECT_EQ(link.Unread(), 0u);
}

TEST_F(WorkerTest, OnlyTheMissingBytesAreReadWhenMoreAreQueued) {
  const Bytes data = DataBlock(24);
  Make(24, 2, 5);
  Bytes tail = Slice(data, 20, 24);
  tail.insert(tail.end(), {0xAB, 0xAB, 0xAB, 0xAB, 0xAB, 0xAB});
  Script({Arrival::Bytes({1, 2, 3}), Arrival::Bytes(Slice(data, 0, 20)), Arrival::Bytes(tail)});
  EXPECT_EQ(Run(), ResultComplete);
  EXPECT_EQ(link.CallsOf(Op::Read).back().count, 4);
  EXPECT_EQ(buffer, data);
  EXPECT_EQ(link.Unread(), 6u);
  ASSERT_EQ(dump.writes.size(), 1u);
  EXPECT_EQ(dump.writes[0], data);
}

TEST_F(WorkerTest, NoHeaderWithinTimeout1IdleSecondsEndsWith14) {
  Make(12, 3, 5);
  // Retries and empty wake-ups do not count; a partial header does not
  // restart the count.
  Script({Arrival::TimeOut(), Arrival::Retry(), Arrival::Retry(), Arrival::Bytes({}),
          Arrival::TimeOut(), Arrival::Bytes({7}), Arrival::Retry(), Arrival::TimeOut(),
          Arrival::TimeOut()});
  EXPECT_EQ(Run(), 14);
  EXPECT_EQ(link.arrivals.size(), 1u);  // ended at the third idle second
  EXPECT_EQ(link.CountOf(Op::Read), 1);
  EXPECT_EQ(link.CountOf(Op::Renew), 0);
  EXPECT_EQ(StopBytesWritten(), 0);
  EXPECT_TRUE(dump.writes.empty());
}

TEST_F(WorkerTest, DataStallAfterTimeout2IdleSecondsEndsWith15WithCountdown) {
  Make(24, 2, 3);
  // The header phase's idle second does not carry over into the data phase;
  // a wake-up with nothing queued neither reads nor counts.
  Script({Arrival::TimeOut(), Arrival::Bytes({1, 2, 3}), Arrival::TimeOut(),
          Arrival::Bytes(DataBlock(4)), Arrival::Bytes({}), Arrival::TimeOut(), Arrival::TimeOut(),
          Arrival::TimeOut()});
  EXPECT_EQ(Run(), 15);
  EXPECT_EQ(link.arrivals.size(), 1u);
  EXPECT_EQ(observer.progress, (std::vector<int>{999, 1002, 17, 1001, 1000}));
  EXPECT_TRUE(dump.writes.empty());
  EXPECT_EQ(StopBytesWritten(), 0);
}

TEST_F(WorkerTest, ZeroTimeoutsWaitUntilStoppedOrComplete) {
  {
    SCOPED_TRACE("no limit for the header; retries never count either");
    Make(12, 0, 1);
    for (int i = 0; i < 300; ++i) {
      link.arrivals.push_back(Arrival::TimeOut());
      link.arrivals.push_back(Arrival::Retry());
    }
    link.arrivals.back().action = Stop();
    EXPECT_EQ(Run(), ResultStopped);
    EXPECT_EQ(link.taken, 600);
  }
  link = FakeSerialLink();
  {
    SCOPED_TRACE("no limit for the data, and no countdown");
    Make(12, 1, 0);
    link.arrivals.push_back(Arrival::Bytes({1, 2, 3}));
    for (int i = 0; i < 300; ++i) link.arrivals.push_back(Arrival::TimeOut());
    link.arrivals.push_back(Arrival::Bytes(DataBlock(12)));
    EXPECT_EQ(Run(), ResultComplete);
    for (int p : observer.progress) EXPECT_LT(p, ProgressSecondsBase);
  }
}

TEST_F(WorkerTest, TimeoutsChangedDuringTheRunApplyAtTheNextCheck) {
  {
    SCOPED_TRACE("Timeout1 switched on while waiting for the header");
    Make(12, 0, 0);
    for (int i = 0; i < 20; ++i) link.arrivals.push_back(Arrival::TimeOut());
    link.arrivals[4].action = [this] { worker->SetTimeouts(7, 0); };
    EXPECT_EQ(Run(), 14);
    EXPECT_EQ(link.taken, 7);  // the seconds before the change count too
  }
  link = FakeSerialLink();
  observer = RecordingObserver();
  {
    SCOPED_TRACE("Timeout2 lowered while waiting for the data");
    Make(12, 1, 100);
    link.arrivals.push_back(Arrival::Bytes({1, 2, 3}));
    for (int i = 0; i < 10; ++i) link.arrivals.push_back(Arrival::TimeOut());
    link.arrivals[3].action = [this] { worker->SetTimeouts(1, 3); };
    EXPECT_EQ(Run(), 15);
    EXPECT_EQ(link.taken, 4);
    EXPECT_EQ(observer.progress, (std::vector<int>{999, 1099, 1098, 1000}));
  }
}

TEST_F(WorkerTest, WaitCompletingAtOnceEndsWith16AndTheSystemError) {
  Make(12, 2, 5);
  Script({Arrival::Bytes({1}), Arrival::AtOnce(1234)});
  EXPECT_EQ(Run(), 16);
  EXPECT_EQ(worker->SystemError(), 1234);
}

TEST_F(WorkerTest, EveryFailingStepEndsWithItsCode) {
  struct Case {
    int code;
    LinkResult commandOpen, write, dataOpen;
    std::vector<Arrival> arrivals;
  };
  const LinkResult ok{LinkStep::None, 0};
  const std::vector<Case> cases{
      {1, {LinkStep::Open, 2}, ok, ok, {}},
      {2, {LinkStep::Purge, 0}, ok, ok, {}},
      {3, {LinkStep::LineSettings, 0}, ok, ok, {}},
      {4, ok, {LinkStep::Write, 31}, ok, {}},
      {5, {LinkStep::ModeString, 87}, ok, ok, {}},
      {6, ok, ok, {LinkStep::Open, 2}, {}},
      {7, ok, ok, {LinkStep::ModeString, 87}, {}},
      {8, ok, ok, {LinkStep::LineSettings, 0}, {}},
      {8, ok, ok, {LinkStep::Timeouts, 0}, {}},
      {9, ok, ok, ok, {Arrival::Failure(LinkStep::EventMask)}},
      {10, ok, ok, ok, {Arrival::Failure(LinkStep::WaitResult)}},
      {11, ok, ok, ok, {Arrival::Failure(LinkStep::QueueStatus)}},
      {12, ok, ok, ok, {Arrival::Failure(LinkStep::Read, {1, 2})}},
      {13, ok, ok, ok, {Arrival::Bytes({1, 2, 3}), Arrival::Failure(LinkStep::Read, {5, 6})}},
      // A line lost while waiting, reported by the wait as a failed read.
      {12, ok, ok, ok, {Arrival::Bytes({1}), Arrival::WaitFailure(LinkStep::Read)}},
      {13, ok, ok, ok, {Arrival::Bytes({1, 2, 3, 4}), Arrival::WaitFailure(LinkStep::Read)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    link = FakeSerialLink();
    dump = FakeDump();
    link.commandOpens = {c.commandOpen};
    link.writes = {c.write};
    link.dataOpens = {c.dataOpen};
    link.arrivals.assign(c.arrivals.begin(), c.arrivals.end());
    Make(12, 2, 5);
    EXPECT_EQ(Run(), c.code);
    EXPECT_EQ(link.CountOf(Op::Write), c.commandOpen.ok() ? 1 : 0);  // the block only, never 0xFF
    EXPECT_EQ(link.CountOf(Op::OpenData), c.commandOpen.ok() && c.write.ok() ? 1 : 0);
    EXPECT_EQ(worker->SystemError(), c.code == 4 ? 31 : 0);
    EXPECT_EQ(link.calls.back().op, Op::Close);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(dump.writes.empty());
  }
}

TEST_F(WorkerTest, StopBeforeTheFirstWaitSendsTheStopByte) {
  Make(12, 2, 5);
  worker->RequestStop();
  EXPECT_EQ(Run(), ResultStopped);
  EXPECT_EQ(link.Ops(), (std::vector<Op>{Op::OpenCommand, Op::Write, Op::Close, Op::OpenData,
                                         Op::Close, Op::OpenCommand, Op::Write, Op::Close}));
  EXPECT_EQ(link.calls[5].port, "COM3");
  EXPECT_EQ(link.calls[6].bytes, Bytes{0xFF});
  EXPECT_EQ(observer.texts.back(), kStopText);
}

TEST_F(WorkerTest, StopWhileWaitingForTheHeader) {
  Make(12, 5, 5);
  Script({Arrival::TimeOut(), Arrival::TimeOut().Then(Stop()), Arrival::TimeOut()});
  EXPECT_EQ(Run(), ResultStopped);
  EXPECT_EQ(link.taken, 2);
  const auto ops = link.Ops();
  const std::vector<Op> tail{Op::Wait, Op::Close, Op::OpenCommand, Op::Write, Op::Close};
  EXPECT_TRUE(std::equal(tail.rbegin(), tail.rend(), ops.rbegin()));
  EXPECT_EQ(StopBytesWritten(), 1);
  EXPECT_EQ(link.CallsOf(Op::Write).back().count, 1);
  EXPECT_TRUE(dump.writes.empty());
  EXPECT_EQ(dump.closes, 1);
}

TEST_F(WorkerTest, StopDuringTheDataLeavesTheDumpEmpty) {
  const Bytes data = DataBlock(24);
  Make(24, 2, 5);
  Script({Arrival::Bytes({1, 2, 3}), Arrival::Bytes(Slice(data, 0, 10)).Then(Stop()),
          Arrival::Bytes(Slice(data, 10, 24))});
  EXPECT_EQ(Run(), ResultStopped);
  EXPECT_EQ(link.arrivals.size(), 1u);
  const auto writes = link.CallsOf(Op::Write);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[1].bytes, Bytes{0xFF});
  EXPECT_EQ(link.CallsOf(Op::OpenCommand).size(), 2u);
  EXPECT_TRUE(dump.writes.empty());
  EXPECT_EQ(dump.closes, 1);
  EXPECT_EQ(observer.texts.back(), kStopText);
  EXPECT_EQ(AcquisitionResultMessage(ResultStopped, "COM3", 0), "");
}

TEST_F(WorkerTest, FailuresOfTheStopSequenceEndWithTheirCodes) {
  struct Case {
    const char* what;
    std::function<void(FakeSerialLink&)> script;
    int code;
    int stopBytes;
  };
  const std::vector<Case> cases{
      {"reopen",
       [](FakeSerialLink& l) {
         l.commandOpens = {{}, {LinkStep::Open, 5}};
       },
       17, 0},
      {"purge",
       [](FakeSerialLink& l) {
         l.commandOpens = {{}, {LinkStep::Purge, 0}};
       },
       18, 0},
      {"settings",
       [](FakeSerialLink& l) {
         l.commandOpens = {{}, {LinkStep::LineSettings, 0}};
       },
       19, 0},
      {"mode string",
       [](FakeSerialLink& l) {
         l.commandOpens = {{}, {LinkStep::ModeString, 87}};
       },
       21, 0},
      {"stop byte",
       [](FakeSerialLink& l) {
         l.writes = {{}, {LinkStep::Write, 55}};
       },
       20, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    link = FakeSerialLink();
    Make(12, 2, 5);
    c.script(link);
    link.arrivals.push_back(Arrival::TimeOut().Then(Stop()));
    EXPECT_EQ(Run(), c.code);
    EXPECT_EQ(StopBytesWritten(), c.stopBytes);
    EXPECT_EQ(link.calls.back().op, Op::Close);
    EXPECT_FALSE(link.IsOpen());
  }
  EXPECT_EQ(worker->SystemError(), 55);
  EXPECT_EQ(AcquisitionResultMessage(20, "COM3", worker->SystemError()),
            "Ошибка при передаче 0xFF: 55");
}

TEST(AcquisitionResultMessageTest, EveryCodeHasItsText) {
  const std::string settings = "Не удалось установить параметры порта";
  const std::vector<std::pair<int, std::string>> table{
      {0, ""},
      {1, "COM12 не может быть открыт"},
      {2, "COM12: ошибка очистки"},
      {3, settings},
      {4, "Ошибка (-7) передачи данных"},
      {5, settings},
      {6, "COM12 не может быть открыт"},
      {7, settings},
      {8, settings},
      {9, "Ошибка при установке маски ожидания"},
      {10, "Ошибка при GetOverpalled"},
      {11, "COM12: ошибка очистки"},
      {12, "Ошибка чтения из порта"},
      {13, "Ошибка чтения из порта"},
      {14, "Нет связи. Проверьте соединения и питание"},
      {15, "Нет данных"},
      {16, "Ошибка (-7) при ожидании события"},
      {17, "COM12 не может быть открыт"},
      {18, "COM12: ошибка очистки"},
      {19, settings},
      {20, "Ошибка при передаче 0xFF: -7"},
      {21, settings},
      {100, ""},
  };
  for (const auto& [code, text] : table)
    EXPECT_EQ(AcquisitionResultMessage(code, "COM12", -7), text) << "code " << code;
}

}  // namespace
}  // namespace kalvex

// The Win32 serial link, driven the way the acquisition drives it, against
// kalvex-unit-sim on the far end of the port named by KALVEX_SIM_PORT (under
// Wine a pseudo-terminal mapped to a COM port: tests/windows/serial_under_wine.sh
// sets that up). KALVEX_SIM_LOG names the simulator's log, which says what it
// received. The simulator is expected to answer 1.5 s after a command block
// (--delay-ms 1500) at a pace of 20 000 bytes a second (--rate 20000). Without
// KALVEX_SIM_PORT only the tests that need no unit run.

#if defined(_WIN32)

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Win32SerialLink.h"
#include "support/UnitCommandBlock.h"

namespace kalvex {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The handles this process holds, from the system's handle list
// (GetProcessHandleCount answers 0 under Wine). -1 when it cannot be read.
long HandleCount() {
  struct Entry {
    ULONG process;
    BYTE type, flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
  };
  struct List {
    ULONG count;
    Entry entries[1];
  };
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  constexpr int kSystemHandleInformation = 16;
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  for (ULONG size = 1 << 20; size <= (1u << 26); size *= 2) {
    std::vector<unsigned char> buffer(size);
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(), size, &needed);
    if (status == static_cast<LONG>(0xC0000004)) continue;  // buffer too small
    if (status != 0) return -1;
    const auto* list = reinterpret_cast<const List*>(buffer.data());
    long n = 0;
    for (ULONG i = 0; i < list->count; ++i) n += list->entries[i].process == GetCurrentProcessId();
    return n;
  }
  return -1;
}

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// "Dodida": three channels; one second at 2 ms is 1000 samples, 6000 bytes.
Bytes DodidaBlock(int seconds) {
  return test::UnitCommandBlock(0, seconds, 3, 24, {2, 4, 3});
}
// Six channels; ten seconds at 2 ms is 5500 samples, 66 000 bytes.
Bytes SixChannelBlock(int seconds) {
  return test::UnitCommandBlock(0, seconds, 6, 25, {2, 4, 3, 0, 1, 5});
}

// For failure messages: the step that failed and the system's error.
std::string Describe(const LinkResult& r) {
  return "step " + std::to_string(static_cast<int>(r.failed)) + ", error " +
         std::to_string(r.systemError);
}
#define ASSERT_LINK_OK(call)              \
  do {                                    \
    const LinkResult r_ = (call);         \
    ASSERT_TRUE(r_.ok()) << Describe(r_); \
  } while (false)

std::string Hex(const Bytes& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (std::uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

TEST(Win32SerialPortNames, OnlyComOneToThirtyTwoWithoutLeadingZerosNameAPort) {
  EXPECT_EQ(Win32SerialLink::PortNumberOf("COM1"), 1);
  EXPECT_EQ(Win32SerialLink::PortNumberOf("COM32"), 32);
  EXPECT_EQ(Win32SerialLink::PortNumberOf(PortNameOf(17)), 17);
  Win32SerialLink link;
  for (const char* name : {"COM0", "COM33", "COM01", "com1", "COM", "COM1x", "USB", "COM100", ""}) {
    EXPECT_EQ(Win32SerialLink::PortNumberOf(name), 0) << name;
    const LinkResult r = link.OpenCommandChannel(name);
    EXPECT_EQ(r.failed, LinkStep::Open) << name;
    EXPECT_EQ(r.systemError, static_cast<int>(ERROR_FILE_NOT_FOUND)) << name;
  }
}

TEST(Win32SerialLinkWithoutPort, AMissingPortFailsAtOpenAndEveryLaterStepFails) {
  Win32SerialLink link;
  const auto listed = link.ProbePorts();
  // The highest number nobody lists: missing here (or held, which fails alike).
  int missing = 32;
  while (missing > 1 && std::count(listed.begin(), listed.end(), PortNameOf(missing))) --missing;
  const long handlesBefore = HandleCount();
  ASSERT_GT(handlesBefore, 0);

  const LinkResult command = link.OpenCommandChannel(PortNameOf(missing));
  EXPECT_EQ(command.failed, LinkStep::Open);
  EXPECT_NE(command.systemError, 0);
  std::printf("opening %s: error %d\n", PortNameOf(missing).c_str(), command.systemError);
  EXPECT_EQ(link.OpenCommandChannelWithoutPurge(PortNameOf(missing)).failed, LinkStep::Open);
  EXPECT_EQ(link.OpenDataChannel(PortNameOf(missing)).failed, LinkStep::Open);

  const std::uint8_t byte = 0xFF;
  EXPECT_EQ(link.WriteBytes(&byte, 1).failed, LinkStep::Write);
  LinkResult failure;
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::Failed);
  EXPECT_EQ(failure.failed, LinkStep::EventMask);
  int count = -1;
  EXPECT_EQ(link.QueuedCount(count).failed, LinkStep::QueueStatus);
  EXPECT_EQ(count, 0);
  std::uint8_t into[1];
  EXPECT_EQ(link.ReadQueued(into, 1).failed, LinkStep::Read);
  link.RenewWaitObject();
  link.ClosePort();
  EXPECT_EQ(HandleCount(), handlesBefore);
}

class Win32SerialLinkOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = Env("KALVEX_SIM_PORT");
    if (port_.empty()) GTEST_SKIP() << "KALVEX_SIM_PORT names no port with a unit simulator";
    Hush();
  }

  // Stops whatever the unit is sending and drops what is queued, so that each
  // test starts on a silent line.
  void Hush() {
    Win32SerialLink link;
    const std::uint8_t stop = 0xFF;
    ASSERT_LINK_OK(link.OpenCommandChannel(port_));
    ASSERT_LINK_OK(link.WriteBytes(&stop, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_LINK_OK(link.OpenCommandChannel(port_));
  }

  std::string Log() const {
    std::ifstream in(Env("KALVEX_SIM_LOG"), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Waits up to `ms` for the simulator's log to contain `text` after its
  // first `from` bytes.
  bool LogShows(const std::string& text, int ms = 3000, std::size_t from = 0) const {
    const auto start = Clock::now();
    while (Log().find(text, from) == std::string::npos) {
      if (MsSince(start) > ms) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // As the worker does: the bytes on the command channel, then the data channel.
  void SendCommand(Win32SerialLink& link, const Bytes& bytes) {
    ASSERT_LINK_OK(link.OpenCommandChannel(port_));
    ASSERT_LINK_OK(link.WriteBytes(bytes.data(), static_cast<int>(bytes.size())));
    link.ClosePort();
    ASSERT_LINK_OK(link.OpenDataChannel(port_));
  }

  // Waits and reads exactly the queued count each time, until `wanted` bytes
  // are in or `silences` one-second time-outs pass in a row.
  static Bytes Collect(Win32SerialLink& link, std::size_t wanted, int silences = 3) {
    Bytes got;
    for (int quiet = 0; got.size() < wanted && quiet < silences;) {
      LinkResult failure;
      const WaitOutcome outcome = link.WaitForInput(failure);
      if (outcome == WaitOutcome::TimeOut) {
        ++quiet;
        continue;
      }
      if (outcome != WaitOutcome::Input) {
        ADD_FAILURE() << "wait outcome " << static_cast<int>(outcome) << ", error "
                      << failure.systemError;
        break;
      }
      quiet = 0;
      int n = 0;
      if (!link.QueuedCount(n).ok()) break;
      if (n == 0) continue;
      const std::size_t at = got.size();
      got.resize(at + static_cast<std::size_t>(n));
      if (!link.ReadQueued(got.data() + at, n).ok()) {
        ADD_FAILURE() << "read of " << n << " queued bytes failed";
        break;
      }
    }
    return got;
  }

  std::string port_;
};

TEST_F(Win32SerialLinkOnSimulator, TheCommandReachesTheUnitAndTheRecordIsWaitedForAndReadExactly) {
  Win32SerialLink link;
  const auto listed = link.ProbePorts();
  EXPECT_NE(std::find(listed.begin(), listed.end(), port_), listed.end());

  const Bytes block = DodidaBlock(1);
  SendCommand(link, block);
  EXPECT_TRUE(LogShows("received command block " + Hex(block))) << Log();

  // The unit answers 1.5 s later: the first wait times out after a second,
  // and the wait that follows sees the header come.
  LinkResult failure;
  const auto start = Clock::now();
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
  EXPECT_GE(MsSince(start), 900);
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::Input);

  // A read of fewer bytes than queued leaves the rest, which the next wait
  // reports at once.
  int n = 0;
  ASSERT_TRUE(link.QueuedCount(n).ok());
  ASSERT_GE(n, 1);
  Bytes got(1);
  ASSERT_TRUE(link.ReadQueued(got.data(), 1).ok());
  if (n > 1) {
    const auto again = Clock::now();
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::Input);
    EXPECT_LT(MsSince(again), 500);
  }
  link.RenewWaitObject();  // as after the header: nothing queued is lost

  const Bytes rest = Collect(link, 3 + 6000 - 1);
  got.insert(got.end(), rest.begin(), rest.end());
  ASSERT_EQ(got.size(), 3u + 6000) << Log();
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 3), (Bytes{1, 0, 3}));
  // The 500 samples after the sweep are zero in every channel; the sweep is not.
  EXPECT_TRUE(std::all_of(got.end() - 3000, got.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_FALSE(
      std::all_of(got.begin() + 3, got.begin() + 3003, [](std::uint8_t b) { return b == 0; }));

  // Nothing follows the record, and a read of more than is queued fails at once.
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
  const auto read = Clock::now();
  std::uint8_t extra[1];
  EXPECT_EQ(link.ReadQueued(extra, 1).failed, LinkStep::Read);
  EXPECT_LT(MsSince(read), 500);
}

TEST_F(Win32SerialLinkOnSimulator, TheStopByteEndsTheRecordAndTheCommandChannelDropsItsTail) {
  Win32SerialLink link;
  SendCommand(link, SixChannelBlock(10));  // 66 000 bytes, over three seconds
  const Bytes start = Collect(link, 3 + 200);
  ASSERT_GE(start.size(), 3u + 200) << Log();

  link.ClosePort();
  ASSERT_LINK_OK(link.OpenCommandChannel(port_));
  const std::uint8_t stop = 0xFF;
  ASSERT_LINK_OK(link.WriteBytes(&stop, 1));
  link.ClosePort();
  EXPECT_TRUE(LogShows("received stop byte ff")) << Log();

  // A whole record left unread is discarded by the next command channel.
  const std::size_t mark = Log().size();
  SendCommand(link, DodidaBlock(1));
  ASSERT_TRUE(LogShows("sent data 6000 bytes", 5000, mark)) << Log();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int queued = 0;
  ASSERT_TRUE(link.QueuedCount(queued).ok());
  EXPECT_GT(queued, 0);
  ASSERT_LINK_OK(link.OpenCommandChannel(port_));
  link.ClosePort();
  ASSERT_LINK_OK(link.OpenDataChannel(port_));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(link.QueuedCount(queued).ok());
  EXPECT_EQ(queued, 0);
}

TEST_F(Win32SerialLinkOnSimulator, SilenceIsATimeOutEverySecondAndNoHandleOutlivesItsUse) {
  const long handlesBefore = HandleCount();
  ASSERT_GT(handlesBefore, 0);
  {
    Win32SerialLink link;
    ASSERT_LINK_OK(link.OpenDataChannel(port_));
    LinkResult failure;
    const auto start = Clock::now();
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
    EXPECT_GE(MsSince(start), 1900);
    EXPECT_LT(MsSince(start), 4000);
    // Renewing and closing with a wait still pending; opening the other
    // channel over an open one.
    link.RenewWaitObject();
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
    ASSERT_LINK_OK(link.OpenCommandChannel(port_));
    ASSERT_LINK_OK(link.OpenDataChannel(port_));
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
    link.ClosePort();
    EXPECT_EQ(HandleCount(), handlesBefore);
    // The destructor closes a data channel with a wait pending.
    ASSERT_LINK_OK(link.OpenDataChannel(port_));
    EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
  }
  EXPECT_EQ(HandleCount(), handlesBefore);
}

TEST_F(Win32SerialLinkOnSimulator, APortHasOneUser) {
  if (UnderWine()) GTEST_SKIP() << "Wine does not enforce exclusive opens of COM ports";
  Win32SerialLink holder, other;
  ASSERT_TRUE(holder.OpenDataChannel(port_).ok());
  const LinkResult r = other.OpenCommandChannel(port_);
  EXPECT_EQ(r.failed, LinkStep::Open);
  EXPECT_EQ(r.systemError, static_cast<int>(ERROR_ACCESS_DENIED));
  const auto listed = other.ProbePorts();
  EXPECT_EQ(std::find(listed.begin(), listed.end(), port_), listed.end());
  holder.ClosePort();
  EXPECT_TRUE(other.OpenCommandChannel(port_).ok());
}

}  // namespace
}  // namespace kalvex

#endif

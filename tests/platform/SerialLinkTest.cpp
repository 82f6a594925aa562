// The Qt serial link on a pseudo-terminal pair: the link holds end A, the test
// plays the unit on end B. And the rule that maps port names to devices.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSerialPort>
#include <algorithm>
#include <chrono>

#include "acquisition/CommandBlock.h"
#include "acquisition/CommandFileSender.h"
#include "platform/QtSerialLink.h"
#include "support/FakeUserInteraction.h"
#include "support/PseudoTerminalPair.h"

namespace kalvex {
namespace {

TEST(SerialPortNames, OnlyComOneToThirtyTwoWithoutLeadingZerosNameAPort) {
  EXPECT_EQ(PortNumberOfName("COM1"), 1);
  EXPECT_EQ(PortNumberOfName("COM32"), 32);
  EXPECT_EQ(PortNumberOfName(PortNameOf(17)), 17);
  for (const char* name : {"COM0", "COM33", "COM01", "com1", "COM", "COM1x", "USB", "COM100", ""})
    EXPECT_EQ(PortNumberOfName(name), 0) << name;
}

TEST(SerialPortNames, DevicesAreNumberedByPathWithNumbersComparedByValue) {
  const QStringList ordered = OrderSerialDevices(
      {"/dev/ttyUSB0", "/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2"});
  EXPECT_EQ(ordered, QStringList({"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10",
                                  "/dev/ttyUSB0"}));
}

TEST(SerialPortNames, AFixedDeviceIsReachedByEveryPortNumberButNotByPortZero) {
  QtSerialLink link(QStringLiteral("/dev/some-tty"));
  EXPECT_EQ(link.DeviceOf("COM1"), "/dev/some-tty");
  EXPECT_EQ(link.DeviceOf("COM32"), "/dev/some-tty");
  EXPECT_TRUE(link.DeviceOf("COM0").isEmpty());
  EXPECT_TRUE(link.DeviceOf("USB").isEmpty());
}

TEST(QtSerialLinkWithoutDevice, EveryOperationFailsAndNothingIsListed) {
  QtSerialLink link(QStringLiteral("/nonexistent/kalvex-tty"));
  EXPECT_TRUE(link.ProbePorts().empty());
  LinkResult r = link.OpenCommandChannel("COM1");
  EXPECT_EQ(r.failed, LinkStep::Open);
  EXPECT_NE(r.systemError, 0);
  EXPECT_EQ(link.OpenDataChannel("COM1").failed, LinkStep::Open);
  const std::uint8_t byte = 0xFF;
  EXPECT_EQ(link.WriteBytes(&byte, 1).failed, LinkStep::Write);
  LinkResult failure;
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::Failed);
  EXPECT_NE(failure.failed, LinkStep::None);
  int count = -1;
  EXPECT_FALSE(link.QueuedCount(count).ok());
}

#ifdef KALVEX_HAS_PSEUDO_TERMINALS

using test::PseudoTerminalPair;
using test::RawEnd;

class QtSerialLinkOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PseudoTerminalPair::SocatAvailable()) GTEST_SKIP() << "socat is not installed";
    ASSERT_TRUE(pair_.Start());
  }

  QString A() const { return QString::fromStdString(pair_.A()); }

  // Waits (up to `waits` one-second slices) until `wanted` bytes are queued and
  // reads them in the portions the link reports.
  static std::vector<std::uint8_t> Collect(QtSerialLink& link, std::size_t wanted, int waits = 5) {
    std::vector<std::uint8_t> got;
    for (int w = 0; w < waits && got.size() < wanted; ++w) {
      LinkResult failure;
      if (link.WaitForInput(failure) != WaitOutcome::Input) continue;
      int n = 0;
      if (!link.QueuedCount(n).ok()) break;
      std::vector<std::uint8_t> part(static_cast<std::size_t>(n));
      if (!link.ReadQueued(part.data(), n).ok()) break;
      got.insert(got.end(), part.begin(), part.end());
    }
    return got;
  }

  PseudoTerminalPair pair_;
};

TEST_F(QtSerialLinkOnPty, CommandBytesReachTheFarEndEvenWhenThePortClosesAtOnce) {
  RawEnd unit(pair_.B());
  ASSERT_TRUE(unit.ok());
  QtSerialLink link(A());
  ASSERT_TRUE(link.OpenCommandChannel("COM1").ok());
  std::vector<std::uint8_t> block(23);
  for (int i = 0; i < 23; ++i) block[i] = static_cast<std::uint8_t>(0xCC - i);
  ASSERT_TRUE(link.WriteBytes(block.data(), 23).ok());
  link.ClosePort();
  EXPECT_EQ(unit.Read(23, 3000), block);

  // The stop byte, on a port opened again for it.
  ASSERT_TRUE(link.OpenCommandChannel("COM1").ok());
  const std::uint8_t stop = 0xFF;
  ASSERT_TRUE(link.WriteBytes(&stop, 1).ok());
  link.ClosePort();
  EXPECT_EQ(unit.Read(1, 3000), std::vector<std::uint8_t>{0xFF});
}

TEST_F(QtSerialLinkOnPty, DataSentByTheUnitIsWaitedForCountedAndReadExactly) {
  RawEnd unit(pair_.B());
  ASSERT_TRUE(unit.ok());
  QtSerialLink link(A());
  ASSERT_TRUE(link.OpenDataChannel("COM1").ok());

  ASSERT_TRUE(unit.Write({1, 2, 3, 4, 5}));
  EXPECT_EQ(Collect(link, 5), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
  int count = -1;
  ASSERT_TRUE(link.QueuedCount(count).ok());
  EXPECT_EQ(count, 0);

  // A read of fewer bytes than queued leaves the rest, which a wait reports at once.
  ASSERT_TRUE(unit.Write({10, 11, 12, 13, 14, 15, 16, 17}));
  LinkResult failure;
  while (count < 8) {
    ASSERT_EQ(link.WaitForInput(failure), WaitOutcome::Input);
    ASSERT_TRUE(link.QueuedCount(count).ok());
  }
  std::uint8_t part[3];
  ASSERT_TRUE(link.ReadQueued(part, 3).ok());
  EXPECT_EQ(part[0], 10);
  EXPECT_EQ(part[2], 12);
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::Input);
  ASSERT_TRUE(link.QueuedCount(count).ok());
  EXPECT_EQ(count, 5);

  // Asking for more than is queued fails instead of blocking.
  std::uint8_t rest[8];
  EXPECT_EQ(link.ReadQueued(rest, 6).failed, LinkStep::Read);
  ASSERT_TRUE(link.ReadQueued(rest, 5).ok());
  EXPECT_EQ(rest[4], 17);

  // Renewing the wait between header and data loses nothing.
  ASSERT_TRUE(unit.Write({42}));
  link.RenewWaitObject();
  EXPECT_EQ(Collect(link, 1), std::vector<std::uint8_t>{42});
}

TEST_F(QtSerialLinkOnPty, SilenceIsAOneSecondTimeOutAgainAndAgainUntilBytesCome) {
  RawEnd unit(pair_.B());
  QtSerialLink link(A());
  ASSERT_TRUE(link.OpenDataChannel("COM1").ok());
  LinkResult failure;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
  EXPECT_EQ(link.WaitForInput(failure), WaitOutcome::TimeOut);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
  ASSERT_TRUE(unit.Write({7}));
  EXPECT_EQ(Collect(link, 1), std::vector<std::uint8_t>{7});
}

TEST_F(QtSerialLinkOnPty, APortHasOneUserAndIsFreeAgainAtOnceAfterClosing) {
  QtSerialLink holder(A());
  QtSerialLink other(A());
  ASSERT_EQ(other.ProbePorts(), std::vector<std::string>{"COM1"});

  ASSERT_TRUE(holder.OpenDataChannel("COM1").ok());
  EXPECT_EQ(other.OpenCommandChannel("COM1").failed, LinkStep::Open);
  EXPECT_EQ(other.OpenDataChannel("COM1").failed, LinkStep::Open);
  EXPECT_TRUE(other.ProbePorts().empty());
  // Naming the device by the link's target instead of the link does not get around it.
  QtSerialLink byTarget(QFileInfo(A()).canonicalFilePath());
  EXPECT_EQ(byTarget.OpenCommandChannel("COM1").failed, LinkStep::Open);

  holder.ClosePort();
  EXPECT_TRUE(other.OpenCommandChannel("COM1").ok());
  other.ClosePort();

  // The destructor closes too, whichever channel was open.
  {
    QtSerialLink scoped(A());
    ASSERT_TRUE(scoped.OpenCommandChannel("COM1").ok());
  }
  EXPECT_TRUE(other.OpenDataChannel("COM1").ok());
  // Opening the other channel replaces the first; the port stays with this link.
  EXPECT_TRUE(other.OpenCommandChannel("COM1").ok());
  EXPECT_EQ(holder.OpenDataChannel("COM1").failed, LinkStep::Open);
}

TEST_F(QtSerialLinkOnPty, ALineThatHangsUpIsAReadFailureNotEndlessSilence) {
  QtSerialLink link(A());
  ASSERT_TRUE(link.OpenDataChannel("COM1").ok());
  pair_.Stop();
  LinkResult failure;
  WaitOutcome outcome = WaitOutcome::TimeOut;
  for (int i = 0; i < 3 && outcome == WaitOutcome::TimeOut; ++i)
    outcome = link.WaitForInput(failure);
  EXPECT_EQ(outcome, WaitOutcome::Failed);
  EXPECT_EQ(failure.failed, LinkStep::Read);
}

// Devices added by hand (the desktop program's --port, KALVEX_SERIAL_DEVICE)
// join the numbered ports of links made without a fixed device.
class AddedSerialDevice : public QtSerialLinkOnPty {
 protected:
  void TearDown() override {
    RemoveSerialDevice(A());
    qunsetenv("KALVEX_SERIAL_DEVICE");
  }

  // The port name that resolves to `device`; empty when none does.
  static std::string PortOf(const QtSerialLink& link, const QString& device) {
    for (int n = 1; n <= 32; ++n)
      if (link.DeviceOf(PortNameOf(n)) == device) return PortNameOf(n);
    return {};
  }
};

TEST_F(AddedSerialDevice, IsListedWithItsPathAndReachedByItsPortName) {
  QtSerialLink link;
  ASSERT_TRUE(PortOf(link, A()).empty());
  EXPECT_TRUE(AddSerialDevice(A()));
  AddSerialDevice(A());  // once is enough
  EXPECT_EQ(SerialDevices().count(A()), 1);
  // A device that does not exist is kept for later, and said to be missing.
  EXPECT_FALSE(AddSerialDevice(A() + "-gone"));
  RemoveSerialDevice(A() + "-gone");
  const std::string name = PortOf(link, A());
  ASSERT_FALSE(name.empty());
  const auto listed = link.ProbePorts();
  EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
  EXPECT_EQ(link.PortDescription(name), A().toStdString());

  // Both channels reach it by that name.
  RawEnd unit(pair_.B());
  ASSERT_TRUE(unit.ok());
  ASSERT_TRUE(link.OpenCommandChannel(name).ok());
  ASSERT_TRUE(link.WriteBytes(std::vector<std::uint8_t>{1, 2, 3}.data(), 3).ok());
  link.ClosePort();
  EXPECT_EQ(unit.Read(3, 3000), (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_TRUE(link.OpenDataChannel(name).ok());
  ASSERT_TRUE(unit.Write({9}));
  EXPECT_EQ(Collect(link, 1), std::vector<std::uint8_t>{9});
  link.ClosePort();

  // Held by another user, it is missing from the list.
  QSerialPort holder;
  holder.setPortName(QFileInfo(A()).canonicalFilePath());
  ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  const auto whileHeld = link.ProbePorts();
  EXPECT_EQ(std::find(whileHeld.begin(), whileHeld.end(), name), whileHeld.end());
  holder.close();

  // The command file goes out on a port opened without a purge.
  test::FakeUserInteraction ui;
  CommandBlock block;
  block.Bytes.fill(0x11);
  EXPECT_TRUE(WriteCommandFile(block, name, link, ui));
  EXPECT_EQ(unit.Read(23, 3000), std::vector<std::uint8_t>(23, 0x11));
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Передано 23 байтов из 23"});
}

TEST_F(AddedSerialDevice, TheEnvironmentNamesDevicesAndALinkToOneAddsNothing) {
  const QString b = QString::fromStdString(pair_.B());
  qputenv("KALVEX_SERIAL_DEVICE", (b + ":" + QFileInfo(b).canonicalFilePath()).toUtf8());
  AddSerialDevice(A());
  // B and its target are one device; A follows it.
  const QStringList devices = SerialDevices();
  EXPECT_FALSE(devices.contains(QFileInfo(b).canonicalFilePath()));
  ASSERT_TRUE(devices.contains(b));
  EXPECT_EQ(devices.indexOf(A()), devices.indexOf(b) + 1);
  EXPECT_FALSE(PortOf(QtSerialLink(), b).empty());
}

#endif

}  // namespace
}  // namespace kalvex

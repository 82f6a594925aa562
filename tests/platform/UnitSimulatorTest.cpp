// kalvex-unit-sim on a pseudo-terminal pair, driven the way the acquisition
// drives the unit: a command block on the command channel, then the header and
// the data block read on the data channel of the Qt serial link.

#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "acquisition/SyntheticSignal.h"
#include "platform/QtSerialLink.h"
#include "recordings/RecordingModes.h"
#include "support/PseudoTerminalPair.h"
#include "support/UnitCommandBlock.h"

#if defined(KALVEX_HAS_PSEUDO_TERMINALS) && defined(KALVEX_UNIT_SIM)

namespace kalvex {
namespace {

using test::ChildProcess;
using test::PseudoTerminalPair;
using Bytes = std::vector<std::uint8_t>;

Bytes DodidaBlock(int k, int seconds) {
  return test::UnitCommandBlock(k, seconds, 3, 24, {2, 4, 3});
}
Bytes VelnarundBlock(int k, int seconds) {
  return test::UnitCommandBlock(k, seconds, 6, 25, {2, 4, 3, 0, 1, 5});
}

// What a healthy unit sends: the synthetic signal of polarity "Positive" with
// every channel but the reference negated, zeros after the sweep.
std::int16_t Expected(int mode, int channel, int i, int n, int fs) {
  if (i >= n) return 0;
  const auto v =
      static_cast<std::int16_t>(std::nearbyint(SyntheticSample(mode, channel, i, n, fs, +1)));
  return channel > 0 ? static_cast<std::int16_t>(-v) : v;
}

std::int16_t SampleAt(const Bytes& data, std::size_t index) {
  return static_cast<std::int16_t>(data[2 * index] << 8 | data[2 * index + 1]);
}

class UnitSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PseudoTerminalPair::SocatAvailable()) GTEST_SKIP() << "socat is not installed";
    ASSERT_TRUE(pair_.Start());
    link_ = std::make_unique<QtSerialLink>(QString::fromStdString(pair_.A()));
  }

  void StartSimulator(std::vector<std::string> options) {
    std::vector<std::string> args{KALVEX_UNIT_SIM, "--port", pair_.B(), "--log", LogPath()};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_TRUE(sim_.Start(args));
    for (int i = 0; i < 250 && !Log().contains("opened"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(Log().contains("opened"));
  }

  std::string LogPath() const { return (pair_.Dir() + "/sim.log").toStdString(); }
  QString Log() const {
    QFile f(QString::fromStdString(LogPath()));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }

  // As the acquisition does: the block on the command channel, then the data channel.
  void SendCommand(const Bytes& bytes) {
    ASSERT_TRUE(link_->OpenCommandChannel("COM1").ok());
    ASSERT_TRUE(link_->WriteBytes(bytes.data(), static_cast<int>(bytes.size())).ok());
    link_->ClosePort();
    ASSERT_TRUE(link_->OpenDataChannel("COM1").ok());
  }

  // Everything queued at the next wake-up (empty after a one-second time-out).
  Bytes ReadOnce() {
    LinkResult failure;
    int n = 0;
    for (int tries = 0; tries < 50 && n == 0; ++tries) {
      const WaitOutcome outcome = link_->WaitForInput(failure);
      if (outcome == WaitOutcome::TimeOut || outcome == WaitOutcome::Failed) return {};
      if (outcome == WaitOutcome::Input && !link_->QueuedCount(n).ok()) return {};
    }
    Bytes part(static_cast<std::size_t>(n));
    if (!link_->ReadQueued(part.data(), n).ok()) return {};
    return part;
  }

  // Reads until `wanted` bytes are in or the line stays silent for a second.
  Bytes Collect(std::size_t wanted) {
    Bytes got;
    while (got.size() < wanted) {
      Bytes part = ReadOnce();
      if (part.empty()) break;
      got.insert(got.end(), part.begin(), part.end());
    }
    return got;
  }

  PseudoTerminalPair pair_;
  ChildProcess sim_;
  std::unique_ptr<QtSerialLink> link_;
};

TEST_F(UnitSimulator, DodidaRecordComesAsRefBpRmInterleavedBigEndian) {
  StartSimulator({"--rate", "200000", "--delay-ms", "50", "--once"});
  const int k = 0, fs = 500, n = 500, length = n + 500;
  SendCommand(DodidaBlock(k, 1));
  const std::size_t size = 3 * length * 2;
  const Bytes got = Collect(3 + size + 1);
  ASSERT_EQ(got.size(), 3 + size) << Log().toStdString();
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 3), (Bytes{1, 0, Dodida}));
  const Bytes data(got.begin() + 3, got.end());
  // On the line: REF, then synthetic channel 2 (BP), then channel 1 (RM).
  constexpr int synthetic[] = {0, 2, 1};
  int mismatches = 0;
  for (int i = 0; i < length; ++i)
    for (int w = 0; w < 3; ++w)
      if (SampleAt(data, 3 * i + w) != Expected(Dodida, synthetic[w], i, n, fs)) ++mismatches;
  EXPECT_EQ(mismatches, 0);
  EXPECT_NE(SampleAt(data, 3 * 200 + 1), SampleAt(data, 3 * 200 + 2));  // the swap shows
  link_->ClosePort();
  EXPECT_EQ(sim_.WaitForExit(5000), 0);  // --once
}

TEST_F(UnitSimulator, SixChannelRecordOfModeZeroFollowsTheBlocksSampleInterval) {
  StartSimulator({"--rate", "200000", "--delay-ms", "50"});
  const int k = 1, fs = 1000, n = 1000, length = n + 500;
  SendCommand(VelnarundBlock(k, 1));
  const std::size_t size = 6 * length * 2;
  const Bytes got = Collect(3 + size);
  ASSERT_EQ(got.size(), 3 + size) << Log().toStdString();
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 3), (Bytes{1, 1, Velnarund}));
  const Bytes data(got.begin() + 3, got.end());
  int mismatches = 0;
  for (int i = 0; i < length; ++i)
    for (int c = 0; c < 6; ++c)
      if (SampleAt(data, 6 * i + c) != Expected(Velnarund, c, i, n, fs)) ++mismatches;
  EXPECT_EQ(mismatches, 0);
}

TEST_F(UnitSimulator, ModeOptionSettlesABlockThatLooksLikeAnotherMode) {
  // "Similarity" with two vibrator slots on has three channels, like "Dodida",
  // but is sent six channels wide.
  StartSimulator({"--rate", "200000", "--delay-ms", "50", "--mode", "2"});
  SendCommand(test::UnitCommandBlock(0, 1, 3, 0, {0, 1, 2}));
  const std::size_t size = 6 * 1000 * 2;
  const Bytes got = Collect(3 + size);
  ASSERT_EQ(got.size(), 3 + size);
  EXPECT_EQ(got[2], Similarity);
  const Bytes data(got.begin() + 3, got.end());
  EXPECT_EQ(SampleAt(data, 6 * 300 + 5), Expected(Similarity, 5, 300, 500, 500));
}

TEST_F(UnitSimulator, StopByteEndsTheRecordAndTheNextBlockIsAnsweredAgain) {
  StartSimulator({"--rate", "2000", "--delay-ms", "50"});
  SendCommand(DodidaBlock(0, 1));  // 6000 data bytes, three seconds at this pace
  const Bytes start = Collect(3 + 100);
  ASSERT_GE(start.size(), 3u + 100);

  SendCommand({0xFF});
  Bytes after = Collect(6000);  // only what was already on its way
  EXPECT_LT(start.size() + after.size(), 3u + 6000);
  EXPECT_TRUE(Log().contains("received stop byte")) << Log().toStdString();
  EXPECT_TRUE(ReadOnce().empty());  // silence

  SendCommand(DodidaBlock(0, 1));
  const Bytes again = Collect(3);
  ASSERT_GE(again.size(), 3u);
  EXPECT_EQ(Bytes(again.begin(), again.begin() + 3), (Bytes{1, 0, Dodida}));
}

TEST_F(UnitSimulator, SplitHeaderArrivesAsOneByteThenTwo) {
  StartSimulator({"--rate", "200000", "--delay-ms", "50", "--split-header"});
  SendCommand(DodidaBlock(0, 1));
  EXPECT_EQ(ReadOnce(), Bytes{1});
  EXPECT_EQ(ReadOnce(), (Bytes{0, Dodida}));
  EXPECT_EQ(Collect(6000).size(), 6000u);  // the data follows apart from the header
}

TEST_F(UnitSimulator, StallKeepsSilentAfterItsByteCountAndStillHearsTheStop) {
  StartSimulator({"--rate", "200000", "--delay-ms", "50", "--stall-after", "100"});
  SendCommand(DodidaBlock(0, 1));
  EXPECT_EQ(Collect(6003).size(), 103u);
  SendCommand({0xFF});
  link_->ClosePort();
  for (int i = 0; i < 50 && !Log().contains("received stop byte"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(Log().contains("received stop byte ff after 100 data bytes")) << Log().toStdString();
}

}  // namespace
}  // namespace kalvex

#endif

// A received data block into the current recording: byte order, channel
// interleaving, the polarity rule, the "Dodida" channel order, the ranges and
// the derived channel, the "Rec_" name and flags, and a block that no longer
// fits the recording.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "acquisition/ReceivedRecord.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

constexpr int kSweep = 6;
constexpr int kLength = 8;

using Sample = std::function<std::int16_t(int i, int j)>;

// Received channel j's sample i: distinct values with both signs, the most
// negative value on channels 0 and 1, and one byte pattern that shows the
// byte order.
std::int16_t Received(int i, int j) {
  if (i == 0 && j == 0) return -32768;
  if (i == 1 && j == 1) return -32768;
  if (i == 2 && j == 2) return 32767;
  if (i == 3 && j == 0) return 0x1234;
  const int v = i * 1000 + j * 100 + 7;
  return static_cast<std::int16_t>(j % 2 ? -v : v);
}

// The block as the unit sends it: big-endian, interleaved by sample.
std::vector<std::uint8_t> Encode(int channels, int length, const Sample& sample) {
  std::vector<std::uint8_t> b;
  for (int i = 0; i < length; ++i)
    for (int j = 0; j < channels; ++j) {
      const auto u = static_cast<std::uint16_t>(sample(i, j));
      b.push_back(static_cast<std::uint8_t>(u >> 8));
      b.push_back(static_cast<std::uint8_t>(u & 0xFF));
    }
  return b;
}

std::int16_t Negated(std::int16_t v) {
  return v == -32768 ? v : static_cast<std::int16_t>(-v);
}

class ReceivedRecordTest : public ::testing::Test {
 protected:
  void Prepare(int mode, bool polarityPositive) {
    rec.CreateRecording();
    rec.Mode = static_cast<std::uint8_t>(mode);
    rec.SweepLength = kSweep;
    rec.RecordLength = kLength;
    rec.SweepSeconds = 1;
    rec.PolarityPositive = polarityPositive;
    rec.ReactionMassWeight = rec.BaseplateWeight = 32768;
    rec.MassAccSensitivity = rec.BaseplateAccSensitivity = 1250;  // 1 kgf a count
    shape = ShapeOf(rec);
  }

  bool Fill(const std::vector<std::uint8_t>& buffer) {
    return FillAcquiredRecord(rec, settings, buffer, shape, now, ui);
  }

  std::int16_t At(int slot, int i) const { return rec.Channels[slot]->Samples[i]; }

  TFrmFile rec;
  ProgramSettings settings;
  RecordShape shape;
  LocalDateTime now{2026, 3, 14, 10, 7, 3};
  test::FakeUserInteraction ui;
};

TEST_F(ReceivedRecordTest, ShapeAndSizeFollowTheMode) {
  const int widths[] = {6, 6, 6, 3, 2};
  for (int mode = 0; mode < 5; ++mode) {
    Prepare(mode, true);
    EXPECT_EQ(shape, (RecordShape{widths[mode], kLength})) << mode;
    EXPECT_EQ(ExpectedDataSize(shape), widths[mode] * kLength * 2) << mode;
  }
}

TEST_F(ReceivedRecordTest, PositivePolarityNegatesEveryChannelButTheFirst) {
  Prepare(Velnarund, true);
  ASSERT_TRUE(Fill(Encode(6, kLength, Received)));
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < kLength; ++i)
      EXPECT_EQ(At(j, i), j == 0 ? Received(i, j) : Negated(Received(i, j)))
          << "channel " << j << " sample " << i;
  EXPECT_EQ(At(0, 0), -32768);
  EXPECT_EQ(At(1, 1), -32768);
  EXPECT_EQ(At(2, 2), -32767);
  EXPECT_EQ(At(0, 3), 0x1234);
}

TEST_F(ReceivedRecordTest, NegativePolarityStoresTheSamplesAsReceived) {
  Prepare(Ombrel16, false);
  ASSERT_TRUE(Fill(Encode(2, kLength, Received)));
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < kLength; ++i) EXPECT_EQ(At(j, i), Received(i, j));
}

TEST_F(ReceivedRecordTest, DodidaStoresTheSecondAndThirdChannelsSwapped) {
  Prepare(Dodida, true);
  ASSERT_TRUE(Fill(Encode(3, kLength, Received)));
  for (int i = 0; i < kLength; ++i) {
    EXPECT_EQ(At(0, i), Received(i, 0));
    EXPECT_EQ(At(2, i), Negated(Received(i, 1)));
    EXPECT_EQ(At(1, i), Negated(Received(i, 2)));
  }
  EXPECT_FALSE(rec.Channels[3]);
}

TEST_F(ReceivedRecordTest, SimilarityBlockIsSixChannelsWideWhateverSlotsAreOn) {
  Prepare(Similarity, false);
  rec.SimilarityChannels[0].Present = rec.SimilarityChannels[2].Present = true;
  ASSERT_TRUE(Fill(Encode(6, kLength, Received)));
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < kLength; ++i) EXPECT_EQ(At(j, i), Received(i, j));
}

TEST_F(ReceivedRecordTest, RangesCoverTheSweepAndTheDerivedChannelIsComputed) {
  Prepare(Velnarund, false);
  // Beyond the sweep the samples are stored but do not count in the ranges.
  auto sample = [](int i, int j) -> std::int16_t {
    if (i >= kSweep) return j % 2 ? -30000 : 30000;
    return static_cast<std::int16_t>((i - 2) * (j + 1) * 10);
  };
  rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Min = -5;
  rec.DerivedChannel->Max = 5;
  ASSERT_TRUE(Fill(Encode(6, kLength, sample)));
  for (int j = 0; j < 6; ++j) {
    SCOPED_TRACE(j);
    const SampleArray& c = *rec.Channels[j];
    ASSERT_EQ(c.Samples.size(), static_cast<std::size_t>(kLength));
    EXPECT_EQ(c.Samples[kSweep], sample(kSweep, j));
    EXPECT_EQ(c.Count, kSweep);
    EXPECT_EQ(c.Min, -20 * (j + 1));
    EXPECT_EQ(c.Max, 30 * (j + 1));
  }
  // Ground force: RM (channel 4) and BP (channel 5) at 1 kgf a count.
  const ValueArray& d = *rec.DerivedChannel;
  ASSERT_GE(d.Values.size(), static_cast<std::size_t>(kLength));
  for (int i = 0; i < kSweep; ++i) EXPECT_NEAR(d.Values[i], sample(i, 4) + sample(i, 5), 1e-9) << i;
  EXPECT_EQ(d.Count, kSweep);
  EXPECT_NEAR(d.Min, -220, 1e-9);
  EXPECT_NEAR(d.Max, 330, 1e-9);
}

TEST_F(ReceivedRecordTest, RecordIsNamedByTimeAndMarkedAcquiredUnsaved) {
  Prepare(Ombrel16, true);
  rec.FileHeader.fill(0);
  rec.Origin = OriginFile;
  rec.Modified = false;
  rec.Name = "old.qrm";
  rec.FrameAnalyses[1] = std::make_unique<FrameAnalysis>(4);
  rec.AnalysisValid[1] = true;
  ASSERT_TRUE(Fill(Encode(2, kLength, Received)));
  EXPECT_EQ(rec.Name, "Rec_10:07:03  ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.FileHeader.data()) + 52, 10),
            "10:07:03  ");
  EXPECT_TRUE(HasSignature(rec.FileHeader));
  EXPECT_EQ(rec.Origin, OriginAcquired);
  EXPECT_TRUE(rec.Modified);
  EXPECT_FALSE(rec.FrameAnalyses[1]);
  EXPECT_FALSE(rec.AnalysisValid[1]);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ReceivedRecordTest, BlockThatNoLongerFitsIsDiscardedAndTheRecordingKept) {
  struct Change {
    const char* what;
    std::function<void(TFrmFile&)> apply;
  };
  const Change changes[] = {
      {"mode", [](TFrmFile& r) { r.Mode = Ombrel16; }},
      {"record length", [](TFrmFile& r) { r.RecordLength = kLength + 2; }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    Prepare(Dodida, true);
    const auto buffer = Encode(3, kLength, Received);  // sized at Start
    for (int j = 0; j < 3; ++j) {
      rec.Channels[j] = std::make_unique<SampleArray>();
      rec.Channels[j]->Samples.assign(kLength, static_cast<std::int16_t>(11 * (j + 1)));
    }
    rec.Name = "before.qrm";
    rec.Origin = OriginFile;
    rec.Modified = false;
    const auto header = rec.FileHeader;
    change.apply(rec);
    ui.Clear();
    EXPECT_FALSE(Fill(buffer));
    EXPECT_EQ(ui.errors, std::vector<std::string>{
                             "Параметры записи изменились во время приема; принятые данные не "
                             "сохранены"});
    for (int j = 0; j < 3; ++j)
      EXPECT_EQ(rec.Channels[j]->Samples,
                std::vector<std::int16_t>(kLength, static_cast<std::int16_t>(11 * (j + 1))));
    EXPECT_EQ(rec.Name, "before.qrm");
    EXPECT_EQ(rec.Origin, OriginFile);
    EXPECT_FALSE(rec.Modified);
    EXPECT_EQ(rec.FileHeader, header);
  }
}

TEST_F(ReceivedRecordTest, BufferOfAnotherSizeIsDiscarded) {
  Prepare(Ombrel16, true);
  auto buffer = Encode(2, kLength, Received);
  buffer.resize(buffer.size() - 2);
  EXPECT_FALSE(Fill(buffer));
  EXPECT_EQ(ui.errors.size(), 1u);
  EXPECT_FALSE(rec.Channels[0]);
  EXPECT_TRUE(rec.Name.empty());
}

}  // namespace
}  // namespace kalvex

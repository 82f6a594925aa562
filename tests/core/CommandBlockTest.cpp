// The command block: every field for every mode, the trigger tables, the
// rounding of the trigger level and delay, the refusals that leave the block
// as it was, and the block as the "Командный файл" dialog shows it.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "acquisition/CommandBlock.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

using Block = std::array<std::uint8_t, CommandBlockSize>;

class CommandBlockTest : public ::testing::Test {
 protected:
  CommandBlockTest() {
    rec.Mode = Velnarund;
    rec.SweepSeconds = 4;
    rec.TriggerLevel = -1.0;
    rec.TriggerDelay = 4.95;
    values.SampleRateIndex = 4;
    for (int i = 0; i < 6; ++i)
      rec.SimilarityChannels[i].Name = i ? "V" + std::to_string(i) : "REF";
    block.MarkParametersSet();
  }

  bool Build() { return BuildCommandBlock(block, rec, values, choices, ui); }

  // Switches on the similarity slots given, with the attenuated ones.
  void Slots(std::vector<int> present, std::vector<int> attenuated) {
    rec.Mode = Similarity;
    for (auto& c : rec.SimilarityChannels) c.Present = c.Attenuated = false;
    for (int s : present) rec.SimilarityChannels[s].Present = true;
    for (int s : attenuated) rec.SimilarityChannels[s].Attenuated = true;
  }

  std::uint16_t U16At(int at) const {
    return static_cast<std::uint16_t>(block.Bytes[at] << 8 | block.Bytes[at + 1]);
  }

  TFrmFile rec;
  ProcessValues values;
  AcquisitionChoices choices;
  CommandBlock block;
  test::FakeUserInteraction ui;
};

TEST_F(CommandBlockTest, WorkedExampleFillsEveryByte) {
  choices.TriggerChannelIndex = 3;  // "Valve"
  choices.TriggerEdgeIndex = 1;     // "Negative"
  choices.AccDelayCode = 0x1A7;     // only its low byte is sent
  ASSERT_TRUE(Build());
  const Block expected{0xCC, 0xA5, 0x00, 0x73, 0x00, 0x00, 0x7E, 0xF4,  // 115; 32 500 samples
                       0x06, 0x02, 0x04, 0x03, 0x00, 0x01, 0x05, 0xA7,  // channels, map, delay code
                       0x19, 0x01, 0xFF, 0xF3, 0x33, 0x9A, 0xB0};       // −1.0 V; 39 600 samples
  EXPECT_EQ(block.Bytes, expected);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(ui.infos.empty());
}

TEST_F(CommandBlockTest, DividerAndRecordLengthForEverySampleRate) {
  rec.SweepSeconds = 2;
  const int dividers[] = {1840, 920, 460, 230, 115};
  const std::uint32_t samples[] = {1500, 2500, 4500, 8500, 16500};
  for (int k = 0; k <= 4; ++k) {
    SCOPED_TRACE(k);
    values.SampleRateIndex = k;
    ASSERT_TRUE(Build());
    EXPECT_EQ(U16At(2), dividers[k]);
    const std::uint32_t n = static_cast<std::uint32_t>(block.Bytes[4]) << 24 |
                            block.Bytes[5] << 16 | block.Bytes[6] << 8 | block.Bytes[7];
    EXPECT_EQ(n, samples[k]);
  }
}

TEST_F(CommandBlockTest, LongestRecordIsAcceptedAndOneSecondMoreRefusedUntouched) {
  values.SampleRateIndex = 0;
  rec.SweepSeconds = 130;  // 65 000 + 500 samples
  ASSERT_TRUE(Build());
  EXPECT_EQ(block.Bytes[6], 0xFF);
  EXPECT_EQ(block.Bytes[7], 0xDC);

  for (auto [k, seconds] : {std::pair{0, 131}, std::pair{4, 9}}) {
    SCOPED_TRACE(seconds);
    values.SampleRateIndex = k;
    rec.SweepSeconds = static_cast<std::uint16_t>(seconds);
    for (int i = 1; i < CommandBlockSize; ++i) block.Bytes[i] = static_cast<std::uint8_t>(i);
    const Block before = block.Bytes;
    ui.Clear();
    EXPECT_FALSE(Build());
    EXPECT_EQ(block.Bytes, before);
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Длина записи превышает 65535 отсчетов"});
  }
}

TEST_F(CommandBlockTest, ParametersNeverSetRefuseWithoutChangingTheBlock) {
  block = CommandBlock();
  for (int i = 1; i < CommandBlockSize; ++i) block.Bytes[i] = static_cast<std::uint8_t>(3 * i);
  const Block before = block.Bytes;
  ASSERT_EQ(before[0], 0xFF);
  EXPECT_FALSE(Build());
  EXPECT_EQ(block.Bytes, before);
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Параметры не заданы"});
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(CommandBlockTest, SampleRateIndexOutOfRangeIsRefused) {
  values.SampleRateIndex = 5;
  const Block before = block.Bytes;
  EXPECT_FALSE(Build());
  EXPECT_EQ(block.Bytes, before);
  EXPECT_EQ(ui.errors.size(), 1u);
}

// Offsets 8..16 of each mode: channels, input map, accelerometer delay code,
// configuration.
TEST_F(CommandBlockTest, ModeRows) {
  choices.AccDelayCode = 0x42;
  struct Row {
    int mode;
    std::array<std::uint8_t, 9> bytes;
  };
  const Row rows[] = {
      {Velnarund, {6, 2, 4, 3, 0, 1, 5, 0x42, 25}},
      {Tarpokline, {6, 2, 4, 3, 0, 1, 5, 0x42, 24}},
      {Dodida, {3, 2, 4, 3, 0, 0, 0, 0x42, 24}},
      {Ombrel16, {2, 0, 1, 0, 0, 0, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    rec.Mode = static_cast<std::uint8_t>(row.mode);
    ASSERT_TRUE(Build());
    EXPECT_EQ(std::vector<std::uint8_t>(block.Bytes.begin() + 8, block.Bytes.begin() + 17),
              std::vector<std::uint8_t>(row.bytes.begin(), row.bytes.end()));
  }
}

TEST_F(CommandBlockTest, SimilarityRowFollowsTheSwitchedOnSlots) {
  choices.AccDelayCode = 0x42;  // never sent in this mode
  // Slot 3 is attenuated but off: it counts neither as a channel nor in the mask.
  Slots({0, 2, 4, 5}, {0, 2, 3});
  ASSERT_TRUE(Build());
  EXPECT_EQ(std::vector<std::uint8_t>(block.Bytes.begin() + 8, block.Bytes.begin() + 17),
            (std::vector<std::uint8_t>{4, 0, 2, 4, 5, 0, 0, 0, 1 + 4}));

  Slots({0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5});
  ASSERT_TRUE(Build());
  EXPECT_EQ(block.Bytes[8], 6);
  EXPECT_EQ(std::vector<std::uint8_t>(block.Bytes.begin() + 9, block.Bytes.begin() + 15),
            (std::vector<std::uint8_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(block.Bytes[16], 63);

  Slots({0}, {});
  ASSERT_TRUE(Build());
  EXPECT_EQ(block.Bytes[8], 1);
  EXPECT_EQ(block.Bytes[10], 0);
  EXPECT_EQ(block.Bytes[16], 0);
}

TEST_F(CommandBlockTest, TriggerChannelCodesAndNames) {
  auto codes = [&](int count) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) {
      choices.TriggerChannelIndex = i;
      EXPECT_TRUE(Build());
      out.push_back(block.Bytes[17]);
    }
    return out;
  };
  rec.Mode = Velnarund;
  EXPECT_EQ(codes(7), (std::vector<int>{2, 5, 0, 1, 3, 4, 8}));
  EXPECT_EQ(TriggerChannelNames(rec),
            (std::vector<std::string>{"REF", "Drv", "Current", "Valve", "RM", "BP", "Ext"}));
  rec.Mode = Tarpokline;
  EXPECT_EQ(codes(7), (std::vector<int>{2, 5, 0, 1, 3, 4, 8}));
  EXPECT_EQ(TriggerChannelNames(rec),
            (std::vector<std::string>{"REF", "Voltage", "Current", "Sensor", "RM", "BP", "Ext"}));
  rec.Mode = Dodida;
  EXPECT_EQ(codes(2), (std::vector<int>{2, 0}));
  EXPECT_EQ(TriggerChannelNames(rec), (std::vector<std::string>{"REF", "T.B."}));
  rec.Mode = Ombrel16;
  EXPECT_EQ(codes(2), (std::vector<int>{0, 0}));
  EXPECT_EQ(TriggerChannelNames(rec), std::vector<std::string>{"REF"});
  // "REF", then the n-th switched-on slot's number; 0 past the last one.
  Slots({0, 2, 4, 5}, {});
  EXPECT_EQ(codes(5), (std::vector<int>{0, 2, 4, 5, 0}));
  EXPECT_EQ(TriggerChannelNames(rec), (std::vector<std::string>{"REF", "V2", "V4", "V5"}));
}

TEST_F(CommandBlockTest, TriggerEdges) {
  const int codes[] = {0x01, 0xFF, 0x00};
  for (int i = 0; i < 3; ++i) {
    choices.TriggerEdgeIndex = i;
    ASSERT_TRUE(Build());
    EXPECT_EQ(block.Bytes[18], codes[i]) << i;
  }
}

TEST_F(CommandBlockTest, LevelAndDelayRoundTiesToEvenAndKeepTheLow16Bits) {
  struct Case {
    double level, delay;
    int k;
    std::uint16_t levelWord, delayWord;
  };
  // The products below are exact halves in binary floating point.
  ASSERT_EQ(500.0 * 0.005, 2.5);
  ASSERT_EQ(500.0 * 0.015, 7.5);
  const Case cases[] = {
      {0.5, 0.005, 0, 0x0666, 0x0002},    // 1638.35 → 1638; 2.5 → 2
      {-0.5, -0.005, 0, 0xF99A, 0xFFFE},  // −1638; −2.5 → −2
      {9.99, 0.015, 0, 0x7FDE, 0x0008},   // 32 734.233; 7.5 → 8
      {-9.99, -4.95, 4, 0x8022, 0x6550},  // −32 734; −39 600
      {0.0, 99.99, 4, 0x0000, 0x34B0},    // 799 920 keeps its low 16 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delay);
    rec.TriggerLevel = c.level;
    rec.TriggerDelay = c.delay;
    values.SampleRateIndex = c.k;
    ASSERT_TRUE(Build());
    EXPECT_EQ(U16At(19), c.levelWord);
    EXPECT_EQ(U16At(21), c.delayWord);
  }
}

TEST_F(CommandBlockTest, TextShowsLinesOfEightBytes) {
  choices.TriggerChannelIndex = 3;
  choices.TriggerEdgeIndex = 1;
  choices.AccDelayCode = 0xA7;
  ASSERT_TRUE(Build());
  std::vector<std::string> lines;
  std::string text = CommandBlockText(block);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"0000:  CCA50073 00007EF4", "0008:  06020403 000105A7",
                                             "0010:  1901FFF3 339AB0"}));
}

}  // namespace
}  // namespace kalvex

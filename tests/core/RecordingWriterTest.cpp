// Writing recording files: the rebuilt header, what a re-save keeps from a
// file written elsewhere, the channel order of each mode, and files that read
// back as the recording they came from.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "recordings/ProcessValues.h"
#include "recordings/RecordingReader.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"
#include "support/RecordingFileImage.h"

namespace kalvex {
namespace {

using test::F32At;
using test::PatternSample;
using test::RecordingFileImage;
using test::TextAt;
using test::U16At;

const LocalDateTime kNow{2024, 3, 9, 13, 4, 5};

// An acquired, never saved recording of `mode`: 2 s at 1000 Hz (2500 samples
// per channel), every parameter entered.
void MakeRecording(TFrmFile& rec, ProcessValues& values, int mode) {
  rec.Mode = static_cast<std::uint8_t>(mode);
  values.SampleRateIndex = 1;
  rec.SampleRate = 1000;
  rec.SweepSeconds = 2;
  rec.SweepLength = 2000;
  rec.RecordLength = 2500;
  rec.Comment = "Test";
  rec.HoldDownWeight = 454;
  rec.BaseplateWeight = 907;
  rec.ReactionMassWeight = 2268;
  rec.TriggerLevel = 0.5;
  rec.BaseplateAccSensitivity = 100;
  rec.MassAccSensitivity = 125;
  rec.ServoCurrentFactor = 2.5;
  rec.SourceVoltageFactor = 10;
  rec.SourceCurrentFactor = 20;
  rec.SourceSensorFactor = 30;
  rec.TestOut = 1.5;
  rec.SimilarityChannels = {ChannelDescriptor{true, true, "REF"},
                            {true, true, "CH1"},
                            {true, false, "Пила"},
                            {false, true, "CH3"},  // absent: neither its name nor x8 is written
                            {true, false, "CH4"},
                            {true, true, "LONGNAME12"}};
  for (int slot = 0; slot < FileChannelCount(mode); ++slot) {
    rec.Channels[slot] = std::make_unique<SampleArray>();
    for (int i = 0; i < 2500; ++i) rec.Channels[slot]->Samples.push_back(PatternSample(slot, i));
  }
}

std::vector<std::uint8_t> Write(TFrmFile& rec, ProcessValues& values, bool rebuild) {
  std::vector<std::uint8_t> file;
  EXPECT_TRUE(WriteRecording(rec, values, rebuild, kNow, file));
  return file;
}

int ReadBack(const std::vector<std::uint8_t>& file, TFrmFile& back, ProcessValues& values) {
  test::FakeUserInteraction ui;
  const int n = ReadRecordingHeader(back, values, file, false, ui);
  EXPECT_TRUE(ui.errors.empty()) << ui.errors[0];
  if (n > 0) {
    back.RecordLength = static_cast<std::uint16_t>(n);
    ReadRecordingSamples(back, ProgramSettings{}, file);
  }
  return n;
}

TEST(RecordingWriterTest, RebuiltHeaderOfAMode0Recording) {
  TFrmFile rec;
  ProcessValues values;
  MakeRecording(rec, values, Velnarund);
  rec.FileHeader.fill(0xEE);  // a rebuilt header keeps nothing of the old image
  const auto file = Write(rec, values, true);
  ASSERT_EQ(file.size(), 256u + 2 * 2500 * 6);

  // Every byte outside the float fields, then the floats.
  std::vector<std::uint8_t> want(256, 0);
  auto put = [&](std::size_t at, std::string_view bytes) {
    std::copy(bytes.begin(), bytes.end(), want.begin() + at);
  };
  put(0, "\xC4\x09");  // 2500
  put(6, "03/09/24  ");
  put(16, "Test" + std::string(28, ' '));
  want[48] = 4;
  put(52, "13:04:05  ");
  put(62, std::string(64, ' '));
  want[152] = 8;
  put(154, "\xC4\x09");
  want[158] = 2;
  want[161] = 25;
  put(224, "\xD0\x07");  // 2000
  want[226] = 1;
  put(250, "Kalvex");
  for (std::size_t at = 0; at < 256; ++at) {
    const bool isFloat = (at >= 126 && at < 150) || (at >= 164 && at < 168);
    if (!isFloat) {
      EXPECT_EQ(int{file[at]}, int{want[at]}) << "header byte " << at;
    }
  }
  EXPECT_NEAR(F32At(file, 126), 1000.88, 0.005);  // 454 kg in pounds
  EXPECT_NEAR(F32At(file, 130), 1999.559, 0.001);
  EXPECT_FLOAT_EQ(F32At(file, 134), 5000.0f);
  EXPECT_EQ(F32At(file, 138), 0.5f);
  EXPECT_EQ(F32At(file, 142), 100.0f);
  EXPECT_EQ(F32At(file, 146), 125.0f);
  EXPECT_EQ(F32At(file, 164), 2.5f);
  EXPECT_TRUE(std::equal(rec.FileHeader.begin(), rec.FileHeader.end(), file.begin()));
  EXPECT_EQ(values.CurrentMode, Velnarund);
}

TEST(RecordingWriterTest, RebuiltHeaderFieldsThatDependOnTheMode) {
  for (int mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    TFrmFile rec;
    ProcessValues values;
    MakeRecording(rec, values, mode);
    values.SampleRateIndex = mode;  // 500 · 2^mode Hz
    values.EquipmentIndex = 1;
    const auto file = Write(rec, values, true);
    const std::uint8_t code[] = {2, 3, 4, 0, 1}, flags[] = {25, 24, 35, 24, 0};
    const std::size_t samples = (500u << mode) * 2 + 500;
    EXPECT_EQ(file.size(), 256 + 2 * samples * test::FileChannels(mode));
    EXPECT_EQ(U16At(file, 0), samples);
    EXPECT_EQ(U16At(file, 224), samples - 500);
    EXPECT_EQ(file[152], 16 >> mode);
    EXPECT_EQ(file[158], code[mode]);
    EXPECT_EQ(file[161], flags[mode]);
    EXPECT_EQ(file[226], 0);
    const bool massAndPlate = mode == Velnarund || mode == Tarpokline || mode == Dodida;
    EXPECT_EQ(F32At(file, 146), massAndPlate ? 125.0f : 0.0f);
    EXPECT_EQ(F32At(file, 126) == 0, mode == Tarpokline);  // mode 1 has no hold-down weight
    EXPECT_EQ(F32At(file, 164), 2.5f);                     // written in every mode
    EXPECT_EQ(F32At(file, 216), mode == Tarpokline ? 20.0f : 0.0f);
    EXPECT_EQ(F32At(file, 228), mode == Similarity ? 1.5f : 0.0f);
    // Mode 2: absent channels are blank, names are cut to 8 characters.
    EXPECT_EQ(TextAt(file, 168, 40), mode == Similarity
                                         ? "CH1     \xCF\xE8\xEB\xE0            CH4     LONGNAME"
                                         : std::string(40, '\0'));
  }
}

TEST(RecordingWriterTest, CommentIsSplitAt32CharactersAndReadsBack) {
  TFrmFile rec, back;
  ProcessValues values, backValues;
  MakeRecording(rec, values, Dodida);
  rec.Comment = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
  auto file = Write(rec, values, true);
  EXPECT_EQ(TextAt(file, 16, 32), "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
  EXPECT_EQ(TextAt(file, 62, 64), "6789abcd" + std::string(56, ' '));
  ASSERT_GT(ReadBack(file, back, backValues), 0);
  EXPECT_EQ(back.Comment, rec.Comment);

  // Forty Cyrillic letters are forty bytes; more than 96 characters are cut.
  rec.Comment.clear();
  for (int i = 0; i < 40; ++i) rec.Comment += "Ж";
  file = Write(rec, values, true);
  EXPECT_EQ(TextAt(file, 16, 32) + TextAt(file, 62, 9), std::string(40, '\xC6') + " ");
  ASSERT_GT(ReadBack(file, back, backValues), 0);
  EXPECT_EQ(back.Comment, rec.Comment);

  rec.Comment = std::string(60, 'a') + std::string(40, 'b');
  file = Write(rec, values, true);
  EXPECT_NEAR(F32At(file, 126), 1000.88, 0.005);  // the comment stops short of the weights
  ASSERT_GT(ReadBack(file, back, backValues), 0);
  EXPECT_EQ(back.Comment, rec.Comment.substr(0, 96));
}

TEST(RecordingWriterTest, WrittenFileReadsBackAsTheSameRecording) {
  for (int mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    TFrmFile rec, back;
    ProcessValues values, backValues;
    MakeRecording(rec, values, mode);
    values.EquipmentIndex = 1;
    rec.Comment = "Участок 4, проба 17";
    ASSERT_EQ(ReadBack(Write(rec, values, true), back, backValues), 2500);

    EXPECT_EQ(back.Mode, mode);
    EXPECT_EQ(std::tuple(back.SampleRate, back.SweepLength, back.SweepSeconds),
              std::tuple(1000, 2000, 2));
    EXPECT_EQ(std::tuple(backValues.SampleRateIndex, backValues.EquipmentIndex), std::tuple(1, 1));
    EXPECT_EQ(back.Comment, rec.Comment);
    EXPECT_EQ(back.TriggerLevel, 0.5);
    EXPECT_EQ(back.HoldDownWeight, mode == Tarpokline ? -1 : 454);
    if (mode == Velnarund || mode == Tarpokline || mode == Dodida) {
      EXPECT_EQ(std::tuple(back.BaseplateWeight, back.ReactionMassWeight), std::tuple(907, 2268));
      EXPECT_EQ(std::tuple(back.BaseplateAccSensitivity, back.MassAccSensitivity),
                std::tuple(100.0, 125.0));
    }
    EXPECT_EQ(back.ServoCurrentFactor, mode == Velnarund ? 2.5 : 0);
    EXPECT_EQ(back.SourceSensorFactor, mode == Tarpokline ? 30 : NoValue);
    EXPECT_EQ(back.TestOut, mode == Similarity ? 1.5 : 1.0);
    if (mode == Similarity) {
      const char* names[] = {"REF", "CH1", "Пила", "", "CH4", "LONGNAME"};
      const bool x8[] = {true, true, false, false, false, true};
      for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(back.SimilarityChannels[i].Name, names[i]) << i;
        EXPECT_EQ(back.SimilarityChannels[i].Present, i != 3) << i;
        EXPECT_EQ(back.SimilarityChannels[i].Attenuated, x8[i]) << i;
      }
    }
    for (int slot = 0; slot < ChannelCount(mode); ++slot)
      EXPECT_EQ(back.Channels[slot]->Samples, rec.Channels[slot]->Samples) << slot;
  }
}

TEST(RecordingWriterTest, ChannelsAreWrittenInFileOrder) {
  TFrmFile rec;
  ProcessValues values;
  // Mode 3: REF, BP (slot 2), RM (slot 1). Mode 4: REF, VIB, then VIB again
  // for a record the program made, or the third channel a file brought.
  for (auto [mode, slots, third] : {std::tuple{Dodida, std::array{0, 2, 1}, false},
                                    std::tuple{Ombrel16, std::array{0, 1, 1}, false},
                                    std::tuple{Ombrel16, std::array{0, 1, 2}, true}}) {
    MakeRecording(rec, values, mode);
    rec.FreeChannelsFrom(third ? 3 : ChannelCount(mode));
    const auto file = Write(rec, values, true);
    for (int k = 0; k < 3; ++k)
      for (int i : {0, 1234, 2499})
        EXPECT_EQ(static_cast<std::int16_t>(U16At(file, 256 + 2 * 2500 * k + 2 * i)),
                  PatternSample(slots[k], i))
            << mode << "/" << k;
  }
}

// A file written elsewhere is re-saved over its own header image: only the
// fields the writer owns change.
TEST(RecordingWriterTest, ResavingAForeignFileKeepsWhatTheWriterDoesNotOwn) {
  const std::size_t owned[] = {2, 3, 4, 5, 150, 151, 153, 156, 157, 159, 209, 210, 211, 227};
  for (int mode = 0; mode <= 4; ++mode) {
    SCOPED_TRACE(mode);
    RecordingFileImage foreign(mode, 1800, 4);
    foreign.PutText(250, "ELSEWH", 6);
    foreign.bytes[160] = 0x11;
    foreign.bytes[162] = 0x22;
    foreign.bytes[163] = 0x33;
    foreign.bytes[208] = 0x44;
    if (mode != Similarity) foreign.PutText(168, "foreign channel names", 40);
    if (mode != Tarpokline)
      foreign.PutText(212, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C", 12);
    if (mode != Similarity) foreign.PutF32(228, 4.5f);
    for (std::size_t at : owned) foreign.bytes[at] = 0x99;
    std::fill(foreign.bytes.begin() + 232, foreign.bytes.begin() + 250, 0x77);

    TFrmFile rec;
    ProcessValues values;
    ASSERT_EQ(ReadBack(foreign.bytes, rec, values), 1800);
    rec.SweepSeconds = 7;  // a re-save keeps the file's record length
    rec.SourceVoltageFactor = 11;
    rec.TestOut = 0.75;
    const auto file = Write(rec, values, false);
    const auto& old = foreign.bytes;

    ASSERT_EQ(file.size(), old.size());
    for (std::size_t at : {0, 1, 160, 162, 163, 208, 224, 225})
      EXPECT_EQ(file[at], old[at]) << "byte " << at;
    if (mode != Similarity) {
      EXPECT_EQ(TextAt(file, 168, 40), TextAt(old, 168, 40));
      EXPECT_EQ(F32At(file, 228), 4.5f);
    } else {
      EXPECT_EQ(F32At(file, 228), 0.75f);
    }
    if (mode != Tarpokline) {
      EXPECT_EQ(TextAt(file, 212, 12), TextAt(old, 212, 12));
    } else {
      EXPECT_EQ(F32At(file, 212), 11.0f);
    }
    for (std::size_t at : owned) EXPECT_EQ(file[at], 0) << "byte " << at;
    EXPECT_EQ(TextAt(file, 232, 18), std::string(18, '\0'));
    EXPECT_EQ(TextAt(file, 250, 6), "Kalvex");
  }
}

// Regression: "Сохранить" on a file whose path held "Rec_" rebuilt the
// header with the length from the parameters, cutting a longer record.
TEST(RecordingWriterTest, RebuiltHeaderOfARecordingFromAFileKeepsItsLength) {
  TFrmFile rec;
  ProcessValues values;
  MakeRecording(rec, values, Dodida);
  values.SampleRateIndex = 2;  // 2000 Hz: 4 s give 8 500 samples
  rec.SampleRate = 2000;
  rec.SweepSeconds = 4;
  rec.SweepLength = 9000;
  rec.RecordLength = 10000;
  for (int slot = 0; slot < 3; ++slot) rec.Channels[slot]->Samples.assign(10000, 7);
  rec.Channels[1]->Samples.back() = -3;
  rec.Origin = OriginFile;
  const auto file = Write(rec, values, true);
  ASSERT_EQ(file.size(), 256u + 2 * 10000 * 3);
  EXPECT_EQ(U16At(file, 0), 10000u);
  EXPECT_EQ(U16At(file, 154), 10000u);
  EXPECT_EQ(U16At(file, 224), 9000u);
  EXPECT_EQ(static_cast<std::int16_t>(U16At(file, 256 + 2 * 3 * 10000 - 2)), -3);  // RM last

  rec.Origin = OriginAcquired;  // a record the program made: from the parameters
  EXPECT_EQ(U16At(Write(rec, values, true), 0), 8500u);
}

TEST(RecordingWriterTest, RebuiltRecordBeyond65535SamplesIsRefusedAndChangesNothing) {
  for (auto [index, seconds] : {std::pair{0, 131}, {4, 9}, {4, 65535}, {5, 1}, {-1, 1}}) {
    SCOPED_TRACE(std::to_string(index) + "/" + std::to_string(seconds));
    TFrmFile rec;
    ProcessValues values;
    MakeRecording(rec, values, Velnarund);
    values.SampleRateIndex = index;
    rec.SweepSeconds = static_cast<std::uint16_t>(seconds);
    rec.FileHeader.fill(0x5A);
    const auto header = rec.FileHeader;
    std::vector<std::uint8_t> file = {1, 2, 3};
    EXPECT_FALSE(WriteRecording(rec, values, true, kNow, file));
    EXPECT_TRUE(rec.FileHeader == header);
    EXPECT_EQ(file, (std::vector<std::uint8_t>{1, 2, 3}));
  }
  TFrmFile rec;  // the longest record that fits
  ProcessValues values;
  MakeRecording(rec, values, Ombrel16);
  values.SampleRateIndex = 0;
  rec.SweepSeconds = 130;
  const auto file = Write(rec, values, true);
  EXPECT_EQ(std::tuple(U16At(file, 0), U16At(file, 224)), std::tuple(65500, 65000));
}

}  // namespace
}  // namespace kalvex

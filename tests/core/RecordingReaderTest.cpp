// Reading recording files: the header checks and their order, the values
// taken from the header, the accumulation questions, the channel layout of
// each mode, and files that are refused without touching the recording.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "recordings/Cp1251.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingReader.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"
#include "support/RecordingDescription.h"
#include "support/RecordingFileImage.h"

namespace kalvex {
namespace {

using test::PatternSample;
using test::RecordingFileImage;
using Texts = std::vector<std::string>;

const std::string kBadSize = "Неверный размер файла";
const std::string kBadHoldDown = "Неверное значение усилия прижима плиты";
const std::string kBadTrigger = "Неверное значение уровня порога триггерного канала";
const std::string kBadInterval = "Неверное значение временного интервала";
const std::string kAskMode = "Несовпадение режимов регистрации в режиме накопления. Продолжить?";
const std::string kAskLength = "Несовпадение числа отсчетов в режиме накопления. Продолжить?";
const std::string kAskInterval =
    "Несовпадение интервалов квантования в режиме накопления. Продолжить?";

class RecordingReaderTest : public ::testing::Test {
 protected:
  // The header step, then (when it accepted the file) the sample step, as
  // the open command runs them.
  int Read(std::span<const std::uint8_t> file, bool accumulating = false) {
    int n = ReadRecordingHeader(rec, values, file, accumulating, ui);
    if (n > 0) {
      rec.RecordLength = static_cast<std::uint16_t>(n);
      ReadRecordingSamples(rec, settings, file);
    }
    return n;
  }

  TFrmFile rec;
  ProcessValues values;
  ProgramSettings settings;
  test::FakeUserInteraction ui;
};

struct HeaderFault {
  void (*spoil)(RecordingFileImage&);
  const char* text;
};

const HeaderFault kFaults[] = {
    {[](RecordingFileImage& f) { f.bytes[158] = 5; }, "Неверный код режима"},
    {[](RecordingFileImage& f) { f.PutU16(0, 0); }, "Количество отсчетов равно 0"},
    {[](RecordingFileImage& f) { f.bytes.push_back(0); }, "Неверный размер файла"},
    // One pound is 0.4536 kg: rounds to 0.
    {[](RecordingFileImage& f) { f.PutF32(126, 1.0f); }, "Неверное значение усилия прижима плиты"},
    {[](RecordingFileImage& f) { f.PutF32(130, -2000.0f); },
     "Неверное значение веса опорной плиты"},
    {[](RecordingFileImage& f) { f.PutF32(134, std::numeric_limits<float>::quiet_NaN()); },
     "Неверное значение веса реактивной массы"},
    {[](RecordingFileImage& f) { f.PutF32(142, 0.0f); },
     "Неверное значение коэффициента преобразования акселерометра плиты"},
    {[](RecordingFileImage& f) { f.PutF32(146, -1.0f); },
     "Неверное значение коэффициента преобразования акселерометра массы"},
    {[](RecordingFileImage& f) { f.PutF32(164, 0.0f); },
     "Неверное значение коэффициента преобразования канала измерения тока"},
    {[](RecordingFileImage& f) { f.PutF32(138, 10.0f); },
     "Неверное значение уровня порога триггерного канала"},
    {[](RecordingFileImage& f) { f.PutF32(212, 100.0f); }, "Неверное значение параметра Voltage"},
    {[](RecordingFileImage& f) { f.PutF32(216, 0.0f); }, "Неверное значение параметра Current"},
    {[](RecordingFileImage& f) { f.PutF32(220, 150.0f); }, "Неверное значение параметра Sensor"},
    {[](RecordingFileImage& f) { f.PutF32(228, 0.0f); }, "Неверное значение параметра TestOut"},
    {[](RecordingFileImage& f) { f.bytes[152] = 5; }, "Неверное значение временного интервала"},
};
// Indices of kFaults.
enum {
  Mode,
  Zero,
  Size,
  HoldDown,
  Plate,
  Mass,
  PlateAcc,
  MassAcc,
  Servo,
  Trigger,
  V,
  C,
  S,
  TestOut,
  Interval
};

// With faults k.. in the file, the reader reports fault k, asks nothing
// before the file's shape is known to be right, and leaves the recording
// (which holds an earlier file) exactly as it was.
TEST_F(RecordingReaderTest, HeaderChecksInOrderAndARefusedFileChangesNothing) {
  const std::vector<int> order[] = {
      {Mode, Zero, Size, HoldDown, Plate, Mass, PlateAcc, MassAcc, Servo, Trigger, Interval},
      {Mode, Zero, Size, Plate, Mass, PlateAcc, MassAcc, Trigger, V, C, S, Interval},
      {Mode, Zero, Size, HoldDown, Trigger, TestOut, Interval},
      {Mode, Zero, Size, HoldDown, Plate, Mass, PlateAcc, MassAcc, Trigger, Interval},
      {Mode, Zero, Size, HoldDown, Trigger, Interval}};
  RecordingFileImage previous(Similarity, 1200, 16);
  previous.PutText(16, "previous", 32);
  for (int mode = 0; mode <= 4; ++mode) {
    for (std::size_t k = 0; k <= order[mode].size(); ++k) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", first fault " + std::to_string(k));
      rec.CreateRecording();
      ASSERT_EQ(Read(previous.Bytes()), 1200);
      ui.Clear();
      const std::string before = test::Describe(rec, values);

      RecordingFileImage file(mode);
      for (std::size_t j = k; j < order[mode].size(); ++j) kFaults[order[mode][j]].spoil(file);
      const int n = Read(file.Bytes(), /*accumulating=*/k % 2 == 0);
      if (k < order[mode].size()) {
        EXPECT_EQ(n, HeaderRefused);
        EXPECT_EQ(ui.errors, Texts{kFaults[order[mode][k]].text});
        EXPECT_EQ(test::Describe(rec, values), before);
      } else {
        EXPECT_EQ(n, 2500);
        EXPECT_EQ(rec.Mode, mode);
        EXPECT_TRUE(ui.errors.empty());
      }
      EXPECT_EQ(ui.questions.empty(), k < 3 || k % 2 == 1);
    }
  }
}

TEST_F(RecordingReaderTest, FileSizeFollowsTheModesFileChannels) {
  RecordingFileImage mode3(Dodida, 10000, 4);
  ASSERT_EQ(mode3.bytes.size(), 60256u);
  EXPECT_EQ(Read(mode3.Bytes()), 10000);
  EXPECT_EQ(rec.SampleRate, 2000);
  EXPECT_EQ(values.SampleRateIndex, 2);
  EXPECT_EQ(rec.SweepLength, 9000);
  EXPECT_EQ(rec.SweepSeconds, 4);

  RecordingFileImage mode4(Ombrel16, 1000);
  mode4.bytes.resize(256 + 4 * 1000);  // the two channels the mode uses, not the three it holds
  EXPECT_EQ(Read(mode4.Bytes()), HeaderRefused);
  EXPECT_EQ(ui.errors, Texts{kBadSize});
}

TEST_F(RecordingReaderTest, ValuesTakenFromTheHeader) {
  RecordingFileImage file(Velnarund);
  file.PutF32(138, -2.5f);
  file.PutF32(146, 99.25f);
  file.PutF32(164, 3.75f);
  file.bytes[226] = 0;
  ASSERT_GT(Read(file.Bytes()), 0);
  EXPECT_EQ(rec.HoldDownWeight, 454);   // 1000 lb = 453.6 kg
  EXPECT_EQ(rec.BaseplateWeight, 907);  // 2000 lb = 907.2 kg
  EXPECT_EQ(rec.ReactionMassWeight, 2268);
  EXPECT_EQ(rec.TriggerLevel, -2.5);
  EXPECT_EQ(rec.BaseplateAccSensitivity, 100);
  EXPECT_EQ(rec.MassAccSensitivity, 99.25);
  EXPECT_EQ(rec.ServoCurrentFactor, 3.75);
  EXPECT_EQ(values.EquipmentIndex, 1);  // byte 226 holds 1 - EquipmentIndex
  EXPECT_EQ(std::tuple(rec.SampleRate, rec.SweepLength, rec.SweepSeconds),
            std::tuple(1000, 2000, 2));
  EXPECT_TRUE(std::equal(rec.FileHeader.begin(), rec.FileHeader.end(), file.bytes.begin()));

  RecordingFileImage tarpokline(Tarpokline);
  tarpokline.bytes[226] = 9;
  ASSERT_GT(Read(tarpokline.Bytes()), 0);
  EXPECT_EQ(std::tuple(rec.SourceVoltageFactor, rec.SourceCurrentFactor, rec.SourceSensorFactor),
            std::tuple(10.0, 20.0, 30.0));
  EXPECT_EQ(values.EquipmentIndex, 0);

  RecordingFileImage similarity(Similarity);
  similarity.PutF32(228, 0.25f);
  ASSERT_GT(Read(similarity.Bytes()), 0);
  EXPECT_EQ(rec.TestOut, 0.25);
  EXPECT_EQ(rec.SourceVoltageFactor, 10.0);  // not a parameter of mode 2: unchanged
}

TEST_F(RecordingReaderTest, Mode1IgnoresTheHoldDownWeightThatMode0Refuses) {
  rec.HoldDownWeight = 777;
  RecordingFileImage file(Tarpokline);
  ASSERT_EQ(file.GetF32(126), 0.0f);
  EXPECT_GT(Read(file.Bytes()), 0);
  EXPECT_EQ(rec.HoldDownWeight, 777);

  file.bytes[158] = 2;  // the same header as a mode 0 file
  file.PutF32(164, 2.5f);
  EXPECT_EQ(Read(file.Bytes()), HeaderRefused);
  EXPECT_EQ(ui.errors, Texts{kBadHoldDown});
}

TEST_F(RecordingReaderTest, TriggerLevelMustStayBelowTenVolts) {
  RecordingFileImage file(Ombrel16);
  for (float level : {10.0f, -10.0f, std::numeric_limits<float>::infinity()}) {
    file.PutF32(138, level);
    EXPECT_EQ(Read(file.Bytes()), HeaderRefused) << level;
  }
  EXPECT_EQ(ui.errors, Texts(3, kBadTrigger));
  for (float level : {9.99f, -9.99f}) {
    file.PutF32(138, level);
    EXPECT_GT(Read(file.Bytes()), 0) << level;
    EXPECT_EQ(rec.TriggerLevel, double{level});
  }
}

TEST_F(RecordingReaderTest, IntervalCodeGivesTheSampleRate) {
  for (int index = 0; index <= 4; ++index) {
    const int rate = 500 << index;
    RecordingFileImage file(Ombrel16, 20000, static_cast<std::uint8_t>(16 >> index));
    ASSERT_EQ(Read(file.Bytes()), 20000);
    EXPECT_EQ(rec.SampleRate, rate);
    EXPECT_EQ(values.SampleRateIndex, index);
    EXPECT_EQ(rec.SweepLength, 20000 - rate / 2);  // modes 3 and 4 keep half a second off
    EXPECT_EQ(rec.SweepSeconds, (20000 - rate / 2) / rate);
  }
  // 8000 / 5 would be a whole rate, but 5 is no interval code.
  for (std::uint8_t code : {5, 0, 3, 32, 255}) {
    ui.Clear();
    EXPECT_EQ(Read(RecordingFileImage(Ombrel16, 20000, code).Bytes()), HeaderRefused) << int{code};
    EXPECT_EQ(ui.errors, Texts{kBadInterval});
  }
}

TEST_F(RecordingReaderTest, SweepIsNeverNegativeNorBeyondTheRecord) {
  RecordingFileImage longSweep(Velnarund, 41000);
  longSweep.PutU16(224, 40000);  // negative if read as a signed word
  ASSERT_EQ(Read(longSweep.Bytes()), 41000);
  EXPECT_EQ(std::tuple(rec.SweepLength, rec.SweepSeconds), std::tuple(40000, 40));

  RecordingFileImage tooLong(Velnarund, 2500);
  tooLong.PutU16(224, 60000);
  ASSERT_EQ(Read(tooLong.Bytes()), 2500);
  EXPECT_EQ(std::tuple(rec.SweepLength, rec.SweepSeconds), std::tuple(2500, 2));
  EXPECT_EQ(rec.Channels[1]->Count, 2500);

  ASSERT_EQ(Read(RecordingFileImage(Dodida, 300, 8).Bytes()), 300);  // shorter than half a second
  EXPECT_EQ(std::tuple(rec.SweepLength, rec.SweepSeconds), std::tuple(0, 0));
}

TEST_F(RecordingReaderTest, CommentIsJoinedTrimmedAndDecoded) {
  RecordingFileImage file(Ombrel16);
  file.PutText(16, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32);
  file.PutText(62, "6789 abcd", 64);
  ASSERT_GT(Read(file.Bytes()), 0);
  EXPECT_EQ(rec.Comment, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 abcd");

  file.PutText(16, " \t\x01Test  run", 32);
  file.PutText(62, "", 64);
  file.bytes[125] = '\r';
  ASSERT_GT(Read(file.Bytes()), 0);
  EXPECT_EQ(rec.Comment, "Test  run");

  file.PutText(16, "\xCF\xF0\xEE\xE1\xE0 \xB9 5", 32);  // in the Russian code page
  ASSERT_GT(Read(file.Bytes()), 0);
  EXPECT_EQ(rec.Comment, "Проба № 5");
}

TEST_F(RecordingReaderTest, SimilarityChannelsFromNamesAndX8Flags) {
  RecordingFileImage file(Similarity);
  file.PutText(176, "  AB  ", 8);
  file.PutText(184, "", 8);                     // blank: not present
  std::fill_n(file.bytes.begin() + 192, 8, 0);  // zeros: not present either
  file.PutText(200, "\xCF\xE8\xEB\xE0", 8);     // "Пила"
  file.bytes[161] = 0x3F;
  ASSERT_GT(Read(file.Bytes()), 0);
  const char* names[] = {"REF", "CH1", "AB", "", "", "Пила"};
  for (int i = 0; i < 6; ++i) {
    const ChannelDescriptor& d = rec.SimilarityChannels[i];
    EXPECT_EQ(d.Name, names[i]) << i;
    EXPECT_EQ(d.Present, i != 3 && i != 4) << i;
    EXPECT_EQ(d.Attenuated, d.Present) << i;  // every bit is set
  }
  file.bytes[161] = 0x04;
  ASSERT_GT(Read(file.Bytes()), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rec.SimilarityChannels[i].Attenuated, i == 2) << i;
}

TEST_F(RecordingReaderTest, AccumulationQuestionsInOrder) {
  ASSERT_GT(Read(RecordingFileImage(Velnarund, 2500, 8).Bytes()), 0);
  RecordingFileImage other(Dodida, 3000, 4);  // mode, length and interval all differ

  for (std::size_t declineAt = 0; declineAt < 3; ++declineAt) {
    ui.Clear();
    ui.answers.assign(declineAt, true);
    ui.answers.push_back(false);
    const std::string before = test::Describe(rec, values);
    EXPECT_EQ(Read(other.Bytes(), true), HeaderDeclined);
    EXPECT_EQ(ui.questions.size(), declineAt + 1);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(test::Describe(rec, values), before);
  }
  ui.Clear();
  EXPECT_EQ(Read(other.Bytes(), true), 3000);
  EXPECT_EQ(ui.questions, (Texts{kAskMode, kAskLength, kAskInterval}));

  ui.Clear();  // only the length differs
  EXPECT_EQ(Read(RecordingFileImage(Dodida, 3500, 4).Bytes(), true), 3500);
  EXPECT_EQ(ui.questions, Texts{kAskLength});

  ui.Clear();  // interval code 0 has no rate to compare; refused further on
  EXPECT_EQ(Read(RecordingFileImage(Dodida, 3500, 0).Bytes(), true), HeaderRefused);
  EXPECT_EQ(ui.errors, Texts{kBadInterval});
}

TEST_F(RecordingReaderTest, ChannelLayoutOfEveryMode) {
  ASSERT_GT(Read(RecordingFileImage(Velnarund).Bytes()), 0);  // all six slots in use before
  for (int mode : {Dodida, Ombrel16, Velnarund, Similarity}) {
    RecordingFileImage file(mode);
    ASSERT_GT(Read(file.Bytes()), 0);
    // Mode 3 files hold REF, BP, RM; mode 4's third file channel goes to slot 2.
    std::vector<int> fileChannelOfSlot = {0, 1, 2, 3, 4, 5};
    if (mode == Dodida) fileChannelOfSlot = {0, 2, 1};
    if (mode == Ombrel16) fileChannelOfSlot = {0, 1, 2};
    for (int slot = 0; slot < MaxChannelSlots; ++slot) {
      if (slot >= static_cast<int>(fileChannelOfSlot.size())) {
        EXPECT_FALSE(rec.Channels[slot]) << mode << "/" << slot;
        continue;
      }
      ASSERT_TRUE(rec.Channels[slot]);
      std::vector<std::int16_t> expected;
      for (int i = 0; i < 2500; ++i) expected.push_back(PatternSample(fileChannelOfSlot[slot], i));
      EXPECT_EQ(rec.Channels[slot]->Samples, expected) << mode << "/" << slot;
    }
    EXPECT_EQ(rec.Origin, OriginFile);
  }
}

TEST_F(RecordingReaderTest, NegativePolarityNegatesChannelsAfterTheReferenceOverTheSweep) {
  rec.PolarityPositive = false;
  for (int mode : {Velnarund, Ombrel16}) {
    RecordingFileImage file(mode);
    file.SetSample(1, 5, -32768);
    ASSERT_GT(Read(file.Bytes()), 0);
    ASSERT_EQ(rec.SweepLength, 2000);
    for (int slot = 0; slot < test::FileChannels(mode); ++slot) {  // mode 4: slots 1 and 2
      const auto& s = rec.Channels[slot]->Samples;
      const int sign = slot == 0 ? 1 : -1;
      EXPECT_EQ(s[0], sign * PatternSample(slot, 0)) << mode << "/" << slot;
      EXPECT_EQ(s[1999], sign * PatternSample(slot, 1999)) << mode << "/" << slot;
      EXPECT_EQ(s[2000], PatternSample(slot, 2000)) << mode << "/" << slot;
    }
    EXPECT_EQ(rec.Channels[1]->Samples[5], -32768);
  }
}

TEST_F(RecordingReaderTest, RangesAndGroundForceCoverTheSweep) {
  RecordingFileImage file(Dodida);
  for (int i = 0; i < 2500; ++i) {
    file.SetSample(0, i, static_cast<std::int16_t>(i % 100 - 50));
    file.SetSample(1, i, 1000);  // BP
    file.SetSample(2, i, -500);  // RM
  }
  file.SetSample(0, 2100, 32000);  // after the sweep
  ASSERT_GT(Read(file.Bytes()), 0);
  const SampleArray& ref = *rec.Channels[0];
  EXPECT_EQ(std::tuple(ref.Min, ref.Max, ref.Count), std::tuple(-50.0, 49.0, 2000));
  // RM 2268 kg at 125 mV/g, BP 907 kg at 100 mV/g.
  const double force = -500 * 1250.0 / 32768 * 2268 / 125 + 1000 * 1250.0 / 32768 * 907 / 100;
  ASSERT_TRUE(rec.DerivedChannel);
  EXPECT_NEAR(rec.DerivedChannel->Values[1999], force, 1e-9);
  EXPECT_EQ(rec.DerivedChannel->Count, 2000);
}

// Truncated files, noise, and valid files with spoiled headers: every one
// gets an answer (a refusal with one message, or an accepted record that
// keeps the invariants), never a crash.
TEST_F(RecordingReaderTest, MalformedFilesNeverCrash) {
  RecordingFileImage small(Dodida, 10);
  for (std::size_t size = 0; size < small.bytes.size(); ++size) {
    ui.Clear();
    EXPECT_EQ(Read(std::span(small.bytes.data(), size)), HeaderRefused) << size;
    EXPECT_EQ(ui.errors.size(), 1u);
  }
  std::mt19937 random(20240611);
  auto byte = [&] { return static_cast<std::uint8_t>(random()); };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> bytes;
    if (round % 3 == 0) {  // noise
      bytes.resize(random() % 700);
      for (auto& b : bytes) b = byte();
    } else if (round % 3 == 1) {  // noise with a valid mode code, of the size it claims
      bytes.resize(256);
      for (auto& b : bytes) b = byte();
      bytes[158] = static_cast<std::uint8_t>(random() % 5);
      bytes[1] = 0;
      bytes.resize(256 + 2u * bytes[0] * test::FileChannels(test::kModeOfFileCode[bytes[158]]));
    } else {  // a valid file with a few header bytes spoiled
      bytes = RecordingFileImage(static_cast<int>(random() % 5), 50, 8).bytes;
      for (int k = 0; k < 4; ++k) bytes[120 + random() % 136] = byte();
    }
    ui.Clear();
    const int n = Read(bytes, round % 2 == 0);
    if (n > 0) {
      EXPECT_TRUE(ui.errors.empty());
      EXPECT_LE(rec.SweepLength, rec.RecordLength);
      EXPECT_EQ(8000 % rec.SampleRate, 0);
      EXPECT_LE(Utf8Length(rec.Comment), 96u);
    } else {
      ASSERT_TRUE(n == HeaderRefused || n == HeaderDeclined) << n;
      EXPECT_EQ(ui.errors.size(), n == HeaderRefused ? 1u : 0u);
    }
  }
}

}  // namespace
}  // namespace kalvex

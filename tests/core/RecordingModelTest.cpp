// The recording object and its channel blocks: initial values, channel and
// unit names, the analysis cache flags, negation and the polarity toggle.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "recordings/FormatNumber.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"
#include "support/RecordingDescription.h"

namespace kalvex {
namespace {

std::unique_ptr<SampleArray> Block(std::vector<std::int16_t> samples) {
  auto block = std::make_unique<SampleArray>();
  block->Samples = std::move(samples);
  return block;
}

TEST(RecordingModelTest, NewRecordingHasItsInitialValues) {
  TFrmFile rec;
  EXPECT_EQ(rec.Mode, NoSignal);
  EXPECT_EQ(rec.HoldDownWeight, -1);
  EXPECT_EQ(rec.ReactionMassWeight, -1);
  EXPECT_EQ(rec.TriggerLevel, NoValue);
  EXPECT_EQ(FormatNumber(rec.TriggerLevel, 2), "");
  EXPECT_EQ(rec.MassAccSensitivity, NoValue);
  EXPECT_EQ(rec.SourceSensorFactor, NoValue);
  EXPECT_EQ(rec.ServoCurrentFactor, 0);
  EXPECT_EQ(rec.TestOut, 1.0);
  EXPECT_TRUE(rec.PolarityPositive);
  EXPECT_EQ(rec.CrossReferenceChannel, -1);
  EXPECT_EQ(rec.Origin, OriginNone);
  EXPECT_EQ(std::count(rec.FileHeader.begin(), rec.FileHeader.begin() + 250, 0), 250);
  EXPECT_EQ(std::string(rec.FileHeader.begin() + 250, rec.FileHeader.end()), "Kalvex");
}

TEST(RecordingModelTest, CreateRecordingResetsAUsedRecording) {
  TFrmFile used;
  used.Mode = Dodida;
  used.CrossReferenceChannel = 2;
  used.CacheState = {1, 1, 0, 0};
  used.AmplitudeNorm = 102.675;
  used.AnalysisValid.fill(true);
  used.CrossValid.fill(true);
  used.Modified = true;
  used.Origin = OriginFile;
  used.RecordLength = used.SweepLength = used.SweepSeconds = used.SampleRate = 9;
  used.Comment = used.Name = "old";
  used.PolarityPositive = false;
  used.HoldDownWeight = used.BaseplateWeight = used.ReactionMassWeight = 100;
  used.TriggerLevel = used.TriggerDelay = used.BaseplateAccSensitivity = 0.5;
  used.MassAccSensitivity = used.ServoCurrentFactor = used.SourceVoltageFactor = 0.5;
  used.SourceCurrentFactor = used.SourceSensorFactor = used.TestOut = 0.5;
  used.SimilarityChannels[3] = {true, true, "CH3"};
  used.FileHeader.fill(0x55);
  used.Channels[0] = Block({1, 2, 3});
  used.DerivedChannel = std::make_unique<ValueArray>();
  used.FrameAnalyses[1] = std::make_unique<FrameAnalysis>(4);

  used.CreateRecording();
  EXPECT_EQ(test::Describe(used), test::Describe(TFrmFile{}));
}

TEST(RecordingModelTest, ModeTables) {
  const int channels[] = {6, 6, 6, 3, 2, 0}, fileChannels[] = {6, 6, 6, 3, 3, 0};
  const int rm[] = {4, 4, -1, 1, -1, -1}, bp[] = {5, 5, -1, 2, -1, -1};
  for (int mode = 0; mode <= 5; ++mode) {
    EXPECT_EQ(ChannelCount(mode), channels[mode]) << mode;
    EXPECT_EQ(FileChannelCount(mode), fileChannels[mode]) << mode;
    EXPECT_EQ(RmChannelIndex(mode), rm[mode]) << mode;
    EXPECT_EQ(BpChannelIndex(mode), bp[mode]) << mode;
  }
  // Byte 158 of a file: 0 Dodida, 1 Ombrel16, 2 Velnarund, 3 Tarpokline, 4 Similarity.
  const int modeOfCode[] = {Dodida, Ombrel16, Velnarund, Tarpokline, Similarity};
  for (std::uint8_t code = 0; code < 5; ++code) {
    EXPECT_EQ(ModeFromFileCode(code), modeOfCode[code]);
    EXPECT_EQ(FileCodeOfMode(modeOfCode[code]), code);
  }
  EXPECT_FALSE(ModeFromFileCode(5).has_value());
  EXPECT_EQ(ModeName(2), "Similarity");
  EXPECT_EQ(ModeName(5), "");
  EXPECT_EQ(EquipmentName(1), "Notebook Marlo/ВЕКТ.020");
}

TEST(RecordingModelTest, ChannelNames) {
  TFrmFile rec;
  rec.SimilarityChannels[4].Name = "Пилот";
  EXPECT_EQ(rec.ChannelName(0, 1), "Currrent");
  EXPECT_EQ(rec.ChannelName(0, 6), "GF");
  EXPECT_EQ(rec.ChannelName(1, 3), "Sensor");
  EXPECT_EQ(rec.ChannelName(3, 1), "RM");
  EXPECT_EQ(rec.ChannelName(3, 3), "GF");
  EXPECT_EQ(rec.ChannelName(4, 1), "VIB");
  EXPECT_EQ(rec.ChannelName(2, 4), "Пилот");
  EXPECT_EQ(rec.ChannelName(2, 6), "Average");
  EXPECT_EQ(rec.ChannelName(128 + 3, 2), "BP");  // the mode is taken modulo 128
  EXPECT_EQ(rec.ChannelName(7, 0), "");
}

TEST(RecordingModelTest, UnitNames) {
  EXPECT_EQ(UnitName(4, 1, 3), "V");
  EXPECT_EQ(UnitName(4, 1, 0), "T");
  EXPECT_EQ(UnitName(0, 1, 2), "");  // no label: the caller keeps its text
  EXPECT_EQ(UnitName(0, 1, 1), "mA");
  EXPECT_EQ(UnitName(0, 3, 1), "mm");
  EXPECT_EQ(UnitName(0, 0, 4), "V");
  EXPECT_EQ(UnitName(1, 4, 4), "kN");
  EXPECT_EQ(UnitName(1, 6, 1), "Lbs");
  EXPECT_EQ(UnitName(1, 6, 3), "");
  EXPECT_EQ(UnitName(1, 2, 1), "kA");
  EXPECT_EQ(UnitName(1, 3, 2), "V");
  EXPECT_EQ(UnitName(2, 3, 0), "V");
  EXPECT_EQ(UnitName(2, 6, 1), "T");
  EXPECT_EQ(UnitName(2, 0, 3), "V");
  EXPECT_EQ(UnitName(3, 2, 2), "T");
  EXPECT_EQ(UnitName(3, 3, 2), "kN");
  EXPECT_EQ(UnitName(128 + 4, 1, 1), "Lbs");
  EXPECT_EQ(UnitName(5, 0, 0), "");
}

TEST(RecordingModelTest, ClearAnalysesDropsTablesAndEveryCrossFlag) {
  TFrmFile rec;
  rec.FrameAnalyses[0] = std::make_unique<FrameAnalysis>(3);
  rec.FrameAnalyses[4] = std::make_unique<FrameAnalysis>(3);
  rec.AnalysisValid[0] = rec.AnalysisValid[4] = true;
  rec.CrossValid.fill(true);
  rec.CrossReferenceChannel = 0;
  rec.CacheState = {1, 1, 1, 1};
  rec.Channels[0] = Block({7});
  rec.ClearAnalyses();
  for (int slot = 0; slot < MaxChannelSlots; ++slot) {
    EXPECT_FALSE(rec.FrameAnalyses[slot] || rec.AnalysisValid[slot] || rec.CrossValid[slot]);
  }
  EXPECT_EQ(rec.CrossReferenceChannel, -1);
  EXPECT_EQ(rec.CacheState, (std::array<std::uint8_t, 4>{}));
  EXPECT_TRUE(rec.Channels[0]);  // the samples are not the cache's
}

TEST(RecordingModelTest, InvalidateCrossKeepsFlagsOnlyForTheSameReference) {
  TFrmFile rec;
  const std::array<bool, 7> all{true, true, true, true, true, true, true}, none{};
  rec.InvalidateCross(2);
  rec.CrossValid = all;
  rec.InvalidateCross(2);
  EXPECT_EQ(rec.CrossValid, all);
  rec.InvalidateCross(3);
  EXPECT_EQ(rec.CrossReferenceChannel, 3);
  EXPECT_EQ(rec.CrossValid, none);
  // No reference (-1) never counts as the same reference.
  rec.InvalidateCross(-1);
  rec.CrossValid = all;
  rec.InvalidateCross(-1);
  EXPECT_EQ(rec.CrossValid, none);
}

TEST(RecordingModelTest, NegateSamplesKeepsMinus32768AndStopsAtTheBlock) {
  SampleArray block;
  block.Samples = {-32768, 32767, -1, 0, 12};
  NegateSamples(block, 4);
  EXPECT_EQ(block.Samples, (std::vector<std::int16_t>{-32768, -32767, 1, 0, 12}));
  NegateSamples(block, 1000);
  EXPECT_EQ(block.Samples, (std::vector<std::int16_t>{-32768, 32767, -1, 0, -12}));
}

TEST(RecordingModelTest, ScanRangeCoversTheFirstCountSamples) {
  SampleArray block;
  block.Samples = {5, -3, 9, -20000, 30000};
  ScanRange(block, 3);
  EXPECT_EQ(std::tuple(block.Min, block.Max, block.Count), std::tuple(-3.0, 9.0, 3));
  block.Samples[0] = -100;
  ScanRange(block, -1);  // the count already stored
  EXPECT_EQ(std::tuple(block.Min, block.Max, block.Count), std::tuple(-100.0, 9.0, 3));
  ScanRange(block, 99);
  EXPECT_EQ(std::tuple(block.Min, block.Max, block.Count), std::tuple(-20000.0, 30000.0, 5));
}

TEST(RecordingModelTest, PolarityToggledTwiceRestoresOnlyTheSweep) {
  TFrmFile rec;
  rec.Mode = Velnarund;
  rec.SweepLength = 3;
  const std::vector<std::int16_t> original = {-32768, 5, -7, 1000, -1000};
  for (int slot = 0; slot < 6; ++slot) rec.Channels[slot] = Block(original);

  rec.ApplyPolarityChange();
  EXPECT_EQ(rec.Channels[0]->Samples, original);  // the reference is never inverted
  for (int slot = 1; slot < 6; ++slot)
    EXPECT_EQ(rec.Channels[slot]->Samples, (std::vector<std::int16_t>{-32768, -5, 7, 1000, -1000}));
  rec.ApplyPolarityChange();
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(rec.Channels[slot]->Samples, original);

  // Regression: mode 4's spare file channel in slot 2, negated on reading,
  // kept its sign on the toggle and was re-saved with the wrong one.
  rec.Mode = Ombrel16;
  rec.Channels[3].reset();
  rec.ApplyPolarityChange();
  EXPECT_EQ(rec.Channels[1]->Samples[1], -5);
  EXPECT_EQ(rec.Channels[2]->Samples[1], -5);
  EXPECT_FALSE(rec.Channels[3]);
}

}  // namespace
}  // namespace kalvex

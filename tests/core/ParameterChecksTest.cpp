// The parameter checks before an acquisition or a synthetic record: which
// checks apply in which mode, their order and their texts.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "recordings/ParameterChecks.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingReader.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

using Errors = std::vector<std::string>;

// Valid parameters for `mode`; every parameter the mode does not use is left
// invalid, so that a check applied in the wrong mode shows.
void MakeValid(TFrmFile& rec, ProcessValues& values, int mode) {
  const bool massAndPlate = mode == Velnarund || mode == Tarpokline || mode == Dodida;
  rec.Mode = static_cast<std::uint8_t>(mode);
  rec.HoldDownWeight = mode == Tarpokline ? -1 : 5000;
  rec.BaseplateWeight = rec.ReactionMassWeight = massAndPlate ? 900 : -1;
  rec.BaseplateAccSensitivity = rec.MassAccSensitivity = massAndPlate ? 98.5 : NoValue;
  rec.ServoCurrentFactor = mode == Velnarund ? 2.5 : 0;
  rec.TriggerLevel = 0.5;
  rec.SourceVoltageFactor = rec.SourceCurrentFactor = mode == Tarpokline ? 10 : NoValue;
  rec.SourceSensorFactor = mode == Tarpokline ? 99.99 : NoValue;
  rec.TestOut = mode == Similarity ? 1.5 : 0;
  rec.SweepSeconds = 10;
  values.SampleRateIndex = 1;
}

enum Check { HoldDown, Plate, Mass, PlateAcc, MassAcc, Servo, Trigger, V, C, S, TestOut, Time };

struct CheckCase {
  void (*spoil)(TFrmFile&);
  const char* invalid;  // ValidateParameters
  const char* missing;  // CheckParametersEntered; null: not one of its checks
};

const CheckCase kChecks[] = {
    {[](TFrmFile& r) { r.HoldDownWeight = 0; }, "Неверное значение усилия прижима плиты",
     "Не задано значение усилия прижима плиты"},
    {[](TFrmFile& r) { r.BaseplateWeight = -1; }, "Неверное значение веса опорной плиты",
     "Не задан вес опорной плиты"},
    {[](TFrmFile& r) { r.ReactionMassWeight = 0; }, "Неверное значение веса реактивной массы",
     "Не задан вес реактивной массы"},
    {[](TFrmFile& r) { r.BaseplateAccSensitivity = NoValue; },
     "Неверное значение коэффициента преобразования акселерометра плиты",
     "Не задан коэффициент преобразования акселерометра плиты"},
    {[](TFrmFile& r) { r.MassAccSensitivity = 0; },
     "Неверное значение коэффициента преобразования акселерометра массы",
     "Не задан коэффициент преобразования акселерометра массы"},
    {[](TFrmFile& r) { r.ServoCurrentFactor = -2; },
     "Неверное значение коэффициента преобразования канала измерения тока",
     "Не задан коэффициента преобразования канала измерения тока"},
    {[](TFrmFile& r) { r.TriggerLevel = NoValue; },
     "Неверное значение уровня порога триггерного канала",
     "Не задан уровень порога триггерного канала"},
    {[](TFrmFile& r) { r.SourceVoltageFactor = 100; }, "Неверное значение параметра Voltage",
     "Не задан параметр Voltage"},
    {[](TFrmFile& r) { r.SourceCurrentFactor = 0; }, "Неверное значение параметра Current",
     "Не задан параметр Current"},
    {[](TFrmFile& r) { r.SourceSensorFactor = NoValue; }, "Неверное значение параметра Sensor",
     "Не задан параметр Sensor"},
    {[](TFrmFile& r) { r.TestOut = 0; }, "Неверное значение параметра TestOut",
     "Не задан параметр TestOut"},
    {[](TFrmFile& r) { r.SweepSeconds = 0; }, "Неверное значение временного интервала", nullptr},
};

// With checks k.. failing, each entry point reports check k and nothing
// else; once all pass, both accept.
TEST(ParameterChecksTest, ChecksApplyPerModeInOrderWithTheirTexts) {
  const std::vector<Check> order[] = {
      {HoldDown, Plate, Mass, PlateAcc, MassAcc, Servo, Trigger, Time},
      {Plate, Mass, PlateAcc, MassAcc, Trigger, V, C, S, Time},
      {HoldDown, Trigger, TestOut, Time},
      {HoldDown, Plate, Mass, PlateAcc, MassAcc, Trigger, Time},
      {HoldDown, Trigger, Time}};
  for (int mode = 0; mode <= 4; ++mode) {
    const std::vector<Check>& checks = order[mode];
    for (std::size_t k = 0; k <= checks.size(); ++k) {
      SCOPED_TRACE("mode " + std::to_string(mode) + ", first failing check " + std::to_string(k));
      TFrmFile rec;
      ProcessValues values;
      MakeValid(rec, values, mode);
      for (std::size_t j = k; j < checks.size(); ++j) kChecks[checks[j]].spoil(rec);
      test::FakeUserInteraction validateUi, enteredUi;
      const bool valid = ValidateParameters(rec, values, validateUi);
      const bool entered = CheckParametersEntered(rec, enteredUi);
      const CheckCase* texts = k < checks.size() ? &kChecks[checks[k]] : nullptr;
      EXPECT_EQ(valid, texts == nullptr);
      EXPECT_EQ(validateUi.errors, texts ? Errors{texts->invalid} : Errors{});
      EXPECT_EQ(entered, texts == nullptr || texts->missing == nullptr);
      EXPECT_EQ(enteredUi.errors, texts && texts->missing ? Errors{texts->missing} : Errors{});
    }
  }
}

TEST(ParameterChecksTest, ModeCodeIsCheckedFirst) {
  TFrmFile rec;  // mode 5, nothing entered
  ProcessValues values;
  test::FakeUserInteraction ui;
  EXPECT_FALSE(ValidateParameters(rec, values, ui));
  EXPECT_EQ(ui.errors, Errors{"Неверный код режима"});
}

TEST(ParameterChecksTest, BoundsOfTriggerAndMode1Factors) {
  TFrmFile rec;
  ProcessValues values;
  MakeValid(rec, values, Tarpokline);
  test::FakeUserInteraction ui;
  ASSERT_EQ(rec.HoldDownWeight, -1);  // not a parameter of mode 1
  rec.TriggerLevel = -9.99;
  rec.SourceVoltageFactor = 99.999;
  EXPECT_TRUE(ValidateParameters(rec, values, ui));
  rec.SourceVoltageFactor = 100;
  EXPECT_FALSE(ValidateParameters(rec, values, ui));
  rec.SourceVoltageFactor = 50;
  rec.TriggerLevel = 10;
  EXPECT_FALSE(ValidateParameters(rec, values, ui));
  rec.TriggerLevel = -10;
  EXPECT_FALSE(ValidateParameters(rec, values, ui));
  EXPECT_EQ(ui.errors,
            (Errors{kChecks[V].invalid, kChecks[Trigger].invalid, kChecks[Trigger].invalid}));
}

TEST(ParameterChecksTest, SweepLengthFromSecondsAndSampleRate) {
  struct Case {
    int index, seconds;
    const char* refusal;  // null: accepted with SweepLength = 500 · 2^index · seconds
  };
  const char* tooFew = "Кол-во временных отсчетов не задано или меньше 1000";
  const char* badTime = kChecks[Time].invalid;
  const std::string tooLong = Text(TextId::RecordTooLong);
  for (Case c :
       {Case{0, 2, nullptr}, Case{3, 7, nullptr}, Case{0, 1, tooFew}, Case{-1, 2, badTime},
        Case{5, 2, badTime}, Case{0, 130, nullptr}, Case{0, 131, tooLong.c_str()},
        Case{4, 8, nullptr}, Case{4, 9, tooLong.c_str()}, Case{4, 65535, tooLong.c_str()}}) {
    SCOPED_TRACE(std::to_string(c.index) + "/" + std::to_string(c.seconds));
    TFrmFile rec;
    ProcessValues values;
    MakeValid(rec, values, Velnarund);
    values.SampleRateIndex = c.index;
    rec.SweepSeconds = static_cast<std::uint16_t>(c.seconds);
    rec.SweepLength = 1234;
    test::FakeUserInteraction ui;
    EXPECT_EQ(ValidateParameters(rec, values, ui), c.refusal == nullptr);
    EXPECT_EQ(ui.errors, c.refusal ? Errors{c.refusal} : Errors{});
    // A record beyond 65535 samples never wraps into a short one.
    if (c.refusal == tooLong.c_str()) {
      EXPECT_EQ(rec.SweepLength, 1234);
    } else if (!c.refusal) {
      EXPECT_EQ(rec.SweepLength, (500 << c.index) * c.seconds);
    }
  }
}

// The checks and the reader agree: parameters the checks accept are written
// into a file the reader accepts, and values the file cannot hold (a weight
// beyond the float's reach, a sensitivity that underflows or is infinite, a
// factor that rounds to 100) are refused by both.
TEST(ParameterChecksTest, AcceptedParametersReadBackAndRefusedOnesWouldNot) {
  for (int mode : {Velnarund, Tarpokline, Similarity}) {
    for (void (*change)(TFrmFile&) : std::initializer_list<void (*)(TFrmFile&)>{
             [](TFrmFile&) {},
             [](TFrmFile& r) { r.HoldDownWeight = r.BaseplateWeight = 2147483647; },
             [](TFrmFile& r) { r.ReactionMassWeight = 2000000000; },
             [](TFrmFile& r) { r.MassAccSensitivity = 1e-46; },
             [](TFrmFile& r) { r.BaseplateAccSensitivity = 1e39; },
             [](TFrmFile& r) { r.ServoCurrentFactor = r.TestOut = 1e-46; },
             [](TFrmFile& r) { r.TriggerLevel = 9.9999999999; },
             [](TFrmFile& r) { r.SourceSensorFactor = 99.9999999999; },
             [](TFrmFile& r) { r.TestOut = std::nextafter(0.0, 1.0); }}) {
      TFrmFile rec;
      ProcessValues values;
      MakeValid(rec, values, mode);
      change(rec);
      test::FakeUserInteraction ui;
      const bool accepted = ValidateParameters(rec, values, ui);
      rec.RecordLength = rec.SweepLength;
      for (int slot = 0; slot < ChannelCount(mode); ++slot) {
        rec.Channels[slot] = std::make_unique<SampleArray>();
        rec.Channels[slot]->Samples.assign(rec.RecordLength, 0);
      }
      std::vector<std::uint8_t> file;
      ASSERT_TRUE(WriteRecording(rec, values, true, {2026, 1, 2, 3, 4, 5}, file));
      TFrmFile back;
      ProcessValues backValues;
      EXPECT_EQ(ReadRecordingHeader(back, backValues, file, false, ui) > 0, accepted)
          << "mode " << mode << ": " << (ui.errors.empty() ? "" : ui.errors.back());
    }
  }
}

}  // namespace
}  // namespace kalvex

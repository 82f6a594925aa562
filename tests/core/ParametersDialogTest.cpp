// The acquisition parameters dialog and the "Параметры" command: layout by
// mode, the seconds limit, corrections while typing and on leaving, the model
// rule, what "Да" refuses, and the follow-up with and without reset.

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "acquisition/ParametersCommand.h"
#include "recordings/ProcessValues.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

using F = ParamField;
using C = ParamChoice;

ModelLists Lists() {
  ModelLists l;
  l.Vib = {{"V-1", 13600, 4200, 1800, "", 0}, {"Hidden", 1, 2, 3, "", -1}};
  l.Acc = {{"A", 1.25, 7, "", 0}};
  l.Control = {{"C", 1.5, 2.5, "", 0}};
  l.Source = {{"S", 4000, 1800, 100, 101, 1.5, 2.5, 3.5, "", 0}};
  return l;
}

struct Parameters {
  explicit Parameters(int mode) {
    PrepareStartupRecording(rec);
    rec.Mode = static_cast<std::uint8_t>(mode);
    rec.SweepSeconds = 4;
    rec.HoldDownWeight = 10000;
    rec.ReactionMassWeight = 4000;
    rec.BaseplateWeight = 1500;
    rec.MassAccSensitivity = rec.BaseplateAccSensitivity = 100;
    rec.TriggerLevel = 1;
    rec.TriggerDelay = 0;
    rec.ServoCurrentFactor = 1;
    rec.SourceVoltageFactor = rec.SourceCurrentFactor = rec.SourceSensorFactor = 1;
  }
  ParametersDialog Open() { return ParametersDialog(rec, values, choices, lists); }
  bool Apply(const AcceptedParameters& p) {
    steps.anyWindow = [this] { return windows; };
    steps.anyAccumulating = [] { return false; };
    steps.discardAccumulated = [] {};
    steps.clearAll = [this] { log += "clear;"; };
    steps.adaptRanges = [this] { log += "ranges;"; };
    steps.recompute = [this] { log += "recompute;"; };
    steps.disableRecordMenus = [this] { log += "menus;"; };
    return ApplyParameters(p, {rec, values, choices, block, settings, lists}, ui, steps);
  }

  TFrmFile rec;
  ProcessValues values;
  AcquisitionChoices choices;
  CommandBlock block;
  ProgramSettings settings;
  ModelLists lists = Lists();
  test::FakeUserInteraction ui;
  ParameterWindowSteps steps;
  bool windows = true;
  std::string log;
};

TEST(ParametersDialogTest, EachModeShowsItsGroupsAndRows) {
  struct Case {
    int mode;
    bool rm, acc, servo, channels, source;
    const char* factorLabel;
  } cases[] = {{Velnarund, true, true, true, false, false, "Current:"},
               {Tarpokline, false, false, false, false, true, "Current:"},
               {Similarity, false, false, true, true, false, "TestOut"},
               {Dodida, true, true, false, false, false, "Current:"},
               {Ombrel16, false, false, false, false, false, "Current:"}};
  for (const Case& c : cases) {
    Parameters s(c.mode);
    ParametersDialog d = s.Open();
    SCOPED_TRACE(d.Caption());
    EXPECT_EQ(d.Field(F::HoldDown).visible, !c.source);
    EXPECT_EQ(d.Field(F::ReactionMass).visible, c.rm);
    EXPECT_EQ(d.GroupVisible(ParamGroup::Accelerometers), c.acc);
    EXPECT_EQ(d.GroupVisible(ParamGroup::Servo), c.servo);
    EXPECT_EQ(d.GroupVisible(ParamGroup::Channels), c.channels);
    EXPECT_EQ(d.Field(F::SourceVoltage).visible, c.source);
    EXPECT_EQ(d.Field(F::Factor).label, c.factorLabel);
    EXPECT_EQ(d.Field(F::Seconds).text, "4");
    EXPECT_EQ(d.Field(F::TriggerLevel).text, "1.00");
  }
  EXPECT_EQ(Parameters(Dodida).Open().Caption(), "Parameters [Dodida]");
}

TEST(ParametersDialogTest, SecondsLimitOfTheIntervalAndChannelsNeverPassesTheRecordLength) {
  Parameters s(Velnarund);
  ParametersDialog d = s.Open();
  d.Choose(C::SampleRate, 4);  // 0.125 ms: 4 s at most
  d.Edit(F::Seconds, "10");
  EXPECT_EQ(d.Field(F::Seconds).text, "4");

  Parameters m(Similarity);
  ParametersDialog sim = m.Open();
  sim.Choose(C::SampleRate, 0);
  sim.SwitchChannel(1, true);
  sim.SwitchChannel(2, true);
  sim.Edit(F::Seconds, "200");
  EXPECT_EQ(sim.Field(F::Seconds).text, "128");  // 384 / 1 / 3
  sim.SwitchChannel(2, false);
  sim.Edit(F::Seconds, "192");  // 384 / 1 / 2 would make 96 500 samples
  EXPECT_EQ(sim.Field(F::Seconds).text, "130");
  bool stayOpen = false;
  const auto accepted = sim.Accept(m.ui, stayOpen);
  ASSERT_TRUE(accepted);
  EXPECT_EQ(m.ui.infos, std::vector<std::string>{"Данные были изменены"});
  ASSERT_TRUE(m.Apply(*accepted));
  EXPECT_EQ(m.rec.RecordLength, 130 * 500 + 500);
}

TEST(ParametersDialogTest, RangesAreCorrectedOnLeavingOrWhileTyping) {
  Parameters s(Velnarund);
  ParametersDialog d = s.Open();
  d.Edit(F::TriggerLevel, "12");
  EXPECT_EQ(d.Field(F::TriggerLevel).text, "12");  // not before leaving
  d.Leave(F::TriggerLevel);
  EXPECT_EQ(d.Field(F::TriggerLevel).text, "9.90");
  d.Edit(F::TriggerDelay, "-7,5");
  d.Leave(F::TriggerDelay);
  EXPECT_EQ(d.Field(F::TriggerDelay).text, "-4.95");
  d.Edit(F::TriggerDelay, "abc");
  d.Leave(F::TriggerDelay);
  EXPECT_EQ(d.Field(F::TriggerDelay).text, "abc");  // not a number: left alone

  Parameters t(Tarpokline);
  ParametersDialog src = t.Open();
  src.Edit(F::SourceVoltage, "0");
  EXPECT_EQ(src.Field(F::SourceVoltage).text, "0.01");
  src.Edit(F::SourceRM, "123456");
  EXPECT_EQ(src.Field(F::SourceRM).text, "99999");
  // The last check found its value in range: no message on "Да".
  src.Edit(F::SourceAccRM, "5");
  bool stayOpen = false;
  ASSERT_TRUE(src.Accept(t.ui, stayOpen));
  EXPECT_TRUE(t.ui.infos.empty());
}

TEST(ParametersDialogTest, ModelRuleFillsAndLocksOrClearsAndUnlocks) {
  Parameters s(Velnarund);
  s.choices.AccModelIndex = 1;
  ParametersDialog d = s.Open();
  // On opening the recording's own values replace the model's; the lock stays.
  EXPECT_EQ(d.Field(F::MassAcc).text, "100.00");
  EXPECT_TRUE(d.Field(F::MassAcc).readOnly);
  d.Choose(C::VibModel, 1);
  EXPECT_EQ(d.Field(F::HoldDown).text, "13600");
  EXPECT_EQ(d.Field(F::Baseplate).text, "1800");
  EXPECT_TRUE(d.Field(F::ReactionMass).readOnly);
  d.Edit(F::HoldDown, "1");
  EXPECT_EQ(d.Field(F::HoldDown).text, "13600");  // locked
  d.Choose(C::VibModel, 2);                       // a negative number locks without filling
  EXPECT_EQ(d.Field(F::HoldDown).text, "13600");
  EXPECT_TRUE(d.Field(F::HoldDown).readOnly);
  d.Choose(C::VibModel, 0);
  EXPECT_FALSE(d.Field(F::HoldDown).readOnly);
  d.Choose(C::AccModel, 1);
  EXPECT_EQ(d.Field(F::BaseplateAcc).text, "1.25");
  d.Choose(C::ControlModel, 1);
  EXPECT_EQ(d.Field(F::Factor).text, "1.5");  // mode 0: the current factor

  Parameters m(Similarity);
  ParametersDialog sim = m.Open();
  sim.Choose(C::ControlModel, 1);
  EXPECT_EQ(sim.Field(F::Factor).text, "2.5");  // mode 2: the test output

  // A stored index one past the list (a list shortened since) is no model.
  Parameters shortened(Velnarund);
  shortened.choices.VibModelIndex = static_cast<int>(d.List(C::VibModel).items.size());
  ParametersDialog none = shortened.Open();
  EXPECT_EQ(none.List(C::VibModel).index, 0);
  EXPECT_FALSE(none.Field(F::HoldDown).readOnly);
}

TEST(ParametersDialogTest, EmptyRequiredFieldKeepsTheDialogOpenAndBadTextCancels) {
  Parameters s(Dodida);
  ParametersDialog d = s.Open();
  d.Edit(F::BaseplateAcc, " ");
  bool stayOpen = false;
  EXPECT_FALSE(d.Accept(s.ui, stayOpen));
  EXPECT_TRUE(stayOpen);
  EXPECT_EQ(s.ui.errors, std::vector<std::string>{"Данные не заданы"});
  d.Edit(F::BaseplateAcc, "-");
  EXPECT_FALSE(d.Accept(s.ui, stayOpen));
  EXPECT_FALSE(stayOpen);  // closed, but counts as cancelled
}

TEST(ParametersDialogTest, ResetQuestionNoLeavesEverythingAndYesResets) {
  Parameters s(Velnarund);
  ParametersDialog d = s.Open();
  d.Edit(F::Seconds, "8");
  d.Choose(C::AccModel, 1);
  d.Edit(F::MassAcc, "5");
  bool stayOpen = false;
  const auto accepted = d.Accept(s.ui, stayOpen);
  ASSERT_TRUE(accepted);
  EXPECT_TRUE(accepted->Reset);
  s.ui.answers = {false};
  EXPECT_FALSE(s.Apply(*accepted));
  EXPECT_EQ(s.rec.SweepSeconds, 4);
  EXPECT_EQ(s.choices.AccModelIndex, 0);
  EXPECT_FALSE(s.block.ParametersSet());
  EXPECT_EQ(s.log, "");

  s.ui.answers = {true};
  EXPECT_TRUE(s.Apply(*accepted));
  EXPECT_EQ(s.ui.questions.back(),
            "Принятие изменений параметров приведет к сбросу графиков. Продолжить?");
  EXPECT_EQ(s.rec.SweepSeconds, 8);
  EXPECT_EQ(s.rec.SweepLength, 4000);
  EXPECT_EQ(s.rec.RecordLength, 4500);
  EXPECT_EQ(s.choices.AccDelayCode, 7);  // reaches the command block
  EXPECT_TRUE(s.block.ParametersSet());
  EXPECT_EQ(s.log, "ranges;clear;menus;");
}

// Whatever the mode, the follow-up stores every accepted value; the
// similarity channels only in Similarity, the source's voltage and sensor
// factors only in Tarpokline.
TEST(ParametersDialogTest, TheFollowUpStoresEveryAcceptedValueInEveryMode) {
  for (int mode : {Velnarund, Tarpokline, Similarity, Dodida, Ombrel16}) {
    SCOPED_TRACE(mode);
    Parameters s(mode);
    AcceptedParameters p;
    p.TriggerChannelIndex = 2, p.TriggerEdgeIndex = 1, p.SampleRateIndex = 1;
    p.VibModelIndex = p.AccModelIndex = p.ControlModelIndex = p.SourceModelIndex = 1;
    p.SweepSeconds = 3, p.HoldDownWeight = 11, p.ReactionMassWeight = 12, p.BaseplateWeight = 13;
    p.MassAccSensitivity = 14, p.BaseplateAccSensitivity = 15, p.TriggerLevel = 16;
    p.TriggerDelay = 17, p.ServoCurrentFactor = 18, p.TestOut = 19;
    p.SourceVoltageFactor = 20, p.SourceCurrentFactor = 21, p.SourceSensorFactor = 22;
    p.SimilarityChannels[1] = {true, true, "V9"};
    ASSERT_TRUE(s.Apply(p));
    const TFrmFile& r = s.rec;
    const AcquisitionChoices& c = s.choices;
    EXPECT_EQ(std::tuple(c.TriggerChannelIndex, c.TriggerEdgeIndex, s.values.SampleRateIndex),
              std::tuple(2, 1, 1));
    EXPECT_EQ(std::tuple(c.VibModelIndex, c.AccModelIndex, c.ControlModelIndex,
                         c.SourceModelIndex, c.AccDelayCode),
              std::tuple(1, 1, 1, 1, 7));
    EXPECT_EQ(std::tuple(r.SweepSeconds, r.HoldDownWeight, r.ReactionMassWeight, r.BaseplateWeight),
              std::tuple(3, 11, 12, 13));
    EXPECT_EQ(std::tuple(r.MassAccSensitivity, r.BaseplateAccSensitivity, r.TriggerLevel,
                         r.TriggerDelay, r.ServoCurrentFactor, r.TestOut, r.SourceCurrentFactor),
              std::tuple(14.0, 15.0, 16.0, 17.0, 18.0, 19.0, 21.0));
    EXPECT_EQ(std::pair(r.SourceVoltageFactor, r.SourceSensorFactor),
              mode == Tarpokline ? std::pair(20.0, 22.0) : std::pair(1.0, 1.0));
    EXPECT_EQ(r.SimilarityChannels[1].Name == "V9", mode == Similarity);
  }
}

TEST(ParametersDialogTest, PolarityAloneNegatesTheSamplesWithoutReset) {
  Parameters s(Dodida);
  s.rec.SampleRate = 500;
  s.rec.SweepLength = 2000;
  s.rec.RecordLength = 2500;
  for (int slot = 0; slot < 3; ++slot) {
    s.rec.Channels[slot] = std::make_unique<SampleArray>();
    s.rec.Channels[slot]->Samples.assign(2500, 100);
  }
  // Regression: levels as a file stores them (32-bit floats) differ from
  // what the fields show, and the untouched fields asked for a reset.
  s.rec.TriggerLevel = 1.1f;
  s.rec.TriggerDelay = -0.3f;
  ParametersDialog d = s.Open();
  d.Choose(C::Polarity, 1);
  bool stayOpen = false;
  const auto accepted = d.Accept(s.ui, stayOpen);
  ASSERT_TRUE(accepted);
  EXPECT_FALSE(accepted->Reset);
  ASSERT_TRUE(s.Apply(*accepted));
  EXPECT_TRUE(s.ui.questions.empty());
  EXPECT_FALSE(s.rec.PolarityPositive);
  EXPECT_EQ(s.rec.Channels[0]->Samples[10], 100);  // REF stays
  EXPECT_EQ(s.rec.Channels[1]->Samples[10], -100);
  EXPECT_EQ(s.rec.Channels[2]->Samples[2400], 100);  // beyond the sweep
  EXPECT_TRUE(s.rec.Modified);
  EXPECT_EQ(s.log, "recompute;");
}

TEST(ParametersDialogTest, ChannelTableKeepsSwitchedOffNamesAndResets) {
  Parameters s(Similarity);
  s.rec.SimilarityChannels[3] = {false, true, "OLD"};
  ParametersDialog d = s.Open();
  d.SwitchChannel(1, true);
  d.SetChannelName(1, "Вибратор12");
  d.SetChannelX8(1, true);
  d.SetChannelName(3, "NEW");  // switched off: not editable
  d.SetChannelX8(0, true);
  d.OpeningTriggerList();
  EXPECT_EQ(d.List(C::TriggerChannel).items, (std::vector<std::string>{"REF", "Вибратор12"}));
  bool stayOpen = false;
  const auto p = d.Accept(s.ui, stayOpen);
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->Reset);
  EXPECT_EQ(p->SimilarityChannels[0].Name, "REF");
  EXPECT_TRUE(p->SimilarityChannels[0].Attenuated);
  EXPECT_EQ(p->SimilarityChannels[1].Name, "Вибратор");  // eight characters
  EXPECT_TRUE(p->SimilarityChannels[1].Attenuated);
  EXPECT_EQ(p->SimilarityChannels[3].Name, "OLD");
  EXPECT_TRUE(p->SimilarityChannels[3].Attenuated);
}

}  // namespace
}  // namespace kalvex

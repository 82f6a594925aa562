// The two settings dialogs without widgets: what they show, the calibration
// range and its error box, what "Да" writes (in which order, and what a
// failing write leaves), when the dialog counts as not accepted, and what the
// program recomputes once the special settings are accepted.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/FrameAnalyser.h"
#include "graphs/SpecialSettingsFollowUp.h"
#include "recordings/DerivedValues.h"
#include "shell/DecimalText.h"
#include "shell/GeneralSettingsDialog.h"
#include "shell/MemorySettingsStore.h"
#include "shell/ProgramSettings.h"
#include "shell/SettingsWindowSteps.h"
#include "shell/SpecialSettingsDialog.h"
#include "shell/TextCatalogue.h"
#include "support/FakeUserInteraction.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

const std::string kOutOfRange = "Значение калибровочных коэффициентов в диапазлне 0.9000 - 1.1000";

// A store that remembers the order of the writes it was asked for, failed
// ones included.
class LoggingStore : public MemorySettingsStore {
 public:
  bool Write(std::string_view name, std::string_view text) override {
    writes.push_back(std::string(name) + "=" + std::string(text));
    return MemorySettingsStore::Write(name, text);
  }
  std::string Value(std::string_view name) const { return Read(name).text; }
  std::vector<std::string> writes;
};

// ---------------------------------------------------------------- numbers

TEST(DecimalTextTest, ReadsThePointFormOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.05", true, 1.05},  {"-.5", true, -0.5}, {"+1.5", true, 1.5}, {"1.", true, 1.0},
      {"1e-3", true, 0.001}, {"", false, 0},      {".", false, 0},     {"1,05", false, 0},
      {" 1", false, 0},      {"1 ", false, 0},    {"+-1", false, 0},   {"1..0", false, 0},
      {"inf", false, 0},     {"nan", false, 0},   {"0x1", false, 0},   {"1e999", false, 0},
      {"1e", false, 0},      {"abc", false, 0},
  };
  for (const Case& c : cases) {
    double value = -7;
    EXPECT_EQ(ParseDecimalText(c.text, value), c.ok) << c.text;
    EXPECT_DOUBLE_EQ(value, c.ok ? c.value : -7) << c.text;
  }
}

// ------------------------------------------------------ special: coefficients

TEST(SpecialSettingsDialogTest, CalibrationRangeExcludesBothBounds) {
  for (const char* text : {"0.9", "1.1", "0.9000", "1.1000", "1.0", "0.89991", "1.10009"})
    EXPECT_TRUE(SpecialSettingsDialog::CalibrationAccepted(text)) << text;
  for (const char* text : {"0.8999", "1.1001", "0.8998", "1.2", "0", "-1", "", "abc", ".", "1,0"})
    EXPECT_FALSE(SpecialSettingsDialog::CalibrationAccepted(text)) << text;
}

TEST(SpecialSettingsDialogTest, ShowsTheRecordWithFourDecimals) {
  ProgramSettings settings;
  settings.Timeout1 = 0;
  settings.Timeout2 = 45;
  settings.AmplitudeFrame = 1024;
  settings.AmplitudeStep = 50;
  settings.InputSize = FundamentalInputSize::WholeSignal;
  settings.ChannelCalibration = {1.0, 0.95, 1.05, 1.0999, 0.90004, 1.1};
  const SpecialSettingsDialog dialog(settings);
  EXPECT_EQ(dialog.Timeout1, "0");
  EXPECT_EQ(dialog.Timeout2, "45");
  EXPECT_EQ(dialog.AmplitudeFrame, "1024");
  EXPECT_EQ(dialog.AmplitudeStep, "50");
  EXPECT_EQ(dialog.InputSize, FundamentalInputSize::WholeSignal);
  const std::array<std::string, 6> shown{"1.0000", "0.9500", "1.0500",
                                         "1.0999", "0.9000", "1.1000"};
  EXPECT_EQ(dialog.ChannelCalibration, shown);
}

TEST(SpecialSettingsDialogTest, LeavingTheFirstChannelChecksOnlyIt) {
  SpecialSettingsDialog dialog{ProgramSettings{}};
  test::FakeUserInteraction ui;
  dialog.ChannelCalibration[1] = "2";  // not checked on leaving channel 1
  EXPECT_TRUE(dialog.LeaveFirstChannel(ui));
  EXPECT_TRUE(ui.errors.empty());

  for (const char* text : {"0.8999", "", "."}) {
    ui.Clear();
    dialog.ChannelCalibration[0] = text;
    EXPECT_FALSE(dialog.LeaveFirstChannel(ui)) << text;
    EXPECT_EQ(ui.errors, std::vector<std::string>{kOutOfRange}) << text;
  }
}

TEST(SpecialSettingsDialogTest, YesStopsAtTheFirstRefusedChannelWithOneBox) {
  SpecialSettingsDialog dialog{ProgramSettings{}};
  test::FakeUserInteraction ui;
  EXPECT_EQ(dialog.RefusedChannelOnYes(ui), std::nullopt);
  EXPECT_TRUE(ui.errors.empty());

  dialog.ChannelCalibration[2] = "1.1001";
  dialog.ChannelCalibration[4] = "";
  EXPECT_EQ(dialog.RefusedChannelOnYes(ui), 2);
  EXPECT_EQ(ui.errors, std::vector<std::string>{kOutOfRange});

  ui.Clear();
  dialog.ChannelCalibration[2] = "1.1";
  EXPECT_EQ(dialog.RefusedChannelOnYes(ui), 4);
  EXPECT_EQ(ui.errors.size(), 1u);
}

// ------------------------------------------------------- special: acceptance

class SpecialAcceptTest : public ::testing::Test {
 protected:
  SpecialSettingsDialog dialog{ProgramSettings{}};
  LoggingStore store;
};

TEST_F(SpecialAcceptTest, ConvertsAndWritesTheFourValuesInOrder) {
  dialog.Timeout1 = "0";
  dialog.Timeout2 = "120";
  dialog.AmplitudeFrame = "256";
  dialog.AmplitudeStep = "50";
  dialog.InputSize = FundamentalInputSize::Fixed32768;
  dialog.ChannelCalibration = {"1.05", "0.9", "1.1", "1.0", "0.95", "1.0001"};
  const std::optional<SpecialSettings> s = dialog.Accept(store);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Timeout1, 0);
  EXPECT_EQ(s->Timeout2, 120);
  EXPECT_EQ(s->AmplitudeFrame, 256);
  EXPECT_EQ(s->AmplitudeStep, 50);
  EXPECT_EQ(s->InputSize, FundamentalInputSize::Fixed32768);
  const std::array<double, 6> coefficients{1.05, 0.9, 1.1, 1.0, 0.95, 1.0001};
  EXPECT_EQ(s->ChannelCalibration, coefficients);
  const std::vector<std::string> writes{"AmplitudeFrame=256", "AmplitudeStep=50", "TimeOut1=0",
                                        "TimeOut2=120"};
  EXPECT_EQ(store.writes, writes);

  // The next start reads them back under the reader's spelling.
  ProgramSettings next;
  LoadSettings(next, store);
  EXPECT_EQ(next.Timeout1, 0);
  EXPECT_EQ(next.Timeout2, 120);
  EXPECT_EQ(next.AmplitudeFrame, 256);
  EXPECT_EQ(next.AmplitudeStep, 50);
}

TEST_F(SpecialAcceptTest, UnparsableTimeOutsBecomeZero) {
  dialog.Timeout1 = "";
  dialog.Timeout2 = "99999999999";
  const std::optional<SpecialSettings> s = dialog.Accept(store);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Timeout1, 0);
  EXPECT_EQ(s->Timeout2, 0);
  EXPECT_EQ(store.Value("Timeout1"), "0");
  EXPECT_EQ(store.Value("Timeout2"), "0");
}

TEST_F(SpecialAcceptTest, FrameOrStepThatIsNoPositiveIntegerWritesNothing) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "100"}, {"512", "abc"}, {"512", "0"}, {"0", "100"}, {"512", "-100"}, {"5x", "100"}};
  for (const auto& [frame, step] : refused) {
    dialog.AmplitudeFrame = frame;
    dialog.AmplitudeStep = step;
    EXPECT_FALSE(dialog.Accept(store)) << frame << " / " << step;
  }
  EXPECT_TRUE(store.writes.empty());
  EXPECT_FALSE(store.KeyExists());
}

TEST_F(SpecialAcceptTest, CoefficientOutOfRangeIsNeverAccepted) {
  dialog.ChannelCalibration[5] = "1.1001";
  EXPECT_FALSE(dialog.Accept(store));
  EXPECT_TRUE(store.writes.empty());
}

TEST_F(SpecialAcceptTest, FailingWriteSkipsOnlyItsValue) {
  dialog.AmplitudeFrame = "300";
  dialog.AmplitudeStep = "30";
  dialog.Timeout1 = "7";
  store.FailWritesOf("AmplitudeStep");
  const std::optional<SpecialSettings> s = dialog.Accept(store);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->AmplitudeStep, 30);  // still accepted
  EXPECT_EQ(store.writes.size(), 4u);
  EXPECT_EQ(store.Value("AmplitudeFrame"), "300");
  EXPECT_EQ(store.Read("AmplitudeStep").state, StoredValue::State::Missing);
  EXPECT_EQ(store.Value("Timeout1"), "7");
  EXPECT_EQ(store.Value("Timeout2"), "60");
}

// ------------------------------------------------------- special: follow-up

// A mode 0 recording of 2000 sweep samples at 1000 Hz: a tone on the
// reference, a constant on the reaction-mass channel (slot 4) so that the
// ground force is easy to predict.
class ApplySpecialTest : public ::testing::Test {
 protected:
  ApplySpecialTest() {
    r.Set(0, test::Tone(10000, 100, 2048));
    r.Set(4, [](int) { return 1000.0; });
    ComputeDerivedChannel(r.rec, r.settings);
    steps.resetWindowData = [this] {
      log.push_back(r.rec.FrameAnalyses[0] ? "reset (table still there)" : "reset");
    };
    steps.redrawAll = [this] { log.push_back("redraw"); };
    recompute = [this](TFrmFile& rec, const ProgramSettings& s, const ProcessValues& v) {
      log.push_back("recompute frame " + std::to_string(s.AmplitudeFrame) + " k4 " +
                    std::to_string(s.ChannelCalibration[3]).substr(0, 4));
      RecomputeDerivedValues(rec, s, v);
    };
  }

  void Apply(const SpecialSettings& accepted, bool watched = true) {
    ApplySpecialSettings(accepted, r.settings, r.rec, r.values, steps,
                         watched ? recompute : DerivedValuesRecompute{});
  }

  test::LinkedFftw fftw;
  test::SignalRecording r{Velnarund, 1000, 2000};
  SettingsWindowSteps steps;
  DerivedValuesRecompute recompute;
  std::vector<std::string> log;
};

TEST_F(ApplySpecialTest, OnlyATimeOutChangedSkipsTheFirstRecomputation) {
  SpecialSettings accepted = SpecialSettings::Of(r.settings);
  accepted.Timeout1 = 0;
  accepted.Timeout2 = 30;
  Apply(accepted);
  const std::vector<std::string> expected{"recompute frame 512 k4 1.00", "reset", "redraw"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(r.settings.Timeout1, 0);
  EXPECT_EQ(r.settings.Timeout2, 30);
}

TEST_F(ApplySpecialTest, NewFrameAndStepRecomputeWithOldThenNewAndAnalyseAgain) {
  AnalysisContext ctx = r.Context();
  // Tables made with the old frame and step.
  for (int channel : {0, 1}) ASSERT_GT(AnalyseFrames(ctx, 0, channel, 0, 2, FrameCount(ctx)), 0);
  SpecialSettings accepted = SpecialSettings::Of(r.settings);
  accepted.AmplitudeFrame = 256;
  accepted.AmplitudeStep = 40;
  Apply(accepted);

  const std::vector<std::string> expected{"recompute frame 512 k4 1.00",
                                          "recompute frame 256 k4 1.00", "reset", "redraw"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(r.settings.AmplitudeFrame, 256);
  EXPECT_EQ(r.settings.AmplitudeStep, 40);
  EXPECT_FALSE(r.rec.FrameAnalyses[1]);  // dropped before the windows were reset
  ASSERT_TRUE(r.rec.FrameAnalyses[0]);
  EXPECT_EQ(r.rec.FrameAnalyses[0]->FrameCount, 2000 / 40);
  // The tone lies on bin 100 of 2048 points: the fresh table finds it.
  EXPECT_EQ(r.rec.FrameAnalyses[0]->Array(0)[25], 100);
}

TEST_F(ApplySpecialTest, EachAnalysisSettingCountsAsAChange) {
  SpecialSettings input = SpecialSettings::Of(r.settings);
  input.InputSize = FundamentalInputSize::WholeSignal;
  Apply(input);
  SpecialSettings coefficient = SpecialSettings::Of(r.settings);
  coefficient.ChannelCalibration[5] = 1.01;
  Apply(coefficient);
  int recomputations = 0;
  for (const std::string& line : log) recomputations += line.rfind("recompute", 0) == 0;
  EXPECT_EQ(recomputations, 4);
  EXPECT_EQ(r.settings.InputSize, FundamentalInputSize::WholeSignal);
  EXPECT_EQ(r.settings.ChannelCalibration[5], 1.01);
}

TEST_F(ApplySpecialTest, GroundForceFollowsTheNewCoefficient) {
  const double before = r.rec.DerivedChannel->Values[10];
  ASSERT_NE(before, 0);
  SpecialSettings accepted = SpecialSettings::Of(r.settings);
  accepted.ChannelCalibration[3] = 1.05;  // "Канал 4:", the reaction-mass term
  Apply(accepted, /*watched=*/false);
  EXPECT_DOUBLE_EQ(r.rec.DerivedChannel->Values[10], before * 1.05);
}

TEST_F(ApplySpecialTest, RecordingWithoutDataIsOnlyRecomputed) {
  r.rec.FreeChannels();
  SpecialSettings accepted = SpecialSettings::Of(r.settings);
  accepted.AmplitudeStep = 50;
  Apply(accepted);
  const std::vector<std::string> expected{"recompute frame 512 k4 1.00",
                                          "recompute frame 512 k4 1.00"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(r.settings.AmplitudeStep, 50);
  EXPECT_FALSE(r.rec.FrameAnalyses[0]);
}

// --------------------------------------------------------------- general

TEST(GeneralSettingsDialogTest, LanguageIsPreselectedFromTheStoredValue) {
  const ProgramSettings settings;
  MemorySettingsStore missingKey;
  EXPECT_EQ(GeneralSettingsDialog(settings, missingKey).Language, InterfaceLanguage::Russian);

  MemorySettingsStore store;
  store.Write("minSpectrum", "-40");  // the key exists, "Language" does not
  EXPECT_EQ(GeneralSettingsDialog(settings, store).Language, InterfaceLanguage::Russian);
  const std::pair<const char*, InterfaceLanguage> cases[] = {
      {"ENU", InterfaceLanguage::English}, {"RUS", InterfaceLanguage::Russian},
      {"rus", InterfaceLanguage::Russian}, {"enu", InterfaceLanguage::Russian},
      {"DEU", InterfaceLanguage::Russian}, {"", InterfaceLanguage::Russian}};
  for (const auto& [stored, expected] : cases) {
    store.Write("language", stored);  // names match without regard to case
    EXPECT_EQ(GeneralSettingsDialog(settings, store).Language, expected) << stored;
  }
  store.PutNonText("Language");
  EXPECT_EQ(GeneralSettingsDialog(settings, store).Language, InterfaceLanguage::Russian);
}

class GeneralAcceptTest : public ::testing::Test {
 protected:
  GeneralAcceptTest() {
    steps.redrawAll = [this] {
      redraws.push_back(std::to_string(settings.MinSpectrum) + " " +
                        std::to_string(settings.MinCorrelation) + " " +
                        (settings.NoSaveConfirmation ? "N" : "Y"));
    };
  }
  ProgramSettings settings;
  LoggingStore store;
  SettingsWindowSteps steps;
  std::vector<std::string> redraws;  // the record as each redraw saw it
};

TEST_F(GeneralAcceptTest, WritesFourValuesThenUpdatesTheRecordAndRedraws) {
  GeneralSettingsDialog dialog(settings, store);
  dialog.MinSpectrum = "-60";
  dialog.MinCorrelation = "+5";
  dialog.NoSaveConfirmation = false;
  dialog.Language = InterfaceLanguage::English;
  ASSERT_TRUE(dialog.Accept(settings, store, steps));
  const std::vector<std::string> writes{"Language=ENU", "minSpectrum=-60", "minCorrelation=5",
                                        "Confirm=Y"};
  EXPECT_EQ(store.writes, writes);
  EXPECT_EQ(redraws, std::vector<std::string>{"-60 5 Y"});
  EXPECT_EQ(settings.Language, "RUS");  // only from the next start

  dialog.NoSaveConfirmation = true;
  dialog.Language = InterfaceLanguage::Russian;
  ASSERT_TRUE(dialog.Accept(settings, store, steps));
  EXPECT_EQ(store.Value("Language"), "RUS");
  EXPECT_EQ(store.Value("Confirm"), "N");
  EXPECT_TRUE(settings.NoSaveConfirmation);

  // Read back at the next start.
  ProgramSettings next;
  LoadSettings(next, store);
  EXPECT_EQ(next.MinSpectrum, -60);
  EXPECT_EQ(next.MinCorrelation, 5);
  EXPECT_TRUE(next.NoSaveConfirmation);
}

TEST_F(GeneralAcceptTest, FloorThatIsNoIntegerChangesNothing) {
  const std::pair<const char*, const char*> refused[] = {
      {"", "-90"}, {"-", "-90"}, {"-40", "abc"}, {"-40", "99999999999"}, {"1.5", "-90"}};
  for (const auto& [spectrum, correlation] : refused) {
    GeneralSettingsDialog dialog(settings, store);
    dialog.MinSpectrum = spectrum;
    dialog.MinCorrelation = correlation;
    dialog.NoSaveConfirmation = false;
    dialog.Language = InterfaceLanguage::English;
    EXPECT_FALSE(dialog.Accept(settings, store, steps)) << spectrum << " / " << correlation;
  }
  EXPECT_TRUE(store.writes.empty());
  EXPECT_TRUE(redraws.empty());
  EXPECT_EQ(settings.MinSpectrum, -40);
  EXPECT_TRUE(settings.NoSaveConfirmation);
}

TEST_F(GeneralAcceptTest, FailingWriteSkipsOnlyItsValue) {
  store.FailWritesOf("minSpectrum");
  GeneralSettingsDialog dialog(settings, store);
  dialog.MinSpectrum = "-70";
  dialog.MinCorrelation = "-80";
  ASSERT_TRUE(dialog.Accept(settings, store, steps));
  EXPECT_EQ(store.writes.size(), 4u);
  EXPECT_EQ(store.Read("minSpectrum").state, StoredValue::State::Missing);
  EXPECT_EQ(store.Value("minCorrelation"), "-80");
  EXPECT_EQ(store.Value("Confirm"), "N");
  EXPECT_EQ(settings.MinSpectrum, -70);  // the record still takes it
  EXPECT_EQ(redraws.size(), 1u);
}

}  // namespace
}  // namespace kalvex

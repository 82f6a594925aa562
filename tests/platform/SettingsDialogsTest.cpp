// The two settings dialogs as an operator uses them: fields typed with real
// key presses through the numeric field's filter, the buttons pressed, and
// what reaches the settings store (an INI file through the Qt adapter) and
// the record.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/QtSettingsStore.h"
#include "platform/TEditDig.h"
#include "platform/TFSet.h"
#include "platform/TFSpecSet.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

const std::string kOutOfRange = "Значение калибровочных коэффициентов в диапазлне 0.9000 - 1.1000";

class SettingsDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  template <typename T = TEditDig>
  static T& Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return *child;
  }
  static void Retype(QWidget& dialog, const char* field, const char* keys) {
    TEditDig& edit = Child(dialog, field);
    edit.clear();
    QTest::keyClicks(&edit, keys);
  }
  static QString TextOf(QWidget& dialog, const char* field) { return Child(dialog, field).text(); }
  static void Press(QWidget& dialog, const char* button) {
    Child<QPushButton>(dialog, button).click();
  }
  std::string Stored(const char* name) const { return store.Read(name).text; }

  // Presses `button` of the modal dialog that `run` opens.
  template <typename Run>
  static auto WithModal(const char* button, Run run) {
    QTimer::singleShot(0, [button] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      Press(*modal, button);
    });
    return run();
  }

  QTemporaryDir dir;
  QtSettingsStore store{dir.filePath("Kalvex.conf")};
  ProgramSettings settings;
  test::FakeUserInteraction ui;
};

// ------------------------------------------------------------- "Настройки"

TEST_F(SettingsDialogsTest, GeneralShowsTheRecordAndTheStoredLanguage) {
  store.Write("Language", "ENU");
  settings.MinSpectrum = -55;
  settings.NoSaveConfirmation = false;
  TFSet dialog(settings, store, ui, {});
  EXPECT_EQ(dialog.windowTitle(), "Настройки");
  EXPECT_EQ(TextOf(dialog, "MinSpectrum"), "-55");
  EXPECT_EQ(TextOf(dialog, "MinCorrelation"), "-90");
  EXPECT_FALSE(Child<QCheckBox>(dialog, "NoSaveConfirmation").isChecked());
  QComboBox& language = Child<QComboBox>(dialog, "Language");
  ASSERT_EQ(language.count(), 2);
  EXPECT_EQ(language.itemText(0), "Русский");
  EXPECT_EQ(language.currentText(), "Английский");
}

TEST_F(SettingsDialogsTest, GeneralYesWritesTheStoreAndTheRecord) {
  int redraws = 0;
  TFSet dialog(settings, store, ui, {.resetWindowData = {}, .redrawAll = [&] { ++redraws; }});
  dialog.show();
  Retype(dialog, "MinSpectrum", "0-60");  // no leading zero; a sign is fine
  Retype(dialog, "MinCorrelation", "-1a00");
  EXPECT_EQ(TextOf(dialog, "MinSpectrum"), "-60");
  Child<QCheckBox>(dialog, "NoSaveConfirmation").setChecked(false);
  Child<QComboBox>(dialog, "Language").setCurrentIndex(1);
  Press(dialog, "Yes");

  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(dialog.Accepted());
  EXPECT_EQ(settings.MinSpectrum, -60);
  EXPECT_EQ(settings.MinCorrelation, -100);
  EXPECT_FALSE(settings.NoSaveConfirmation);
  EXPECT_EQ(settings.Language, "RUS");
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(Stored("minSpectrum"), "-60");
  EXPECT_EQ(Stored("minCorrelation"), "-100");
  EXPECT_EQ(Stored("Confirm"), "Y");
  EXPECT_EQ(Stored("Language"), "ENU");
}

TEST_F(SettingsDialogsTest, GeneralWithAnEmptyFloorOrCancelChangesNothing) {
  {
    TFSet dialog(settings, store, ui, {});
    Retype(dialog, "MinSpectrum", "-");
    Press(dialog, "Yes");
    EXPECT_FALSE(dialog.Accepted());
  }
  {
    TFSet dialog(settings, store, ui, {});
    Retype(dialog, "MinSpectrum", "-10");
    Press(dialog, "Cancel");
    EXPECT_FALSE(dialog.Accepted());
  }
  EXPECT_FALSE(store.KeyExists());
  EXPECT_EQ(settings.MinSpectrum, -40);
}

TEST_F(SettingsDialogsTest, GeneralEntryRunsModallyAndHelpShowsItsTopic) {
  TFSet dialog(settings, store, ui, {});
  Press(dialog, "Help");
  EXPECT_EQ(ui.helpTopics, std::vector<int>{140});

  EXPECT_TRUE(
      WithModal("Yes", [&] { return EditGeneralSettings(nullptr, settings, store, ui, {}); }));
  EXPECT_EQ(Stored("Confirm"), "N");
  EXPECT_FALSE(
      WithModal("Cancel", [&] { return EditGeneralSettings(nullptr, settings, store, ui, {}); }));
}

// ---------------------------------------------------- "Специальные настройки"

TEST_F(SettingsDialogsTest, SpecialShowsTheRecordAndFollowsTheEntryRules) {
  settings.InputSize = FundamentalInputSize::Fixed32768;
  settings.ChannelCalibration[2] = 1.05;
  TFSpecSet dialog(settings, store, ui);
  EXPECT_EQ(dialog.windowTitle(), "Специальные настройки");
  EXPECT_EQ(TextOf(dialog, "Channel3"), "1.0500");
  EXPECT_TRUE(Child<QRadioButton>(dialog, "InputSize1").isChecked());

  Retype(dialog, "Timeout1", "0");  // a time-out may be 0
  Retype(dialog, "AmplitudeFrame", "0-256");
  Retype(dialog, "Channel1", "-1,05,5");  // no sign; one separator
  Retype(dialog, "Channel2", "0.987654");
  EXPECT_EQ(TextOf(dialog, "Timeout1"), "0");
  EXPECT_EQ(TextOf(dialog, "AmplitudeFrame"), "256");
  EXPECT_EQ(TextOf(dialog, "Channel1"), "1.055");
  EXPECT_EQ(TextOf(dialog, "Channel2"), "0.9876");  // six characters at most
}

TEST_F(SettingsDialogsTest, LeavingTheFirstChannelOutOfRangeShowsTheBox) {
  TFSpecSet dialog(settings, store, ui);
  TEditDig& first = Child(dialog, "Channel1");
  auto leave = [&first](Qt::FocusReason reason) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(&first, &out);
  };
  leave(Qt::TabFocusReason);
  EXPECT_TRUE(ui.errors.empty());

  Retype(dialog, "Channel1", "0.8999");
  leave(Qt::TabFocusReason);
  EXPECT_EQ(ui.errors, std::vector<std::string>{kOutOfRange});
  // A message box or another window taking the focus is no leaving.
  leave(Qt::ActiveWindowFocusReason);
  leave(Qt::PopupFocusReason);
  EXPECT_EQ(ui.errors.size(), 1u);
  // The other channels are not checked on leaving.
  Retype(dialog, "Channel1", "1.1");
  Retype(dialog, "Channel2", "2");
  leave(Qt::MouseFocusReason);
  EXPECT_EQ(ui.errors.size(), 1u);
}

TEST_F(SettingsDialogsTest, SpecialYesRefusedKeepsTheDialogOpenWithOneBox) {
  TFSpecSet dialog(settings, store, ui);
  dialog.show();
  Retype(dialog, "Channel3", "1.1001");
  Retype(dialog, "Channel5", "");
  Press(dialog, "Yes");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.errors, std::vector<std::string>{kOutOfRange});
  EXPECT_FALSE(dialog.Result());
  EXPECT_FALSE(store.KeyExists());

  Retype(dialog, "Channel3", "1.1");
  Retype(dialog, "Channel5", "0.9");
  Retype(dialog, "Timeout2", "");
  Retype(dialog, "AmplitudeStep", "50");
  Child<QRadioButton>(dialog, "InputSize2").setChecked(true);
  Press(dialog, "Yes");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(ui.errors.size(), 1u);
  ASSERT_TRUE(dialog.Result());
  const SpecialSettings& s = *dialog.Result();
  EXPECT_EQ(s.AmplitudeStep, 50);
  EXPECT_EQ(s.Timeout2, 0);  // empty: no time-out
  EXPECT_EQ(s.InputSize, FundamentalInputSize::WholeSignal);
  EXPECT_EQ(s.ChannelCalibration[2], 1.1);
  EXPECT_EQ(s.ChannelCalibration[4], 0.9);
  EXPECT_EQ(Stored("AmplitudeStep"), "50");
  EXPECT_EQ(Stored("Timeout2"), "0");
  EXPECT_EQ(Stored("AmplitudeFrame"), "512");
  EXPECT_EQ(settings.AmplitudeStep, 100);  // the record is the caller's to change
}

TEST_F(SettingsDialogsTest, SpecialEntryRunsModallyAndHelpShowsItsTopic) {
  TFSpecSet dialog(settings, store, ui);
  Press(dialog, "Help");
  EXPECT_EQ(ui.helpTopics, std::vector<int>{141});

  EXPECT_FALSE(
      WithModal("Cancel", [&] { return EditSpecialSettings(nullptr, settings, store, ui); }));
  EXPECT_FALSE(store.KeyExists());
  const auto accepted =
      WithModal("Yes", [&] { return EditSpecialSettings(nullptr, settings, store, ui); });
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->Timeout2, 60);
  EXPECT_EQ(Stored("Timeout1"), "2");
}

}  // namespace
}  // namespace kalvex

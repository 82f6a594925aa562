// The parameters dialog from the main window's menu, in every recording mode:
// filled through its widgets, accepted, and the recording, the windows and
// the command block checked (the block against kalvex-cli's for the same
// parameters).
//
// With KALVEX_DIALOG_SHOTS set to a folder, each dialog is also saved there as
// a picture (TFParms-mode.png) to be looked at.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "EquipmentMenu.h"
#include "TForm1.h"
#include "platform/TEditDig.h"
#include "platform/TFParms.h"
#include "support/FakeUserInteraction.h"
#include "support/ModalAnswer.h"
#include "support/QtApplication.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

using F = ParamField;
using C = ParamChoice;

// Types `text` over the field's text, then leaves the field.
void Type(TEditDig* field, const QString& text) {
  ASSERT_NE(field, nullptr);
  field->selectAll();
  QTest::keyClicks(field, text);
  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(field, &out);
}

void Choose(QComboBox* box, int index) {
  ASSERT_NE(box, nullptr);
  box->setCurrentIndex(index);
  emit box->activated(index);
}

class TFParmsTest : public ::testing::TestWithParam<const char*> {
 protected:
  void Open(const char* sample) {
    window = std::make_unique<test::SampleMainWindow>(sample);
    ASSERT_TRUE(window->started);
    ui = window->ui;
    main = window->main.get();
    main->Equipment().Lists().Acc = {{"A", 1.25, 7, "", 0}};
  }

  std::unique_ptr<test::SampleMainWindow> window;
  test::FakeUserInteraction* ui = nullptr;
  TForm1* main = nullptr;
};

TEST_P(TFParmsTest, FilledThroughTheWidgetsAcceptedAndApplied) {
  Open(GetParam());
  const int mode = main->Recording().Mode;
  bool shown = false;
  test::AnswerNextModal<TFParms>([&](TFParms& d) {
    shown = true;
    EXPECT_EQ(d.windowTitle().toStdString(), "Parameters [" + std::string(ModeName(mode)) + "]");
    Choose(d.ListWidget(C::SampleRate), 1);
    Type(d.FieldWidget(F::Seconds), "6");
    Type(d.FieldWidget(F::TriggerDelay), "0");
    if (mode == Tarpokline)
      for (F f : {F::SourceVoltage, F::SourceCurrent, F::SourceSensor})
        Type(d.FieldWidget(f), "1,5");
    // The last check corrects: "Да" says so.
    Type(d.FieldWidget(F::TriggerLevel), "12");
    EXPECT_EQ(d.FieldWidget(F::TriggerLevel)->text(), "9.90");
    if (mode == Velnarund || mode == Dodida) {
      Choose(d.ListWidget(C::AccModel), 1);
      EXPECT_EQ(d.FieldWidget(F::MassAcc)->text(), "1.25");
      EXPECT_TRUE(d.FieldWidget(F::MassAcc)->isReadOnly());
    }
    if (mode == Similarity) {
      d.ChannelSwitch(5)->click();
      EXPECT_TRUE(d.ChannelName(5)->isEnabled());
    }
    const QByteArray folder = qgetenv("KALVEX_DIALOG_SHOTS");
    if (!folder.isEmpty()) d.grab().save(QString("%1/TFParms-%2.png").arg(folder).arg(mode));
    d.findChild<QPushButton*>("Yes")->click();
    if (d.isVisible()) {
      ADD_FAILURE() << "the dialog stayed open";
      d.reject();
    }
  });
  main->Action("Parameters")->trigger();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(ui->errors.empty()) << ui->errors.front();
  EXPECT_EQ(ui->infos, std::vector<std::string>{"Данные были изменены"});
  // The record layout changed with graph windows open: the reset question.
  ASSERT_EQ(ui->questions.size(), 1u);
  const TFrmFile& rec = main->Recording();
  EXPECT_EQ(rec.SweepSeconds, 6);
  EXPECT_EQ(rec.SampleRate, 1000);
  EXPECT_EQ(rec.RecordLength, 6500);
  EXPECT_DOUBLE_EQ(rec.TriggerLevel, 9.9);
  EXPECT_TRUE(mode != Similarity || rec.SimilarityChannels[5].Present);
  EXPECT_FALSE(rec.Channels[0]);  // the old record is gone
  EXPECT_FALSE(main->Action("SaveAs")->isEnabled());
  EXPECT_TRUE(main->Equipment().Block().ParametersSet());

  // The command block is the one kalvex-cli builds for the same parameters.
  CommandBlock block = main->Equipment().Block();
  ProcessValues values;
  values.SampleRateIndex = 1;
  ASSERT_TRUE(BuildCommandBlock(block, rec, values, main->Equipment().Choices(), *ui));
  const AcquisitionChoices& c = main->Equipment().Choices();
  QStringList args{"command-block",
                   "--mode",
                   QString::number(mode),
                   "--rate-index",
                   "1",
                   "--seconds",
                   "6",
                   "--trigger-level",
                   "9.9",
                   "--trigger-delay",
                   QString::number(rec.TriggerDelay, 'g', 17),
                   "--trigger-channel",
                   QString::number(c.TriggerChannelIndex),
                   "--trigger-edge",
                   QString::number(c.TriggerEdgeIndex),
                   "--acc-delay-code",
                   QString::number(c.AccDelayCode)};
  if (mode == Similarity) {
    QStringList on, x8;
    for (int s = 0; s < 6; ++s) {
      if (s > 0 && rec.SimilarityChannels[s].Present) on << QString::number(s);
      if (rec.SimilarityChannels[s].Attenuated) x8 << QString::number(s);
    }
    args << "--channels-on" << on.join(',');
    if (!x8.isEmpty()) args << "--x8" << x8.join(',');
  }
  QProcess cli;
  cli.start(KALVEX_CLI_PROGRAM, args);
  ASSERT_TRUE(cli.waitForFinished(10000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  EXPECT_EQ(cli.readAllStandardOutput().toStdString(), CommandBlockText(block));
  EXPECT_EQ(c.AccDelayCode, mode == Velnarund || mode == Dodida ? 7 : 0);
}

// Regressions: untouched fields of a file asked for a reset (the level read
// as a 32-bit float differs from the one shown), and "Да" reached with Enter
// skipped the focused field's range check.
TEST_F(TFParmsTest, UntouchedFieldsKeepTheRecordAndEnterChecksTheFocusedField) {
  Open("dodida.qrm");
  main->Recording().TriggerLevel = 1.1f;  // as a file stores it
  main->Recording().TriggerDelay = 0;     // entered before the file was read
  test::AnswerNextModal<TFParms>([](TFParms& d) {
    d.findChild<QPushButton*>("Yes")->click();
    if (d.isVisible()) {
      ADD_FAILURE() << "the dialog stayed open";
      d.reject();
    }
  });
  main->Action("Parameters")->trigger();
  EXPECT_TRUE(ui->questions.empty());
  EXPECT_TRUE(main->Recording().Channels[0]);

  test::AnswerNextModal<TFParms>([](TFParms& d) {
    TEditDig* delay = d.FieldWidget(F::TriggerDelay);
    delay->setFocus();
    delay->selectAll();
    QTest::keyClicks(delay, "99.99");
    QTest::keyClick(delay, Qt::Key_Return);
    if (d.isVisible()) {
      ADD_FAILURE() << "Enter did not accept";
      d.reject();
    }
  });
  main->Action("Parameters")->trigger();
  EXPECT_DOUBLE_EQ(main->Recording().TriggerDelay, 4.95);
  EXPECT_EQ(ui->infos, std::vector<std::string>{"Данные были изменены"});
}

// Regression: byte 15 kept the delay code of an accelerometer model that
// opening a file had unselected.
TEST_F(TFParmsTest, OpeningAFileClearsTheAccelerometersDelayCode) {
  Open("dodida.qrm");
  main->Recording().TriggerDelay = 0;
  test::AnswerNextModal<TFParms>([](TFParms& d) {
    Choose(d.ListWidget(C::AccModel), 1);
    d.findChild<QPushButton*>("Yes")->click();
  });
  main->Action("Parameters")->trigger();
  CommandBlock block = main->Equipment().Block();
  ProcessValues values;
  values.SampleRateIndex = 1;
  ASSERT_TRUE(
      BuildCommandBlock(block, main->Recording(), values, main->Equipment().Choices(), *ui));
  EXPECT_EQ(block.Bytes[15], 7);
  ASSERT_TRUE(main->Commands().OpenRecordingFile(window->dir.filePath("dodida.qrm").toStdString()));
  ASSERT_TRUE(
      BuildCommandBlock(block, main->Recording(), values, main->Equipment().Choices(), *ui));
  EXPECT_EQ(block.Bytes[15], 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, TFParmsTest,
                         ::testing::Values("velnarund.qrm", "tarpokline.qrm", "similarity.qrm",
                                           "dodida.qrm", "ombrel16.qrm"));

}  // namespace
}  // namespace kalvex

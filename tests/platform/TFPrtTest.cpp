// The report settings dialog: its fields as typed, the vibrator number not
// asked in "Similarity", the colour choice kept for the run, Cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/TFPrt.h"
#include "recordings/RecordingModes.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

void AnswerReportDialog(std::function<void(TFPrt&)> answer) {
  QTimer::singleShot(0, [answer] {
    if (auto* d = qobject_cast<TFPrt*>(QApplication::activeModalWidget())) answer(*d);
  });
}

TEST(TFPrtTest, FieldsAsTypedAndTheColourChoiceKeptForTheRun) {
  test::EnsureApplication();
  test::FakeUserInteraction ui;
  bool colour = true;
  AnswerReportDialog([](TFPrt& d) {
    EXPECT_EQ(d.windowTitle(), "Печатный отчет");
    EXPECT_TRUE(d.ColourButton()->isChecked());
    QTest::keyClicks(d.FieldWidget(ReportDialog::VibNumber), "12-ABCDEF");
    QTest::keyClicks(d.FieldWidget(ReportDialog::DriveLevel), "8a05");  // digits only, three
    QTest::keyClicks(d.FieldWidget(ReportDialog::SignalType), "Lin");
    d.BlackWhiteButton()->click();
    d.findChild<QPushButton*>("Yes")->click();
  });
  const auto values = EditReportSettings(nullptr, Dodida, colour, nullptr, ui);
  ASSERT_TRUE(values);
  EXPECT_EQ(values->VibNumber, "12-ABC");
  EXPECT_EQ(values->DriveLevel, "805");
  EXPECT_EQ(values->SignalType, "Lin");
  EXPECT_EQ(values->StartHz, "");
  EXPECT_FALSE(values->Colour);
  EXPECT_FALSE(colour);

  // Next time: black and white pre-selected, the texts empty; in
  // "Similarity" no vibrator number; Cancel keeps the choice.
  AnswerReportDialog([](TFPrt& d) {
    EXPECT_TRUE(d.BlackWhiteButton()->isChecked());
    EXPECT_EQ(d.FieldWidget(ReportDialog::DriveLevel)->text(), "");
    EXPECT_FALSE(d.FieldWidget(ReportDialog::VibNumber)->isEnabled());
    d.ColourButton()->click();
    d.findChild<QPushButton*>("Cancel")->click();
  });
  EXPECT_FALSE(EditReportSettings(nullptr, Similarity, colour, nullptr, ui));
  EXPECT_FALSE(colour);
}

}  // namespace
}  // namespace kalvex

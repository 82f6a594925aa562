// The report settings dialog: its fields as typed, the vibrator number not
// asked in "Similarity", the colour choice kept for the run, Cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ReportMenu.h"
#include "TForm1.h"
#include "platform/TFPrt.h"
#include "recordings/RecordingModes.h"
#include "support/FakeUserInteraction.h"
#include "support/ModalAnswer.h"
#include "support/QtApplication.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

void AnswerReportDialog(std::function<void(TFPrt&)> answer) {
  test::AnswerNextModal<TFPrt>(std::move(answer));
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

// "Параметры печати" is the printer set-up over the report's own printer.
TEST(TFPrtTest, PrinterSetupChoosesThePrinterOfTheReport) {
#ifdef _WIN32
  GTEST_SKIP() << "on Windows the printer set-up is the system's own dialog, not a widget";
#endif
  test::EnsureApplication();
  test::FakeUserInteraction ui;
  QPrinter printer;
  bool colour = true;
  QPrinter* shown = nullptr;
  QString title;
  AnswerReportDialog([&](TFPrt& d) {
    test::AnswerNextModal<QPrintDialog>([&](QPrintDialog& setup) {
      shown = setup.printer();
      title = setup.windowTitle();
      setup.reject();
      d.findChild<QPushButton*>("Cancel")->click();
    });
    d.findChild<QPushButton*>("PageSetup")->click();
  });
  EditReportSettings(nullptr, Dodida, colour, &printer, ui);
  EXPECT_EQ(shown, &printer);
  EXPECT_EQ(title, "Параметры печати");
}

// "Отчет" through the dialog to a PDF printer, Cancel printing nothing; "Отчет
// в PDF…"; the hidden bitmap in the program directory. The recording keeps
// its polarity through all of them.
TEST(ReportMenuTest, PrinterPdfAndBitmapFromTheMainWindow) {
  QTemporaryDir work;
  const QString started = QDir::currentPath();
  QDir::setCurrent(work.path());  // the program directory
  {
    test::SampleMainWindow w("dodida.qrm");
    ASSERT_TRUE(w.started);
    TForm1& main = *w.main;
    const auto before = main.Recording().Channels[1]->Samples;
    QPrinter& printer = main.Report().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = work.filePath("printed.pdf");
    printer.setOutputFileName(printed);

    AnswerReportDialog([](TFPrt& d) { d.findChild<QPushButton*>("Cancel")->click(); });
    main.Action("Report")->trigger();
    EXPECT_FALSE(QFile::exists(printed));

    const auto accept = [](TFPrt& d) {
      QTest::keyClicks(d.FieldWidget(ReportDialog::VibNumber), "12");
      d.findChild<QPushButton*>("Yes")->click();
    };
    AnswerReportDialog(accept);
    main.Action("Report")->trigger();
    QFile file(printed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");

    w.ui->saveChoices.push_back(work.filePath("report.pdf").toStdString());
    AnswerReportDialog(accept);
    main.Action("ReportPdf")->trigger();
    EXPECT_TRUE(QFile::exists(work.filePath("report.pdf")));

    main.Action("ReportBitmap")->trigger();
    EXPECT_TRUE(QFile::exists(work.filePath("1.bmp")));
    EXPECT_TRUE(main.findChild<QLabel*>("StatusText")->text().contains("1.bmp"));
    EXPECT_TRUE(w.ui->errors.empty());
    EXPECT_EQ(main.Recording().Channels[1]->Samples, before);
  }
  QDir::setCurrent(started);
}

}  // namespace
}  // namespace kalvex

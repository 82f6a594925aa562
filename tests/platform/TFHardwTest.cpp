// The equipment dialog and the command file dialog on screen: the widgets
// follow the model (equipment rules, port list), the mandatory prompt cannot
// be closed without "Да", and the command file shows, sends and prints.
//
// With KALVEX_DIALOG_SHOTS set to a folder, both dialogs are also saved there
// as pictures (TFHardw.png, TFCommandFile.png) to be looked at.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "acquisition/CommandBlock.h"
#include "platform/TFCommandFile.h"
#include "platform/TFHardw.h"
#include "recordings/RecordingModes.h"
#include "support/FakeSerialLink.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

using test::FakeSerialLink;
using test::FakeUserInteraction;

void SaveShot(QWidget& dialog, const char* name) {
  const QByteArray folder = qgetenv("KALVEX_DIALOG_SHOTS");
  if (!folder.isEmpty()) dialog.grab().save(QString("%1/%2.png").arg(folder, name));
}

class EquipmentWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    link.probeResult = {"COM1", "COM3"};
    link.portDescriptions["COM1"] = "/dev/ttyUSB0";
    link.portDescriptions["COM3"] = "/dev/ttyUSB1";
  }
  FakeSerialLink link;
  FakeUserInteraction ui;
};

TEST_F(EquipmentWidgets, TheMandatoryPromptEndsOnlyWithYes) {
  TFHardw dialog({0, Velnarund, 0, 0}, true, link, ui);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  SaveShot(dialog, "TFHardw");
  EXPECT_EQ(dialog.windowTitle(), "Аппаратурные режимы");
  EXPECT_FALSE(dialog.CancelButton()->isEnabled());
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);

  EXPECT_FALSE(dialog.close());
  QTest::keyClick(&dialog, Qt::Key_Escape);
  dialog.reject();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.Result());

  dialog.findChild<QPushButton*>("Yes")->click();
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_TRUE(dialog.Result());
  EXPECT_EQ(*dialog.Result(), (EquipmentChoice{0, Velnarund, 0, 0}));
}

TEST_F(EquipmentWidgets, TheMenuDialogFollowsTheModelAndCancels) {
  TFHardw dialog({0, Similarity, 2, 1}, false, link, ui);  // COM2 is not free
  dialog.show();
  EXPECT_TRUE(dialog.CancelButton()->isEnabled());
  QComboBox* ports = dialog.PortList();
  ASSERT_EQ(ports->count(), 3);
  EXPECT_EQ(ports->itemText(0), "COM1  /dev/ttyUSB0");
  EXPECT_EQ(ports->currentIndex(), -1);
  EXPECT_TRUE(dialog.BaudList()->isHidden());
  dialog.findChild<QPushButton*>("Yes")->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Установите порт!"});

  // "Notebook Marlo" while "Similarity" is chosen; a click on the chosen mode keeps it.
  dialog.EquipmentButton(1)->click();
  EXPECT_FALSE(dialog.EquipmentButton(0)->isChecked());
  EXPECT_FALSE(dialog.ModeButton(Similarity)->isEnabled());
  dialog.ModeButton(Dodida)->click();
  EXPECT_TRUE(dialog.ModeButton(Dodida)->isChecked());
  EXPECT_FALSE(dialog.ModeButton(Similarity)->isChecked());

  ports->setCurrentIndex(1);
  dialog.findChild<QPushButton*>("Yes")->click();
  ASSERT_TRUE(dialog.Result());
  EXPECT_EQ(*dialog.Result(), (EquipmentChoice{1, Dodida, 3, 1}));

  // Through the entry point: Esc cancels the menu's dialog, and nothing comes back.
  QTimer::singleShot(0, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) QTest::keyClick(modal, Qt::Key_Escape);
  });
  EXPECT_FALSE(SelectEquipment(nullptr, {0, Similarity, 3, 1}, false, link, ui));
}

TEST_F(EquipmentWidgets, TheCommandFileShowsTheBlockAndSendsItOnce) {
  CommandBlock block;
  block.Bytes.fill(0);
  block.Bytes[0] = 0xCC;
  block.Bytes[1] = 0xA5;
  TFCommandFile dialog(block, 3, link, ui);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  SaveShot(dialog, "TFCommandFile");
  EXPECT_EQ(dialog.windowTitle(), "Командный файл");
  const QString text = dialog.TextArea()->toPlainText();
  EXPECT_TRUE(text.startsWith("0000:  CCA50000 00000000\n0008:")) << text.toStdString();
  EXPECT_TRUE(QFontInfo(dialog.TextArea()->font()).fixedPitch());

  dialog.WriteButton()->click();
  ASSERT_EQ(link.CountOf(FakeSerialLink::Op::Write), 1);
  EXPECT_EQ(link.calls[0].port, "COM3");
  EXPECT_EQ(link.calls[1].bytes[1], 0xA5);
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Передано 23 байтов из 23"});

  // No printer here: printing says so instead of doing nothing.
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
  dialog.PrintButton()->click();
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Нет принтера для печати"});
}

}  // namespace
}  // namespace kalvex

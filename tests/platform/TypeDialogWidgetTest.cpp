// The graph type dialogs on screen: every "Графики" item of the main window on
// a sample recording of each mode, answered through its dialog's widgets; the
// refusal that keeps a dialog open; the fields reaching the model.
//
// With KALVEX_DIALOG_SHOTS set to a folder, each dialog is also saved there as
// a picture (formName-mode.png) to be looked at.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "TForm1.h"
#include "graphs/GraphTypes.h"
#include "graphs/GraphsMenu.h"
#include "graphs/TGrWin.h"
#include "platform/TFGraf.h"
#include "platform/TypeDialogWidget.h"
#include "recordings/RecordingModes.h"
#include "support/FakeUserInteraction.h"
#include "support/ModalAnswer.h"
#include "support/QtApplication.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

using Answer = std::function<void(TypeDialogWidget&)>;

void AnswerNextDialog(Answer answer) {
  test::AnswerNextModal<TypeDialogWidget>(std::move(answer));
}

void SaveShot(TypeDialogWidget& d, int mode) {
  const QByteArray folder = qgetenv("KALVEX_DIALOG_SHOTS");
  if (folder.isEmpty()) return;
  d.grab().save(QString("%1/%2-%3.png").arg(folder, d.objectName()).arg(mode));
}

// Ticks the first box of every group that has none ticked, then presses
// "Да": a ticked box never stands beside an empty unit list.
void TickAndAccept(TypeDialogWidget& d, int mode) {
  for (QGroupBox* group : d.findChildren<QGroupBox*>()) {
    const auto ticks = group->findChildren<QCheckBox*>();
    bool any = false;
    for (QCheckBox* t : ticks) any = any || t->isChecked();
    if (!any && !ticks.isEmpty()) ticks.front()->setChecked(true);
    for (QCheckBox* t : ticks) {
      auto* unit = d.findChild<QComboBox*>(t->objectName() + "Unit");
      EXPECT_TRUE(!unit || !t->isChecked() || unit->currentIndex() >= 0)
          << t->objectName().toStdString();
    }
  }
  SaveShot(d, mode);
  d.OkButton()->click();
}

// Whether the form's plot shows the first curve in its colour.
bool DrawsFirstCurve(TFGraf& form, const TGrWin& w) {
  const QImage image = form.Surface().grab().toImage();
  const QRgb colour = 0xFF000000u | static_cast<QRgb>(w.Curves[0].Colour);
  // The frame's rows too: a curve beyond the window's fixed range (a phase
  // half a turn away in a 10° window) runs along its edge.
  for (int y = w.PlotRect.Top; y <= w.PlotRect.Bottom; ++y)
    for (int x = w.PlotRect.Left + 1; x < w.PlotRect.Right; ++x)
      if (image.pixel(x, y) == colour) return true;
  return false;
}

class TypeDialogWidgetTest : public ::testing::TestWithParam<const char*> {
 protected:
  void Open(const char* sample) {
    window = std::make_unique<test::SampleMainWindow>(sample);
    ASSERT_TRUE(window->started);
    ui = window->ui;
    main = window->main.get();
    ASSERT_EQ(main->Windows().Count(), 1);
  }

  std::unique_ptr<test::SampleMainWindow> window;
  test::FakeUserInteraction* ui = nullptr;
  TForm1* main = nullptr;
};

TEST_P(TypeDialogWidgetTest, EveryGraphsItemOfTheModeSetsItsType) {
  Open(GetParam());
  const int mode = main->Recording().Mode;
  for (int tag = 1; tag < GraphsMenuItems; ++tag) {
    QAction* item = main->Action(("GraphItem" + std::to_string(tag)).c_str());
    const int type = GraphTypeOfMenuTag(tag);
    SCOPED_TRACE(item->text().toStdString());
    EXPECT_EQ(item->isVisible(), MenuItemOffered(tag, mode));
    if (!item->isVisible()) continue;
    main->Action("NewWindow")->trigger();
    TGrWin& w = *main->Windows().ActiveWindow();
    const bool asks = !(type == Phase && mode == Ombrel16);
    bool answered = false;
    if (asks)
      AnswerNextDialog([&](TypeDialogWidget& d) {
        answered = true;
        TickAndAccept(d, mode);
      });
    item->trigger();
    EXPECT_EQ(answered, asks);
    EXPECT_TRUE(ui->infos.empty()) << ui->infos.front();
    const bool storesOnly = type == Servo || type == Actuator;
    EXPECT_EQ(w.Type, storesOnly ? NoGraphType : type);
    if (!storesOnly && !((type == Ground || type == AccCompare) && mode == Ombrel16)) {
      EXPECT_GE(w.CurveCount, 1);
      EXPECT_TRUE(DrawsFirstCurve(*main->Form(main->Windows().IndexOf(&w)), w));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, TypeDialogWidgetTest,
                         ::testing::Values("velnarund.qrm", "tarpokline.qrm", "similarity.qrm",
                                           "dodida.qrm", "ombrel16.qrm"));

// One type dialog on screen for a window of `mode`, answered by a fake operator.
struct OneDialog {
  OneDialog(int type, int mode) {
    test::EnsureApplication();
    w.RecordingMode = static_cast<std::uint8_t>(mode);
    dialog = MakeTypeDialog(type, w, rec);
    widget = std::make_unique<TypeDialogWidget>(*dialog, ui);
  }
  TGrWin w;
  TFrmFile rec;
  test::FakeUserInteraction ui;
  std::unique_ptr<TypeDialog> dialog;
  std::unique_ptr<TypeDialogWidget> widget;
};

TEST(TypeDialogWidgetSingleTest, RefusedOkKeepsTheDialogOpenAndAcceptedFieldsReachTheWindow) {
  OneDialog one(Amplitude, Velnarund);
  auto& [w, rec, ui, dialog, widgetPtr] = one;
  TypeDialogWidget& widget = *widgetPtr;
  widget.show();
  EXPECT_EQ(widget.windowTitle(), "Velnarund:Amplitude");
  widget.OkButton()->click();
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Не задан ни один сигнал"});
  EXPECT_TRUE(widget.isVisible());

  // The widgets write into the model as they change.
  qobject_cast<QCheckBox*>(widget.Field("CheckBox5"))->setChecked(true);
  qobject_cast<QComboBox*>(widget.Field("CheckBox5Unit"))->setCurrentIndex(4);
  EXPECT_TRUE(dialog->model.groups[0].checks[4].checked);
  widget.OkButton()->click();
  EXPECT_FALSE(widget.isVisible());
  EXPECT_EQ(widget.result(), QDialog::Accepted);
  dialog->Write(w);
  EXPECT_EQ(w.AmplitudeChannels[4], 4);  // RM in kN

  widget.HelpButton()->click();
  EXPECT_EQ(ui.helpTopics, std::vector<int>{202});
}

TEST(TypeDialogWidgetSingleTest, TickingAPowerBoxChoosesItsGroup) {
  OneDialog one(Power, Dodida);
  TypeDialogWidget& widget = *one.widget;
  const std::unique_ptr<TypeDialog>& dialog = one.dialog;
  auto* harmonicItem = qobject_cast<QRadioButton*>(widget.Field("RadioGroup0Item1"));
  ASSERT_NE(harmonicItem, nullptr);
  EXPECT_FALSE(harmonicItem->isChecked());
  qobject_cast<QCheckBox*>(widget.Field("HarmonicBox1"))->setChecked(true);
  EXPECT_TRUE(harmonicItem->isChecked());
  EXPECT_EQ(dialog->model.groups[0].radio, 1);
}

}  // namespace
}  // namespace kalvex

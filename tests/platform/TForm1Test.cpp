// The desktop program's main window driven as an operator would: a recording
// named on the command line opens in a signal traces window; the window is
// zoomed by clicks and through the label editor; the recording is saved under
// a new name and opened again; the unsaved-data question's three answers.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <set>

#include "QcPanel.h"
#include "TForm1.h"
#include "graphs/TGrWin.h"
#include "platform/TEditDig.h"
#include "platform/TFGraf.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

class TForm1Test : public ::testing::Test {
 protected:
  TForm1Test() {
    test::EnsureApplication();
    sample = dir.filePath("dodida.qrm");
    QFile::copy(QStringLiteral(KALVEX_SAMPLES_DIR "/dodida.qrm"), sample);
    QFile(sample).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    auto fake = std::make_unique<test::FakeUserInteraction>();
    ui = fake.get();
    main = std::make_unique<TForm1>(sample, std::move(fake));
    main->resize(1100, 700);
    QSignalSpy started(main.get(), &TForm1::StartUpFinished);
    main->show();
    EXPECT_TRUE(started.wait(5000));
    // The question before unsaved data are replaced is asked.
    main->Settings().NoSaveConfirmation = false;
  }

  TGrWin& Window(int i = 0) { return main->Windows().Window(i); }
  TFGraf& Form(int i = 0) { return *main->Form(i); }
  QMdiSubWindow& Sub() { return *qobject_cast<QMdiSubWindow*>(Form().parentWidget()); }
  void Trigger(const char* action) { main->Action(action)->trigger(); }
  // Lays the form out and paints it, so that the window holds its plot
  // rectangle and label positions.
  void Paint() {
    Sub().resize(900, 500);
    (void)Form().Surface().grab();
  }
  void ClickSurface(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&Form().Surface(), button, {}, at);
  }
  static QPoint Centre(const IntRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  QTemporaryDir dir;
  QString sample;
  test::FakeUserInteraction* ui = nullptr;
  std::unique_ptr<TForm1> main;
};

TEST_F(TForm1Test, StartUpOpensTheNamedFileInASignalTracesWindow) {
  EXPECT_TRUE(main->windowTitle().startsWith("Программа обработки сигналов: "));
  EXPECT_TRUE(main->windowTitle().endsWith("[Dodida]"));
  ASSERT_EQ(main->Windows().Count(), 1);
  EXPECT_EQ(Window().Type, SignalTraces);
  EXPECT_EQ(Window().CurveCount, 3);
  EXPECT_EQ(Form().windowTitle(), "dodida.qrm [Dodida]: Signal traces[REF,RM,BP]");
  EXPECT_EQ(main->Area().subWindowList().size(), 1);
  EXPECT_FALSE(main->Action("Save")->isEnabled());
  EXPECT_TRUE(main->Action("SaveAs")->isEnabled());
  EXPECT_TRUE(ui->errors.empty());
}

TEST_F(TForm1Test, ZoomByClicksThenLabelEditorThenSaveAsAndReopen) {
  Paint();
  const IndexRange full = Window().FullRange;
  ASSERT_EQ(Window().DisplayedRange, full);

  // Zoom by clicks: a left click in the plot halves the range.
  QTest::mouseClick(Form().Tool("SpeedButton9"), Qt::LeftButton);
  ASSERT_TRUE(Window().ToolZoomByClicks);
  ClickSurface(Centre(Window().PlotRect));
  const IndexRange zoomed = Window().DisplayedRange;
  EXPECT_LT(zoomed.Last - zoomed.First, (full.Last - full.First) / 2 + 2);
  EXPECT_GT(Form().ScrollBar().maximum(), 0);
  QTest::mouseClick(Form().Tool("SpeedButton9"), Qt::LeftButton);  // tool off again

  // The right x label opens the editor; 5 seconds end the range there.
  Paint();
  ClickSurface(Centre(Window().RightXLabelRect));
  TEditDig& editor = Form().LabelEditor();
  ASSERT_TRUE(editor.isVisible());
  editor.setText("5");
  QTest::keyClick(&editor, Qt::Key_Return);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(Window().DisplayedRange.Last, std::lround(5 * Window().XPerUnit));
  EXPECT_EQ(Window().DisplayedRange.First, zoomed.First);

  // Save as: the file is written, the recording now has that name.
  const QString saved = dir.filePath("saved.qrm");
  ui->saveChoices.push_back(saved.toStdString());
  Trigger("SaveAs");
  ASSERT_TRUE(QFile::exists(saved));
  EXPECT_EQ(main->Recording().Name, saved.toStdString());
  EXPECT_EQ(main->Recording().Origin, OriginFile);
  EXPECT_EQ(Form().windowTitle(), "saved.qrm [Dodida]: Signal traces[REF,RM,BP]");
  const FileDialogRequest& request = ui->saveDialogs.back();
  EXPECT_TRUE(request.confirmOverwrite);
  EXPECT_EQ(request.defaultExtension, ".QRM");

  // Reopen: same mode and length, so the window stays and shows the samples
  // read back from the saved file.
  const std::vector<std::int16_t> before = main->Recording().Channels[1]->Samples;
  ui->openChoices.push_back(saved.toStdString());
  Trigger("Open");
  EXPECT_TRUE(ui->questions.empty());  // nothing unsaved: no question
  ASSERT_EQ(main->Windows().Count(), 1);
  EXPECT_EQ(main->Recording().Channels[1]->Samples, before);
  EXPECT_EQ(Form().windowTitle(), "saved.qrm [Dodida]: Signal traces[REF,RM,BP]");
}

TEST_F(TForm1Test, UnsavedDataQuestionCancelNoAndYes) {
  ui->editedTexts.push_back("после ремонта");
  Trigger("Comment");
  ASSERT_TRUE(main->Recording().Modified);
  EXPECT_TRUE(main->Action("Save")->isEnabled());  // until the next open or save

  // Cancel: no open dialog, the data stay.
  ui->threeWayAnswers.push_back(YesNoCancel::Cancel);
  Trigger("Open");
  ASSERT_EQ(ui->questions, std::vector<std::string>{"Сохранить данные в памяти?"});
  EXPECT_TRUE(ui->openDialogs.empty());
  EXPECT_TRUE(main->Recording().Modified);

  // No: straight on to the open dialog (cancelled here), nothing saved.
  ui->threeWayAnswers.push_back(YesNoCancel::No);
  Trigger("Open");
  EXPECT_EQ(ui->openDialogs.size(), 1u);
  EXPECT_TRUE(ui->saveDialogs.empty());
  EXPECT_TRUE(main->Recording().Modified);

  // Yes: a recording read from a file is saved to that file, then the open
  // dialog follows; opening the file again shows the saved comment.
  ui->threeWayAnswers.push_back(YesNoCancel::Yes);
  ui->openChoices.push_back(sample.toStdString());
  Trigger("Open");
  EXPECT_TRUE(ui->saveDialogs.empty());
  EXPECT_EQ(ui->openDialogs.size(), 2u);
  EXPECT_FALSE(main->Recording().Modified);
  EXPECT_FALSE(main->Action("Save")->isEnabled());
  EXPECT_EQ(main->Recording().Comment, "после ремонта");
  EXPECT_EQ(main->Windows().Count(), 1);
}

TEST_F(TForm1Test, ClosingWithUnsavedDataCanBeCancelled) {
  ui->editedTexts.push_back("x");
  Trigger("Comment");
  ui->threeWayAnswers.push_back(YesNoCancel::Cancel);
  EXPECT_FALSE(main->close());
  EXPECT_TRUE(main->isVisible());
  ui->threeWayAnswers.push_back(YesNoCancel::No);
  EXPECT_TRUE(main->close());
}

TEST_F(TForm1Test, SettingsDialogsOpenFromF9AndTheHiddenCtrlP) {
  // "Установки" is not in any menu; its shortcut lives on the main window.
  QAction* special = main->Action("SpecialSettings");
  ASSERT_NE(special, nullptr);
  EXPECT_EQ(special->shortcut(), QKeySequence("Ctrl+P"));
  EXPECT_TRUE(special->associatedObjects().contains(main.get()));
  for (QAction* a : main->menuBar()->actions())  // "Отчет" is an item of its own
    EXPECT_FALSE(a == special || (a->menu() && a->menu()->actions().contains(special)));
  EXPECT_EQ(main->Action("Settings")->shortcut(), QKeySequence("F9"));

  for (const char* action : {"Settings", "SpecialSettings"}) {
    QString shown;
    QTimer::singleShot(50, [&shown] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        shown = modal->metaObject()->className();
        qobject_cast<QDialog*>(modal)->reject();
      }
    });
    main->Action(action)->trigger();
    EXPECT_EQ(shown, action == std::string("Settings") ? "kalvex::TFSet" : "kalvex::TFSpecSet");
  }
}

TEST_F(TForm1Test, GraphWindowToolsReachTheMainWindow) {
  QTest::mouseClick(Form().Tool("SpeedButton13"), Qt::LeftButton);
  EXPECT_EQ(ui->helpTopics, std::vector<int>{50});
  Trigger("HelpContents");
  EXPECT_EQ(ui->helpTopics.back(), 20);

  QTest::mouseClick(Form().Tool("SpeedButton10"), Qt::LeftButton);
  ASSERT_EQ(ui->lists.size(), 1u);
  ASSERT_EQ(ui->lists[0].rows.size(), 1u);
  EXPECT_EQ(ui->lists[0].rows[0][1], sample.toStdString());

  // The hidden export button writes the frame tables to the current folder.
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  auto* exportButton = Form().findChild<QWidget*>("BitBtn1");
  ASSERT_NE(exportButton, nullptr);
  EXPECT_FALSE(exportButton->isVisible());
  QMetaObject::invokeMethod(exportButton, "click");
  QDir::setCurrent(previous);
  QFile exported(dir.filePath("Signals.TXT"));
  ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
  EXPECT_GT(exported.size(), 100);

  // Closing the window empties the window set and the Windows menu.
  Sub().close();
  QTest::qWait(50);
  EXPECT_EQ(main->Windows().Count(), 0);
}

// Counts the paints of the graph surfaces it watches.
struct PaintCounter : QObject {
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.insert(watched);
    return false;
  }
  std::set<QObject*> painted;
};

// Regression: Cascade shrank the windows to their tool bars; windows that the
// window set closed on a new mode stayed behind as empty frames; new windows
// opened partly outside the client area.
TEST_F(TForm1Test, WindowsStayWholeAfterCascadeAnotherRecordingAndTile) {
  // Runs a window command; then every window shows its form inside the client
  // area, and a window whose frame moved or changed size has painted since.
  const auto arrange = [this](const char* command) {
    SCOPED_TRACE(command);
    PaintCounter paints;
    std::vector<QRect> before;
    for (int i = 0; i < main->Windows().Count(); ++i) {
      Form(i).Surface().installEventFilter(&paints);
      before.push_back(Form(i).parentWidget()->geometry());
    }
    Trigger(command);
    QTest::qWait(50);
    const QRect area = main->Area().viewport()->rect();
    ASSERT_EQ(main->Area().subWindowList().size(), main->Windows().Count());
    for (int i = 0; i < main->Windows().Count(); ++i) {
      TFGraf& form = Form(i);
      EXPECT_TRUE(form.isVisible() && form.Surface().isVisible() && form.ScrollBar().isVisible());
      EXPECT_GE(form.width(), form.minimumSizeHint().width());
      EXPECT_GE(form.height(), form.minimumSizeHint().height());
      EXPECT_GE(form.Surface().height(), 100);  // room for a plot, not just the tools
      EXPECT_TRUE(area.contains(form.parentWidget()->geometry())) << i;
      const bool moved = i < int(before.size()) && form.parentWidget()->geometry() != before[i];
      EXPECT_TRUE(!moved || paints.painted.count(&form.Surface())) << i;
    }
  };
  main->resize(1200, 800);
  QTest::qWait(20);
  arrange("NewWindow");
  arrange("NewWindow");
  EXPECT_EQ(Form(2).size(), Form(2).sizeHint());  // the form's own size where it fits
  arrange("Cascade");

  // Another mode: the window set closes its windows and opens the traces.
  ui->openChoices.push_back(KALVEX_SAMPLES_DIR "/velnarund.qrm");
  arrange("Open");
  ASSERT_EQ(main->Windows().Count(), 1);
  for (int i = 0; i < 3; ++i) arrange("NewWindow");
  arrange("Tile");
}

}  // namespace
}  // namespace kalvex

namespace kalvex {
namespace {

// "Профиль допусков…": a malformed profile is refused with its line and
// keeps the panel as it was; a good one judges the recording shown (its
// file's fingerprint kept) and the next one opened; the panel's click shows
// the figures.
TEST_F(TForm1Test, LimitProfileJudgesTheRecordingsShown) {
  auto* panel = main->findChild<QToolButton*>(QStringLiteral("QcPanel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->text(), QString::fromStdString(Text(TextId::QcNoProfile)));
  EXPECT_EQ(main->Qc().Outcome(), nullptr);

  const QString bad = dir.filePath("bad.ini"), good = dir.filePath("good.ini");
  for (const auto& [path, text] :
       {std::pair{bad, "[phase_peak]\nmax = ten\n"},
        std::pair{good, "[profile]\nname = C1\n[phase_peak]\nmax = 10\n[distortion_avg]\nmax = 15\n"}}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  ui->openChoices.push_back(bad.toStdString());
  Trigger("LimitProfile");
  ASSERT_EQ(ui->errors.size(), 1u);
  EXPECT_EQ(ui->errors[0], bad.toStdString() + ":2: «ten» — не число");
  EXPECT_EQ(main->Qc().Outcome(), nullptr);

  ui->openChoices.push_back(good.toStdString());
  Trigger("LimitProfile");
  auto outcome = main->Qc().Outcome();
  ASSERT_NE(outcome, nullptr);
  EXPECT_EQ(outcome->Overall(), QcOverall::Pass);  // a healthy vibrator
  EXPECT_EQ(panel->text(), "QC: PASS (C1)");
  QFile file(sample);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(
      outcome->provenance.sha256,
      QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex().toStdString());
  QTest::mouseClick(panel, Qt::LeftButton);
  ASSERT_FALSE(ui->infos.empty());
  EXPECT_NE(ui->infos.back().find("Фаза, макс."), std::string::npos);

  const QString other = dir.filePath("tarpokline.qrm");
  QFile::copy(QStringLiteral(KALVEX_SAMPLES_DIR "/tarpokline.qrm"), other);
  ui->openChoices.push_back(other.toStdString());
  Trigger("Open");
  EXPECT_EQ(main->Qc().Outcome()->figures.channels[0].name, "Sensor");
  EXPECT_EQ(panel->text(), "QC: PASS (C1)");

  const QString faulty = dir.filePath("faulty-vibrator.qrm");
  QFile::copy(QStringLiteral(KALVEX_SAMPLES_DIR "/faulty-vibrator.qrm"), faulty);
  ui->openChoices.push_back(faulty.toStdString());
  Trigger("Open");
  EXPECT_EQ(main->Qc().Outcome()->Overall(), QcOverall::Fail);  // its GF distorts 20 %
  EXPECT_EQ(panel->text(), "QC: FAIL (C1)");
}

}  // namespace
}  // namespace kalvex

#include "TForm1.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

#include "graphs/FirstTraces.h"
#include "graphs/GraphSetup.h"
#include "graphs/TGrWin.h"
#include "platform/FftwLoader.h"
#include "platform/FileAccess.h"
#include "platform/QtSettingsStore.h"
#include "platform/TFGraf.h"
#include "recordings/DerivedValues.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

TForm1::TForm1(const QString& startFile, QWidget* parent)
    : QMainWindow(parent),
      startFile_(startFile),
      ui_(this),
      windows_(*this),
      commands_(rec_, values_, settings_, files_, store_, ui_, [] { return CurrentLocalTime(); }) {
  setWindowTitle(QString::fromStdString(Text(TextId::ProgramTitle)));
  resize(1200, 800);
  mdi_ = new QMdiArea(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (auto* form = sub ? qobject_cast<TFGraf*>(sub->widget()) : nullptr)
      windows_.SetActiveIndex(form->Tag());
  });
  CreateMenus();
  CreateStatusBar();

  settings_.ChannelCalibration.fill(1.0);
  values_.ChannelOffset = 0;
  if (!LoadFftLibrary())
    QMessageBox::critical(this, windowTitle(),
                          QString::fromStdString(Text(TextId::FftLibraryMissing)));
  windows_.SetRecordingRelease([this](TNFile& item) { files_.ReleaseReference(item); });
  WireFileCommands();
  LoadSettings(settings_, QtSettingsStore());

  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  timer->setInterval(250);
  connect(timer, &QTimer::timeout, this, &TForm1::FinishStartUp);
  timer->start();
}

TForm1::~TForm1() {
  // The forms go with the MDI area; the window set must not call them then.
  windows_.CloseAll();
}

void TForm1::CreateMenus() {
  QMenu* file = menuBar()->addMenu("Файл");
  file->addAction("Открыть", QKeySequence("Ctrl+O"), this, [this] { commands_.OpenCommand(); });
  save_ = file->addAction("Сохранить", this, [this] { commands_.SaveCommand(); });
  saveAs_ = file->addAction("Сохранить как", QKeySequence("Ctrl+S"), this,
                            [this] { commands_.SaveAsCommand(); });
  save_->setEnabled(false);
  saveAs_->setEnabled(false);
  file->addAction("Комментарий", QKeySequence("Ctrl+E"), this,
                  [this] { commands_.EditComment(true); });
  file->addSeparator();
  file->addAction("Выход", this, &QWidget::close);

  windowsMenu_ = menuBar()->addMenu("Окна");
  windowsMenu_->addAction("Каскад", mdi_, &QMdiArea::cascadeSubWindows);
  windowsMenu_->addAction("Мозаика", QKeySequence("Ctrl+M"), mdi_, &QMdiArea::tileSubWindows);
  windowsSeparator_ = windowsMenu_->addSeparator();

  QMenu* help = menuBar()->addMenu("Справка");
  help->addAction("О программе", this, [this] {
    QMessageBox::about(this, windowTitle(), QString::fromStdString(Text(TextId::ProgramTitle)));
  });
}

void TForm1::CreateStatusBar() {
  for (QLabel*& panel : panels_) {
    panel = new QLabel(this);
    panel->setMinimumWidth(160);
    statusBar()->addWidget(panel);
  }
}

void TForm1::WireFileCommands() {
  FileWindowSteps steps;
  steps.anyAccumulating = [this] { return windows_.AnyAccumulating(); };
  steps.activeAccumulating = [this] {
    TGrWin* w = windows_.ActiveWindow();
    return w && w->Accumulating;
  };
  steps.setTitle = [this](const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
  };
  steps.dropAccumulation = [this] { windows_.DeleteAccumulated(); };
  steps.closeAllWindows = [this] { windows_.CloseAll(); };
  steps.showOpened = [this] { ShowOpened(); };
  steps.refreshCaptions = [this] { windows_.RefreshAll(rec_); };
  commands_.SetWindowSteps(std::move(steps));
}

void TForm1::FinishStartUp() {
  if (!startFile_.isEmpty() && QFileInfo(startFile_).isFile())
    commands_.OpenRecordingFile(QFileInfo(startFile_).absoluteFilePath().toStdString());
}

void TForm1::ShowOpened() {
  save_->setEnabled(false);
  saveAs_->setEnabled(true);
  if (windows_.Count() == 0) {
    OpenFirstTraces(windows_, Context());
    return;
  }
  // Windows of the same mode take the new recording over their whole range.
  for (int i = 0; i < windows_.Count(); ++i) {
    TGrWin& w = windows_.Window(i);
    if (w.Accumulating) continue;
    LayoutWindow(Context(), w);
    ComputeWindow(Context(), w);
    if (w.Form) w.Form->Repaint();
  }
  windows_.RefreshAll(rec_);
}

GraphForm* TForm1::CreateForm(TGrWin& window) {
  auto* form = new TFGraf(window, windows_, Context());
  QMdiSubWindow* sub = mdi_->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(mdi_->size() * 0.8);
  sub->show();
  return form;
}

void TForm1::RebuildWindowsMenu(const std::vector<std::string>& captions) {
  qDeleteAll(windowItems_);
  windowItems_.clear();
  for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
    QAction* item = windowsMenu_->addAction(QString::fromStdString(captions[i]), this, [this, i] {
      if (i < windows_.Count() && windows_.Window(i).Form) windows_.Window(i).Form->BringToFront();
    });
    windowItems_ << item;
  }
  windowsSeparator_->setVisible(!captions.empty());
}

int TForm1::TextWidth(std::string_view text) {
  return QFontMetrics(font()).horizontalAdvance(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!commands_.CloseProgram()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace kalvex

#include "AcquisitionControl.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QThread>
#include <QToolBar>

#include "EquipmentMenu.h"
#include "acquisition/AcquisitionCommands.h"
#include "acquisition/THardware.h"
#include "platform/FileAccess.h"
#include "platform/FileDump.h"
#include "platform/ProgressPanelWidget.h"
#include "platform/RecoveryFolder.h"
#include "platform/SystemSerialLink.h"
#include "platform/TFCommandFile.h"
#include "recordings/FileCommands.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

}  // namespace

// Hands the worker's status to the user-interface thread as posted events:
// the worker never waits for the window.
class AcquisitionControl::Observer : public AcquisitionObserver {
 public:
  explicit Observer(AcquisitionControl& control) : control_(control) {}
  void StatusText(const std::string& text) override { control_.PostStatus(text); }
  void Progress(int indicator) override { control_.PostProgress(indicator); }

 private:
  AcquisitionControl& control_;
};

AcquisitionControl::AcquisitionControl(Context context, QMenu& fileMenu, QToolBar& toolBar)
    : QObject(&context.window),
      ctx_(context),
      recovery_(ctx_.commands, ctx_.rec, ctx_.values, store_, ctx_.ui, RecoveryFolderPath()) {
  QAction* before = fileMenu.actions().value(fileMenu.actions().size() - 1);  // "Выход"
  start_ = new QAction(Q(TextId::MenuStart), this);
  start_->setObjectName(QStringLiteral("Start"));
  start_->setShortcut(QKeySequence(Qt::Key_F7));
  connect(start_, &QAction::triggered, this, &AcquisitionControl::Start);
  stop_ = new QAction(Q(TextId::MenuStop), this);
  stop_->setObjectName(QStringLiteral("Stop"));
  stop_->setShortcut(QKeySequence(Qt::Key_F8));
  stop_->setEnabled(false);
  connect(stop_, &QAction::triggered, this, &AcquisitionControl::Stop);
  recent_ = new QAction(Q(TextId::MenuRecentRecords), this);
  recent_->setObjectName(QStringLiteral("RecentRecords"));
  connect(recent_, &QAction::triggered, this, [this] { recovery_.OpenKeptRecordCommand(); });
  fileMenu.insertActions(before, {start_, stop_, recent_});
  fileMenu.insertSeparator(before);

  // "Отладка" is never shown in the menu bar; F5 works from the window, and
  // Ctrl+Shift+D pops the menu up for the other two items.
  debugMenu_ = new QMenu(Q(TextId::MenuDebug), &ctx_.window);
  debugMenu_->setObjectName(QStringLiteral("DebugMenu"));
  synthetic_ =
      debugMenu_->addAction(Q(TextId::MenuSynthetic), this, &AcquisitionControl::SyntheticSignal);
  synthetic_->setObjectName(QStringLiteral("Synthetic"));
  synthetic_->setShortcut(QKeySequence(Qt::Key_F5));
  ctx_.window.addAction(synthetic_);
  QAction* commandFile = debugMenu_->addAction(Q(TextId::MenuCommandFile), this, [this] {
    EquipmentMenu& eq = ctx_.equipment;
    SystemSerialLink link;
    SendCommandFile(&ctx_.window, eq.Block(), ctx_.rec, ctx_.values, eq.Choices(), link, ctx_.ui);
  });
  commandFile->setObjectName(QStringLiteral("CommandFile"));
  traceDump_ = debugMenu_->addAction(Q(TextId::MenuTraceDump));
  traceDump_->setObjectName(QStringLiteral("TraceDump"));
  traceDump_->setCheckable(true);
  auto* popUp = new QAction(&ctx_.window);
  popUp->setObjectName(QStringLiteral("ShowDebugMenu"));
  popUp->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+D")));
  connect(popUp, &QAction::triggered, this, [this] { debugMenu_->popup(QCursor::pos()); });
  ctx_.window.addAction(popUp);

  startStop_ = toolBar.addAction(QString());
  startStop_->setObjectName(QStringLiteral("StartStop"));
  connect(startStop_, &QAction::triggered, this, &AcquisitionControl::StartStopPressed);
  ShowButton(false);
}

AcquisitionControl::~AcquisitionControl() {
  StopAndWait();
}

void AcquisitionControl::ShowButton(bool running) {
  startStop_->setData(running ? 1 : 0);  // the button's tag
  startStop_->setText(Q(running ? TextId::MenuStop : TextId::MenuStart));
  startStop_->setToolTip(Q(running ? TextId::HintStop : TextId::HintStart));
  startStop_->setIcon(
      ctx_.window.style()->standardIcon(running ? QStyle::SP_MediaStop : QStyle::SP_MediaPlay));
}

void AcquisitionControl::StartStopPressed() {
  if (startStop_->data().toInt() == 0) {
    Start();
    return;
  }
  // The button shows "Пуск" at once; the menus wait for the end of the record.
  ShowButton(false);
  Stop();
}

void AcquisitionControl::Start() {
  if (Running()) return;
  EquipmentMenu& eq = ctx_.equipment;
  if (!PrepareAcquisition(ctx_.rec, ctx_.values, eq.Choices(), eq.Block(), ctx_.values.PortNumber,
                          ctx_.commands, ctx_.ui, CurrentLocalTime()))
    return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetRunning(true);
  ShowButton(true);

  shape_ = ShapeOf(ctx_.rec);
  buffer_.assign(static_cast<std::size_t>(ExpectedDataSize(shape_)), 0);
  block_ = eq.Block();
  link_ = std::make_unique<SystemSerialLink>();
  observer_ = std::make_unique<Observer>(*this);
  dump_ = traceDump_->isChecked() ? std::make_unique<FileDump>() : nullptr;
  hardware_ =
      std::make_unique<THardware>(*link_, *observer_, ctx_.values.PortNumber, block_, buffer_,
                                  dump_.get(), ctx_.settings.Timeout1, ctx_.settings.Timeout2);
  // The link's port objects are made on the worker thread by its opens.
  thread_ = QThread::create([hardware = hardware_.get()] { hardware->Execute(); });
  connect(thread_, &QThread::finished, this, &AcquisitionControl::Finish, Qt::QueuedConnection);
  thread_->start();
}

void AcquisitionControl::SetRunning(bool running) {
  start_->setEnabled(!running);
  stop_->setEnabled(running);
  recent_->setEnabled(!running);
  synthetic_->setEnabled(!running);
  ctx_.setRunning(running);
}

void AcquisitionControl::Stop() {
  if (hardware_) hardware_->RequestStop();
}

void AcquisitionControl::TimeoutsChanged() {
  if (hardware_) hardware_->SetTimeouts(ctx_.settings.Timeout1, ctx_.settings.Timeout2);
}

void AcquisitionControl::StopAndWait() {
  if (!Running()) return;
  Stop();
  thread_->wait();
  Finish();
}

void AcquisitionControl::PostStatus(const std::string& text) {
  QMetaObject::invokeMethod(
      this, [this, text] { ctx_.statusText.setText(QString::fromStdString(text)); },
      Qt::QueuedConnection);
}

void AcquisitionControl::PostProgress(int indicator) {
  latestProgress_.store(indicator);
  // One pending repaint at a time carries the latest value.
  if (progressPosted_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        progressPosted_.store(false);
        ctx_.progress.SetValue(latestProgress_.load());
      },
      Qt::QueuedConnection);
}

void AcquisitionControl::Finish() {
  if (!thread_) return;  // already handled (closing waited for it)
  thread_->wait();
  thread_->deleteLater();
  thread_ = nullptr;
  ctx_.statusText.clear();
  ctx_.progress.SetValue(ProgressBlank);
  SetRunning(false);
  ShowButton(false);
  const int result = hardware_->ResultCode();
  const std::string message =
      AcquisitionResultMessage(result, hardware_->PortName(), hardware_->SystemError());
  hardware_.reset();
  observer_.reset();
  dump_.reset();
  link_.reset();  // the port is free again
  if (!message.empty()) ctx_.ui.ShowMessage(message);
  const LocalDateTime now = CurrentLocalTime();
  if (result == ResultComplete &&
      FillAcquiredRecord(ctx_.rec, ctx_.settings, buffer_, shape_, now, ctx_.ui)) {
    // Kept before anything else can happen to it, and again with its comment.
    recovery_.KeepReceivedRecord(now);
    ctx_.progress.SetValue(ProgressBlank);
    if (ctx_.commands.EditComment(false)) recovery_.UpdateKeptRecord(now);
    ctx_.showRecord();
  }
  buffer_.clear();
  buffer_.shrink_to_fit();
  QApplication::restoreOverrideCursor();
  emit RecordEnded(result);
}

void AcquisitionControl::SyntheticSignal() {
  if (Running()) return;
  if (RunSyntheticSignal(ctx_.rec, ctx_.values, ctx_.settings, ctx_.commands, ctx_.ui,
                         CurrentLocalTime()))
    ctx_.showRecord();
}

}  // namespace kalvex

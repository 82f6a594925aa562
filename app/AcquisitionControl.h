#pragma once
// Taking a record from the main window: "Пуск" (F7), "Стоп" (F8), the tool
// bar's start/stop button, the hidden "Отладка" menu (synthetic signal, the
// command file, the raw dump switch), the worker on its own thread with its
// status fed to the status bar, the end of a record on the user-interface
// thread (the record is also kept in the recovery folder) and "Последние
// записи…", which opens a kept record.

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "acquisition/CommandBlock.h"
#include "acquisition/ReceivedRecord.h"
#include "platform/QtFileStore.h"
#include "recordings/RecordRecovery.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QThread;
class QToolBar;

namespace kalvex {

class EquipmentMenu;
class FileCommands;
class ProgressPanelWidget;
class SerialLink;
class THardware;
class TFrmFile;
class UserInteraction;
struct ProcessValues;
struct ProgramSettings;

class AcquisitionControl : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QMainWindow& window;
    TFrmFile& rec;
    ProcessValues& values;
    const ProgramSettings& settings;
    FileCommands& commands;
    UserInteraction& ui;
    EquipmentMenu& equipment;
    QLabel& statusText;
    ProgressPanelWidget& progress;
    // A new record is in the recording: accumulation, menus, windows.
    std::function<void()> showRecord;
    // Commands that would change the record's shape are refused while a
    // record is being taken.
    std::function<void(bool running)> setRunning;
  };

  // Adds "Пуск", "Стоп" and the hidden "Отладка" menu to `fileMenu`, and the
  // start/stop button to `toolBar`.
  AcquisitionControl(Context context, QMenu& fileMenu, QToolBar& toolBar);
  ~AcquisitionControl() override;

  bool Running() const { return thread_ != nullptr; }
  void Start();
  void Stop();
  // The settings' time-outs changed: a running record takes them at its
  // next check.
  void TimeoutsChanged();
  // Closing the program: a running record is stopped and its end awaited.
  void StopAndWait();
  void SyntheticSignal();
  // The "Отладка" menu, never shown in the menu bar (Ctrl+Shift+D pops it up).
  QMenu& DebugMenu() { return *debugMenu_; }

 signals:
  // A record ended (completed, failed or stopped) and its end was handled.
  void RecordEnded(int resultCode);

 private:
  void StartStopPressed();
  void ShowButton(bool running);
  void SetRunning(bool running);
  void Finish();
  // Status from the worker thread, handed over without waiting.
  void PostStatus(const std::string& text);
  void PostProgress(int indicator);

  Context ctx_;
  QtFileStore store_;
  // Every record received is kept in the recovery folder.
  RecoveryCommands recovery_;
  QAction* start_ = nullptr;
  QAction* stop_ = nullptr;
  QAction* startStop_ = nullptr;
  QAction* traceDump_ = nullptr;
  QAction* synthetic_ = nullptr;
  QAction* recent_ = nullptr;
  QMenu* debugMenu_ = nullptr;

  QThread* thread_ = nullptr;
  std::unique_ptr<SerialLink> link_;
  std::unique_ptr<THardware> hardware_;
  class Observer;
  std::unique_ptr<Observer> observer_;
  std::unique_ptr<class FileDump> dump_;
  CommandBlock block_;
  std::vector<std::uint8_t> buffer_;
  RecordShape shape_;
  std::atomic<int> latestProgress_{0};
  std::atomic<bool> progressPosted_{false};
};

}  // namespace kalvex

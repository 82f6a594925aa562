#pragma once
// The main frame window: the graph windows as MDI child windows, the menus,
// the tool bar and the status bar, and the recording, settings and window set
// it owns. Every command's rules live in the core; this class wires them to
// menus, buttons and the graph forms.

#include <QMainWindow>
#include <QString>
#include <memory>

#include "analysis/AnalysisContext.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/TAllWindows.h"
#include "graphs/TypeDialogModel.h"
#include "graphs/WindowSetHost.h"
#include "platform/QtFileStore.h"
#include "platform/TypeDialogWidget.h"
#include "recordings/FileCommands.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"
#include "shell/SettingsWindowSteps.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace kalvex {

class AcquisitionControl;
class EquipmentMenu;
class ProjectKeeper;
class ReportMenu;
class QcPanel;
class SegyMenu;
class QcHistoryKeeper;
class ProgressPanelWidget;
class TFGraf;

class TForm1 : public QMainWindow, public WindowSetHost {
  Q_OBJECT
 public:
  // `startFile`: opened at the end of start-up when it names an existing file.
  // `ui`: the operator's dialogs; Qt dialogs over this window when null.
  explicit TForm1(const QString& startFile, std::unique_ptr<UserInteraction> ui = nullptr,
                  QWidget* parent = nullptr);
  ~TForm1() override;

  // Serial devices named on the command line that do not exist: start-up
  // says so once, before the equipment is chosen.
  void WarnOfMissingDevices(const QStringList& devices) { missingDevices_ = devices; }

  // WindowSetHost
  GraphForm* CreateForm(TGrWin& window) override;
  void RebuildWindowsMenu(const std::vector<std::string>& captions) override;
  int TextWidth(std::string_view text) override;

  TAllWindows& Windows() { return windows_; }
  TFrmFile& Recording() { return rec_; }
  ProgramSettings& Settings() { return settings_; }
  FileCommands& Commands() { return commands_; }
  QMdiArea& Area() { return *mdi_; }
  ProgressPanelWidget& ProgressPanel() { return *progress_; }
  EquipmentMenu& Equipment() { return *equipment_; }
  AcquisitionControl& Acquisition() { return *acquisition_; }
  ReportMenu& Report() { return *report_; }
  QcPanel& Qc() { return *qc_; }
  QcHistoryKeeper& History() { return *history_; }
  SegyMenu& Segy() { return *segy_; }
  // The graph form of window `index`, or null.
  TFGraf* Form(int index) const;
  // A menu or tool bar action by its object name (e.g. "Open", "SaveAs").
  QAction* Action(const char* name) const;

 signals:
  // Start-up has finished (the command-line file, if any, is open).
  void StartUpFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* AddAction(QMenu* menu, const char* name, TextId text, const char* shortcut,
                     std::function<void()> run);
  void CreateMenus();
  void CreateGraphsMenu();
  void GraphsMenuOpening();
  void ShowGraphTypesOfMode();
  void NewWindow();
  SettingsWindowSteps SettingsSteps();
  void CreateToolBar();
  void CreateStatusBar();
  void WireFileCommands();
  void CreateEquipmentMenu();
  void CreateAcquisitionControl();
  // A new record (received or synthetic) in the windows and menus.
  void ShowRecord();
  void DisableRecordMenus();
  void WireForm(TFGraf& form);
  void PlaceSubWindow(QMdiSubWindow& sub);
  void FinishStartUp();
  void ShowOpened();
  // The recording in the graph windows (the first traces, or every window
  // recomputed) and the menus that follow it; "Сохранить" only for unsaved data.
  void ShowInWindows(bool unsaved);
  void WindowActivated(TFGraf& form);
  void ToggleAccumulation(TFGraf& form, bool on);
  void ExportFrameTables();
  void UpdateDeleteAccumulated();
  AnalysisContext Context() { return {rec_, settings_, values_}; }

  QString startFile_;
  QStringList missingDevices_;
  // Where the process started: the model lists, the project file and the
  // report's files live there.
  QString programDirectory_;
  ProgramSettings settings_;
  ProcessValues values_;
  TFrmFile rec_;
  TNFiles files_;
  QtFileStore store_;
  std::unique_ptr<UserInteraction> ui_;
  TAllWindows windows_;
  FileCommands commands_;
  QtTypeDialogPresenter typePresenter_;
  ModelTypeDialogs typeDialogs_;
  GraphTypeSetup setup_;

  EquipmentMenu* equipment_ = nullptr;
  AcquisitionControl* acquisition_ = nullptr;
  ReportMenu* report_ = nullptr;
  QcPanel* qc_ = nullptr;
  std::unique_ptr<QcHistoryKeeper> history_;
  SegyMenu* segy_ = nullptr;
  ProjectKeeper* project_ = nullptr;
  bool projectRead_ = false;
  QMenu* fileMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMdiArea* mdi_ = nullptr;
  QMenu* graphsMenu_ = nullptr;
  QMenu* windowsMenu_ = nullptr;
  QAction* windowsSeparator_ = nullptr;
  QList<QAction*> windowItems_;
  QLabel* statusText_ = nullptr;
  ProgressPanelWidget* progress_ = nullptr;
};

}  // namespace kalvex

#pragma once
// The main frame window: the graph windows as MDI child windows, the menus,
// the status bar, and the recording, settings and window set it owns.

#include <QMainWindow>
#include <QString>

#include "analysis/AnalysisContext.h"
#include "graphs/TAllWindows.h"
#include "graphs/WindowSetHost.h"
#include "platform/QtFileStore.h"
#include "platform/QtUserInteraction.h"
#include "recordings/FileCommands.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

namespace kalvex {

class TForm1 : public QMainWindow, public WindowSetHost {
  Q_OBJECT
 public:
  // `startFile`: opened at the end of start-up when it names an existing file.
  explicit TForm1(const QString& startFile, QWidget* parent = nullptr);
  ~TForm1() override;

  // WindowSetHost
  GraphForm* CreateForm(TGrWin& window) override;
  void RebuildWindowsMenu(const std::vector<std::string>& captions) override;
  int TextWidth(std::string_view text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateMenus();
  void CreateStatusBar();
  void WireFileCommands();
  void FinishStartUp();
  void ShowOpened();
  AnalysisContext Context() { return {rec_, settings_, values_}; }

  QString startFile_;
  ProgramSettings settings_;
  ProcessValues values_;
  TFrmFile rec_;
  TNFiles files_;
  QtFileStore store_;
  QtUserInteraction ui_;
  TAllWindows windows_;
  FileCommands commands_;

  QMdiArea* mdi_ = nullptr;
  QMenu* windowsMenu_ = nullptr;
  QAction* windowsSeparator_ = nullptr;
  QList<QAction*> windowItems_;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QLabel* panels_[3] = {};
};

}  // namespace kalvex

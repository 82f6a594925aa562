#pragma once
// The main window's project file: read during start-up, its graph windows
// replayed at the first tick of the start-up timer, written when the program
// closes. Places the main window and the graph windows' frames as the file
// says, kept on screen and inside the window area.

#include <QObject>
#include <QString>

#include "recordings/ProjectFile.h"

class QMainWindow;
class QMdiArea;

namespace kalvex {

class ProjectKeeper : public QObject, public ProjectWindowHost {
  Q_OBJECT
 public:
  // The file "Kalvex.prj" in `programDirectory`.
  ProjectKeeper(QMainWindow& window, QMdiArea& area, ProjectState state, FileStore& store,
                const QString& programDirectory);

  // Start-up, after the model lists and the settings: true when the main
  // record was read (the windows come with RestoreProjectWindows).
  bool ReadProjectFile() { return file_.ReadProjectFile(); }
  void RestoreProjectWindows() { file_.RestoreProjectWindows(); }
  // Closing, after the unsaved-data question.
  void WriteProjectFile(UserInteraction& ui) { file_.WriteProjectFile(ui); }

  // ProjectWindowHost
  ProjectRect MainWindowRect() override;
  void SetMainWindowRect(const ProjectRect& rect) override;
  void SetMainWindowTitle(const std::string& title) override;
  ProjectRect FormRect(const TGrWin& window) override;
  void SetFormRect(TGrWin& window, const ProjectRect& rect) override;

 private:
  QMainWindow& window_;
  QMdiArea& area_;
  ProjectFile file_;
};

}  // namespace kalvex

#pragma once
// "Файл" → "Экспорт SEG-Y…" and "Импорт SEG-Y…". Export writes the current
// recording as SEG-Y; import maps a SEG-Y file's traces to the channels of a
// mode in a small dialog, saves them as a new recording file (nothing is
// lost if the program stops afterwards) and opens that file as "Открыть"
// does.

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "analysis/AnalysisContext.h"
#include "segy/SegyImage.h"

class QAction;
class QMenu;
class QWidget;

namespace kalvex {

class FileCommands;
class UserInteraction;

class SegyMenu : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QWidget& window;
    UserInteraction& ui;
    FileCommands& commands;
    std::function<AnalysisContext()> analysis;
  };

  // Adds both items to `fileMenu` before `before`; export stays disabled
  // until there is a recording (SetRecordingShown).
  SegyMenu(Context context, QMenu& fileMenu, QAction* before);

  void SetRecordingShown(bool shown);
  void ExportCommand();
  void ImportCommand();
  // The recording as SEG-Y at `path`; false after saying why it could not be
  // written.
  bool ExportTo(const std::string& path);
  // The mapped traces as a new recording at `recordingPath` (the current
  // recording's parameters), then opened. False after saying why not.
  bool ImportInto(const SegyImage& image, int mode,
                  const std::vector<std::pair<std::string, int>>& pairs,
                  const std::map<int, double>& scales, const std::string& recordingPath);

 private:
  Context ctx_;
  QAction* export_;
};

}  // namespace kalvex

#pragma once
// The project file: the working state kept from one run to the next. Read
// once at start-up (the equipment, mode, port, test parameters, recording
// name and main window's place at once; the graph windows at the first tick
// of the start-up timer), written once when the program closes. Samples are
// not kept: a restored run shows the parameters and empty graph windows.
// User-interface thread only.

#include <string>

#include "recordings/ProjectRecords.h"

namespace kalvex {

struct CommandBlock;
class FileStore;
class TAllWindows;
class TFrmFile;
class UserInteraction;
struct AcquisitionChoices;
struct ProcessValues;
struct ProgramSettings;

// Where the windows are on screen and what the main window is called; the
// desktop program implements it with its frame and child windows.
class ProjectWindowHost {
 public:
  virtual ~ProjectWindowHost() = default;
  virtual ProjectRect MainWindowRect() = 0;
  virtual void SetMainWindowRect(const ProjectRect& rect) = 0;
  virtual void SetMainWindowTitle(const std::string& title) = 0;
  // The place of a graph window's form (zero for a window without one).
  virtual ProjectRect FormRect(const TGrWin& window) = 0;
  virtual void SetFormRect(TGrWin& window, const ProjectRect& rect) = 0;
};

// What the project file reads and writes.
struct ProjectState {
  TFrmFile& rec;
  ProcessValues& values;
  ProgramSettings& settings;
  AcquisitionChoices& choices;
  CommandBlock& block;
  TAllWindows& windows;
};

class ProjectFile {
 public:
  ProjectFile(ProjectState state, ProjectWindowHost& host, FileStore& store, std::string path)
      : state_(state), host_(host), store_(store), path_(std::move(path)) {}

  // Start-up: reads the file and, when its main record is accepted, restores
  // it. A missing, unreadable, short or foreign file is ignored silently.
  // True when the main record was restored.
  bool ReadProjectFile();

  // The first tick of the start-up timer, after ReadProjectFile returned true: one
  // graph window per accepted window record, with its place, settings and
  // empty curves; the polarity, input size and calibration of the last
  // record stay. Then the file is done with.
  void RestoreProjectWindows();

  // Closing: the state and every graph window, written as a complete new
  // file or not at all. A failure shows "Cannot create file ..."; the
  // program closes all the same.
  void WriteProjectFile(UserInteraction& ui);

 private:
  void RestoreWindow(const ProjectWindow& record);

  ProjectState state_;
  ProjectWindowHost& host_;
  FileStore& store_;
  std::string path_;
  ProjectContents contents_;
};

}  // namespace kalvex

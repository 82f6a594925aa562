#pragma once
// The main window's file commands: open, save, save as, the comment editor,
// the unsaved-data question and closing. They work on the current recording
// through the file store and the operator's dialogs; what the graph windows
// and the main window do around them comes in through FileWindowSteps, which
// the desktop program wires to its window set. Used on the user-interface
// thread.

#include <functional>
#include <optional>
#include <string>

#include "recordings/ProcessValues.h"

namespace kalvex {

class FileStore;
class TFrmFile;
class TNFiles;
class UserInteraction;
struct ProgramSettings;

// The window side of the commands. Every step is optional: an empty one does
// nothing (and an empty query answers false).
struct FileWindowSteps {
  // Some graph window accumulates recordings.
  std::function<bool()> anyAccumulating;
  // The active graph window accumulates recordings.
  std::function<bool()> activeAccumulating;
  // The model-list selections go back to none (any header read, refused or not).
  std::function<void()> resetModelSelections;
  // The main window's title (equipment and mode of an opened file).
  std::function<void(const std::string&)> setTitle;
  // An opened file of another mode or length while windows accumulate: every
  // window drops its curves (releasing their snapshots) and leaves
  // accumulation. Runs after the new samples are in.
  std::function<void()> dropAccumulation;
  // An opened file of the same mode but another length: every window adopts
  // the new x range.
  std::function<void()> adoptRecordLength;
  // An opened file joins the accumulating windows: one snapshot, a curve in
  // each such window, the frame analysis of slot 0 when missing.
  std::function<void()> accumulateOpened;
  // An opened file of another mode: every graph window closes.
  std::function<void()> closeAllWindows;
  // After an opened file is in: menus ("Графики", "Отчет", "В файл" on,
  // "Сохранить" off), the first signal traces window or a recompute of every
  // window, the graph types of the mode and the "Удалить накопл." button.
  std::function<void()> showOpened;
  // After a save: every window caption again.
  std::function<void()> refreshCaptions;
};

enum class SaveOutcome { Saved, Cancelled, Failed };

class FileCommands {
 public:
  // `now` gives the local date and time that go into a written header.
  FileCommands(TFrmFile& recording, ProcessValues& values, const ProgramSettings& settings,
               TNFiles& files, FileStore& store, UserInteraction& ui,
               std::function<LocalDateTime()> now);

  void SetWindowSteps(FileWindowSteps steps) { steps_ = std::move(steps); }

  // The filter of both file dialogs (recording files of both kinds).
  static std::string RecordingFilter();
  static constexpr const char* DefaultExtension = ".QRM";
  // "Программа обработки сигналов: equipment [mode]".
  std::string MainTitle() const;

  // The unsaved-data question before the recording is replaced. True to go
  // on. "Yes" saves first (to the file it came from, else under a new name);
  // a save that fails keeps the data and stops, one cancelled in its dialog
  // goes on.
  bool ConfirmDiscard();

  // "Открыть": the question, the open dialog, the file. True when a file was
  // opened.
  bool OpenCommand();

  // Reads `path` into the current recording. A file that cannot be read or
  // is refused shows its message and leaves the recording's data as they
  // were (the analysis cache is cleared after any header read). True when
  // the file was opened.
  bool OpenRecordingFile(const std::string& path);

  // "Сохранить": to the file the recording came from; a recording never
  // saved, or whose name contains "Rec_", asks for a name and gets a new
  // header.
  SaveOutcome SaveCommand();
  // "Сохранить как": always asks for a name; the header is rebuilt only for
  // a recording never saved.
  SaveOutcome SaveAsCommand();

  // After a successful write: the recording is the file at `path`.
  void MarkSaved(const std::string& path);

  // "Комментарий" (fromMenu) or a new record's comment. True when the
  // comment was changed.
  bool EditComment(bool fromMenu);

  // The main window's close request: true when the program may close (the
  // caller then writes the project file).
  bool CloseProgram() { return ConfirmDiscard(); }

 private:
  std::optional<std::string> AskSavePath(const std::string& initialName);
  // Writes the recording to `target`; on failure shows why and changes
  // nothing.
  SaveOutcome Write(const std::string& target, bool rebuildHeader);
  bool Query(const std::function<bool()>& query) const { return query && query(); }
  static void Run(const std::function<void()>& step) {
    if (step) step();
  }

  TFrmFile& rec_;
  ProcessValues& values_;
  const ProgramSettings& settings_;
  TNFiles& files_;
  FileStore& store_;
  UserInteraction& ui_;
  std::function<LocalDateTime()> now_;
  FileWindowSteps steps_;
};

}  // namespace kalvex

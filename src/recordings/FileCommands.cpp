#include "recordings/FileCommands.h"

#include "acquisition/RecordName.h"
#include "recordings/Cp1251.h"
#include "recordings/FileStore.h"
#include "recordings/RecordingModes.h"
#include "recordings/RecordingOpen.h"
#include "recordings/RecordingReader.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {

// The help topic of the comment editor.
constexpr int CommentHelpTopic = 120;

FileCommands::FileCommands(TFrmFile& recording, ProcessValues& values,
                           const ProgramSettings& settings, TNFiles& files, FileStore& store,
                           UserInteraction& ui, std::function<LocalDateTime()> now)
    : rec_(recording),
      values_(values),
      settings_(settings),
      files_(files),
      store_(store),
      ui_(ui),
      now_(std::move(now)) {}

std::string FileCommands::RecordingFilter() {
  return Text(TextId::FilterQrm) + "|*.qrm|" + Text(TextId::FilterFmr) + "|*.fmr";
}

std::string FileCommands::MainTitle() const {
  return FormatText(TextId::ProgramTitleWithMode,
                    {EquipmentName(values_.EquipmentIndex), ModeName(values_.CurrentMode)});
}

bool FileCommands::ConfirmDiscard() {
  // A recording without samples (nothing read or acquired yet) has nothing
  // to lose, whatever its flag says.
  if (!rec_.Modified || settings_.NoSaveConfirmation || !rec_.Channels[0]) return true;
  switch (ui_.AskYesNoCancel(Text(TextId::SaveDataQuestion))) {
    case YesNoCancel::Cancel:
      return false;
    case YesNoCancel::No:
      return true;
    case YesNoCancel::Yes:
      break;
  }
  const SaveOutcome saved = rec_.Origin == OriginFile ? SaveCommand() : SaveAsCommand();
  // The operator asked to keep the data: a save that failed must not be
  // followed by replacing them.
  return saved != SaveOutcome::Failed;
}

bool FileCommands::OpenCommand() {
  if (!ConfirmDiscard()) return false;
  FileDialogRequest request{RecordingFilter(), DefaultExtension, {}, false};
  std::optional<std::string> path = ui_.ChooseFileToOpen(request);
  if (!path || !store_.Exists(*path)) return false;
  return OpenRecordingFile(*path);
}

bool FileCommands::OpenRecordingFile(const std::string& path) {
  StoredFile file = store_.Read(path, MaxRecordingFileSize);
  if (!file.ok()) {
    ui_.ShowError(FormatText(TextId::CannotOpenFile, {path, file.error}));
    return false;
  }
  const int previousMode = rec_.Mode;
  const int previousLength = rec_.RecordLength;
  const bool accumulating = Query(steps_.anyAccumulating);
  LocalDateTime lastWrite = file.lastWrite;
  OpenRequest request{file.bytes, path, &lastWrite, accumulating};
  const int n = OpenRecording(rec_, values_, settings_, request, ui_);
  Run(steps_.resetModelSelections);
  if (n < 0) return false;

  if (steps_.setTitle) steps_.setTitle(MainTitle());
  const bool modeChanged = rec_.Mode != previousMode;
  if ((modeChanged || n != previousLength) && accumulating) Run(steps_.dropAccumulation);
  if (modeChanged) {
    Run(steps_.closeAllWindows);
  } else {
    if (n != previousLength) Run(steps_.adoptRecordLength);
    if (Query(steps_.anyAccumulating)) Run(steps_.accumulateOpened);
  }
  Run(steps_.showOpened);
  return true;
}

std::optional<std::string> FileCommands::AskSavePath(const std::string& initialName) {
  FileDialogRequest request{RecordingFilter(), DefaultExtension, initialName, true};
  return ui_.ChooseFileToSave(request);
}

SaveOutcome FileCommands::SaveCommand() {
  // Any name with "Rec_" in it, even a folder of that name, counts as never
  // saved here.
  if (rec_.Name.empty() || rec_.Name.find("Rec_") != std::string::npos) {
    std::optional<std::string> target =
        AskSavePath(IsUnsavedRecordName(rec_.Name) ? std::string() : rec_.Name);
    if (!target) return SaveOutcome::Cancelled;
    return Write(*target, true);
  }
  return Write(rec_.Name, false);
}

SaveOutcome FileCommands::SaveAsCommand() {
  const bool neverSaved = IsUnsavedRecordName(rec_.Name);
  std::optional<std::string> target = AskSavePath(neverSaved ? std::string() : rec_.Name);
  if (!target) return SaveOutcome::Cancelled;
  // A recording without a name has no header image worth keeping either.
  return Write(*target, neverSaved);
}

SaveOutcome FileCommands::Write(const std::string& target, bool rebuildHeader) {
  if (!rec_.Channels[0]) {
    ui_.ShowError(Text(TextId::NoData));
    return SaveOutcome::Failed;
  }
  // The writer updates the header image as it goes; a save that does not
  // happen must leave it as it was.
  const auto header = rec_.FileHeader;
  const int currentMode = values_.CurrentMode;
  auto restore = [&] {
    rec_.FileHeader = header;
    values_.CurrentMode = currentMode;
  };
  std::vector<std::uint8_t> bytes;
  if (!WriteRecording(rec_, values_, rebuildHeader, now_(), bytes)) {
    restore();
    ui_.ShowError(Text(TextId::RecordTooLong));
    return SaveOutcome::Failed;
  }
  const std::string reason = store_.SaveAtomically(target, bytes);
  if (!reason.empty()) {
    restore();
    ui_.ShowError(FormatText(TextId::CannotCreateFile, {target, reason}));
    return SaveOutcome::Failed;
  }
  MarkSaved(target);
  return SaveOutcome::Saved;
}

void FileCommands::MarkSaved(const std::string& path) {
  rec_.Name = path;
  rec_.Modified = false;
  rec_.Origin = OriginFile;
  Run(steps_.refreshCaptions);
  if (Query(steps_.activeAccumulating))
    if (TNFile* last = files_.Last()) last->Name = path;
}

bool FileCommands::EditComment(bool fromMenu) {
  // An accumulating window shows several recordings: the menu does not
  // decide whose comment it would be.
  if (fromMenu && Query(steps_.activeAccumulating)) return false;
  TextEditRequest request{Text(TextId::CommentEditorTitle), Text(TextId::CommentEditorLabel),
                          rec_.Comment, CommentMaxChars, CommentHelpTopic};
  std::optional<std::string> text = ui_.EditText(request);
  if (!text) return false;
  rec_.Comment = Utf8Prefix(*text, CommentMaxChars);
  rec_.Modified = true;
  if (fromMenu)
    if (TNFile* last = files_.Last()) TNFiles::TakeSnapshot(*last, rec_);
  return true;
}

}  // namespace kalvex

#include "SegyMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "SegyImportDialog.h"
#include "platform/FileAccess.h"
#include "recordings/FileCommands.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "recordings/TestParameters.h"
#include "segy/SegyCodec.h"
#include "segy/SegyExport.h"
#include "segy/SegyImport.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

std::string SegyFilter() {
  return Text(TextId::SegyFileFilter) + "|*.sgy;*.segy";
}

// The file name with another extension, in the same folder.
std::string WithExtension(const std::string& path, const char* extension) {
  const QFileInfo info(PathText(path));
  return NativePath(info.dir().filePath(info.completeBaseName() + QLatin1String(extension)));
}

std::string FileName(const std::string& path) {
  return QFileInfo(PathText(path)).fileName().toStdString();
}

}  // namespace

SegyMenu::SegyMenu(Context context, QMenu& fileMenu, QAction* before)
    : QObject(&fileMenu), ctx_(std::move(context)) {
  export_ = new QAction(QString::fromStdString(Text(TextId::MenuExportSegy)), &fileMenu);
  export_->setObjectName(QStringLiteral("ExportSegy"));
  export_->setEnabled(false);
  connect(export_, &QAction::triggered, this, &SegyMenu::ExportCommand);
  auto* import = new QAction(QString::fromStdString(Text(TextId::MenuImportSegy)), &fileMenu);
  import->setObjectName(QStringLiteral("ImportSegy"));
  connect(import, &QAction::triggered, this, &SegyMenu::ImportCommand);
  fileMenu.insertActions(before, {export_, import});
  fileMenu.insertSeparator(before);
}

void SegyMenu::SetRecordingShown(bool shown) {
  export_->setEnabled(shown);
}

void SegyMenu::ExportCommand() {
  const AnalysisContext analysis = ctx_.analysis();
  const std::string initial = analysis.rec.Name.empty()
                                  ? std::string()
                                  : FileName(WithExtension(analysis.rec.Name, ".sgy"));
  if (auto path = ctx_.ui.ChooseFileToSave({SegyFilter(), ".sgy", initial, true})) ExportTo(*path);
}

bool SegyMenu::ExportTo(const std::string& path) {
  const AnalysisContext analysis = ctx_.analysis();
  SegyExportChoices choices;
  choices.fileName = analysis.rec.Name.empty() ? std::string() : FileName(analysis.rec.Name);
  const std::vector<std::uint8_t> bytes =
      EncodeSegy(RecordingAsSegy(analysis, choices), SegyFormat::Ieee);
  const std::string error = SaveFileAtomically(path, bytes);
  if (error.empty()) return true;
  ctx_.ui.ShowError(FormatText(TextId::CannotCreateFile, {path, error}));
  return false;
}

void SegyMenu::ImportCommand() {
  if (!ctx_.commands.ConfirmDiscard()) return;
  const auto path = ctx_.ui.ChooseFileToOpen({SegyFilter(), ".sgy", "", false});
  if (!path) return;
  FileReadResult file = ReadFileBytes(*path, MaxSegyFileSize);
  if (!file.ok()) {
    ctx_.ui.ShowError(FormatText(TextId::CannotOpenFile, {*path, file.error}));
    return;
  }
  SegyImage image;
  if (auto refusal = DecodeSegy(file.bytes, image)) {
    ctx_.ui.ShowError(*refusal);
    return;
  }
  SegyImportDialog dialog(image, FileName(*path), ctx_.analysis().rec.Mode, ctx_.ui, &ctx_.window);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string initial = FileName(WithExtension(*path, ".qrm"));
  const auto target = ctx_.ui.ChooseFileToSave(
      {FileCommands::RecordingFilter(), FileCommands::DefaultExtension, initial, true});
  if (target) ImportInto(image, dialog.Mode(), dialog.Pairs(), dialog.Scales(), *target);
}

bool SegyMenu::ImportInto(const SegyImage& image, int mode,
                          const std::vector<std::pair<std::string, int>>& pairs,
                          const std::map<int, double>& scales, const std::string& recordingPath) {
  const AnalysisContext current = ctx_.analysis();
  TFrmFile scratch;
  PrepareStartupRecording(scratch);
  scratch.Mode = static_cast<std::uint8_t>(mode);
  CopyTestParameters(scratch, current.rec);
  for (int slot = 0; slot < 6; ++slot)
    scratch.SimilarityChannels[slot].Attenuated = current.rec.SimilarityChannels[slot].Attenuated;
  ProcessValues values = current.values;
  values.ChannelOffset = ChannelOffsetOf(mode);
  SegyImportChoices choices;
  choices.scales = scales;
  std::optional<std::string> refusal =
      AssignTraces(pairs, mode, static_cast<int>(image.traces.size()), choices.channels);
  SegyImportResult result;
  if (!refusal) {
    result =
        ImportSegy(image, choices, {scratch, current.settings, values}, values.SampleRateIndex);
    refusal = result.refusal;
  }
  std::vector<std::uint8_t> bytes;
  if (!refusal && !WriteRecording(scratch, values, true, CurrentLocalTime(), bytes))
    refusal = Text(TextId::RecordTooLong);
  if (refusal) {
    ctx_.ui.ShowError(*refusal);
    return false;
  }
  if (const std::string error = SaveFileAtomically(recordingPath, bytes); !error.empty()) {
    ctx_.ui.ShowError(FormatText(TextId::CannotCreateFile, {recordingPath, error}));
    return false;
  }
  if (!ctx_.commands.OpenRecordingFile(recordingPath)) return false;
  std::string done = FormatText(TextId::SegyImportDone, {std::to_string(choices.channels.size()),
                                                         std::to_string(scratch.RecordLength),
                                                         std::to_string(scratch.SampleRate)});
  if (result.clipped > 0)
    done += "\n" + FormatText(TextId::SegyClipped, {std::to_string(result.clipped)});
  ctx_.ui.ShowInformation(done);
  return true;
}

}  // namespace kalvex

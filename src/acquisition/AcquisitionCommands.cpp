#include "acquisition/AcquisitionCommands.h"

#include "acquisition/SyntheticSignal.h"
#include "recordings/DerivedValues.h"
#include "recordings/FileCommands.h"
#include "recordings/ParameterChecks.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {

bool PrepareAcquisition(TFrmFile& rec, ProcessValues& values, const AcquisitionChoices& choices,
                        CommandBlock& block, int portNumber, FileCommands& commands,
                        UserInteraction& ui, const LocalDateTime& now) {
  if (portNumber < 1) {
    ui.ShowError(Text(TextId::SetPortFirst));
    return false;
  }
  if (!ValidateParameters(rec, values, ui)) return false;
  if (!BuildCommandBlock(block, rec, values, choices, ui)) return false;
  values.RecordingDate = now;
  // A save that fails keeps the unsaved data and does not start: a new
  // record would replace them.
  if (!commands.ConfirmDiscard()) return false;
  // The record the block asks for, whatever length the last file had.
  SetRecordLengths(rec, values.SampleRateIndex);
  return true;
}

bool RunSyntheticSignal(TFrmFile& rec, ProcessValues& values, const ProgramSettings& settings,
                        FileCommands& commands, UserInteraction& ui, const LocalDateTime& now) {
  if (!ValidateParameters(rec, values, ui) || !commands.ConfirmDiscard()) return false;
  commands.EditComment(false);
  rec.ClearAnalyses();
  if (!GenerateSyntheticRecord(rec, values, settings, now, ui)) return false;
  PutSignature(rec.FileHeader);
  rec.Origin = OriginAcquired;
  rec.Modified = true;
  values.RecordingDate = now;
  return true;
}

}  // namespace kalvex

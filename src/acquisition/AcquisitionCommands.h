#pragma once
// The record commands of the main window without their widgets: what Start
// checks and asks before a record is taken, and the synthetic test signal
// that fills the recording instead of a record from the unit. Both leave the
// recording untouched when they stop early.

#include "acquisition/CommandBlock.h"

namespace kalvex {

class FileCommands;
class TFrmFile;
class UserInteraction;
struct LocalDateTime;
struct ProcessValues;
struct ProgramSettings;

// Start's checks in their order: a COM port chosen ("Задайте порт!"), the
// parameters, the command block; then the record's date and the
// unsaved-data question. True when the record may begin; the recording's
// lengths are then those of the record the block asks for.
bool PrepareAcquisition(TFrmFile& rec, ProcessValues& values, const AcquisitionChoices& choices,
                        CommandBlock& block, int portNumber, FileCommands& commands,
                        UserInteraction& ui, const LocalDateTime& now);

// "Синтетический сигнал": the parameters, the unsaved-data question, the
// comment editor, then the signal as an acquired, unsaved record. True when
// the recording now holds it (the caller shows it like a received record).
bool RunSyntheticSignal(TFrmFile& rec, ProcessValues& values, const ProgramSettings& settings,
                        FileCommands& commands, UserInteraction& ui, const LocalDateTime& now);

}  // namespace kalvex

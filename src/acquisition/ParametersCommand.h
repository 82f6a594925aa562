#pragma once
// The "Параметры" command after its dialog was accepted: the reset question,
// the new values in the recording and the process-wide choices, and then
// either the reset of the graph windows (the record layout changed) or their
// recomputation from the recording as it now is.

#include <functional>

#include "acquisition/ParametersDialog.h"

namespace kalvex {

struct ProgramSettings;

// What the command needs of the main window. User-interface thread only.
struct ParameterWindowSteps {
  std::function<bool()> anyWindow;
  std::function<bool()> anyAccumulating;
  // Every accumulating window drops its accumulated records.
  std::function<void()> discardAccumulated;
  // Every window frees its curves.
  std::function<void()> clearAll;
  // The windows' ranges follow a new record length.
  std::function<void()> adaptRanges;
  // Every window is recomputed from the recording.
  std::function<void()> recompute;
  // The record's menus ("Графики", "Сохранить", "Сохранить как") are
  // disabled: there is no record until the next one is taken.
  std::function<void()> disableRecordMenus;
};

struct ParameterTargets {
  TFrmFile& rec;
  ProcessValues& values;
  AcquisitionChoices& choices;
  CommandBlock& block;
  const ProgramSettings& settings;
  const ModelLists& lists;
};

// Applies accepted parameters. With the reset flag and graph windows open,
// asks "Принятие изменений параметров приведет к сбросу графиков.
// Продолжить?" first; No changes nothing (false).
bool ApplyParameters(const AcceptedParameters& accepted, const ParameterTargets& to,
                     UserInteraction& ui, const ParameterWindowSteps& steps);

}  // namespace kalvex

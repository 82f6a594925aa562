#pragma once
// What follows an accepted "Аппаратурные режимы" dialog: the menu
// "Аппаратура" → "Режимы" (a new mode drops the record and every graph
// window) and the prompt after start-up (nothing exists yet to drop). Both
// store the selections and give the main window its title.

#include <functional>
#include <string>

#include "acquisition/EquipmentDialog.h"

namespace kalvex {

class TFrmFile;
struct ProcessValues;

// What the mode change needs of the main window. Every step is optional: an
// empty one does nothing. User-interface thread only.
struct ModeWindowSteps {
  // The unsaved-data question before a new mode drops the record: false
  // (Cancel, or a save that failed) keeps mode and record.
  std::function<bool()> confirmDiscard;
  std::function<bool()> anyAccumulating;
  // Every accumulating window drops its accumulated records ("Удалить накопл.").
  std::function<void()> discardAccumulated;
  // Every window frees its curves.
  std::function<void()> clearAll;
  // Every graph window is closed.
  std::function<void()> closeAll;
  // "Графики", "Сохранить", "Сохранить как", "Отчет" and "В файл" are
  // disabled: there is no record until the next one is taken or read.
  std::function<void()> disableRecordMenus;
  // The main window's title becomes the text given.
  std::function<void(const std::string&)> setTitle;
};

// "Программа обработки сигналов: equipment [mode]" for the current values.
std::string MainWindowTitle(const ProcessValues& values);

// Menu "Режимы" after "Да". When the mode differs from the recording's, the
// unsaved-data question comes first (Cancel changes nothing), then the
// accumulated records, every window's curves, the recording's channels and
// every graph window go. Then the port, baud choice, mode (recording and
// CurrentMode), ChannelOffset (2 for "Dodida") and the title. True when the
// mode changed.
bool ApplyEquipmentChoice(const EquipmentChoice& choice, TFrmFile& rec, ProcessValues& values,
                          const ModeWindowSteps& steps);

// What the start-up prompt shows when no project was read: the equipment,
// port and rate as they are, and no mode, since none was ever chosen (the
// start-up recording's mode 0 is nobody's choice).
EquipmentChoice StartupPromptChoice(const ProcessValues& values);

// The start-up prompt after "Да": the same selections and the title, nothing
// dropped.
void ApplyStartupEquipmentChoice(const EquipmentChoice& choice, TFrmFile& rec,
                                 ProcessValues& values, const ModeWindowSteps& steps);

}  // namespace kalvex

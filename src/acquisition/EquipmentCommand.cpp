#include "acquisition/EquipmentCommand.h"

#include "recordings/ProcessValues.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

void Run(const std::function<void()>& step) {
  if (step) step();
}

// The selections every accepted dialog stores, and the title that shows them.
void StoreChoice(const EquipmentChoice& choice, TFrmFile& rec, ProcessValues& values,
                 const ModeWindowSteps& steps) {
  values.BaudIndex = choice.BaudIndex;
  values.PortNumber = choice.PortNumber;
  rec.Mode = static_cast<std::uint8_t>(choice.Mode);
  values.CurrentMode = choice.Mode;
  values.ChannelOffset = ChannelOffsetOf(choice.Mode);
  if (steps.setTitle) steps.setTitle(MainWindowTitle(values));
}

}  // namespace

std::string MainWindowTitle(const ProcessValues& values) {
  return FormatText(TextId::ProgramTitleWithMode,
                    {EquipmentName(values.EquipmentIndex), ModeName(values.CurrentMode)});
}

bool ApplyEquipmentChoice(const EquipmentChoice& choice, TFrmFile& rec, ProcessValues& values,
                          const ModeWindowSteps& steps) {
  const bool modeChanged = choice.Mode != rec.Mode;
  if (modeChanged && steps.confirmDiscard && !steps.confirmDiscard()) return false;
  values.EquipmentIndex = choice.EquipmentIndex;
  if (modeChanged) {
    if (steps.anyAccumulating && steps.anyAccumulating()) Run(steps.discardAccumulated);
    Run(steps.clearAll);
    // The frame analyses belong to the samples that go now.
    rec.ClearAnalyses();
    rec.FreeChannels();
    Run(steps.closeAll);
    Run(steps.disableRecordMenus);
  }
  StoreChoice(choice, rec, values, steps);
  return modeChanged;
}

EquipmentChoice StartupPromptChoice(const ProcessValues& values) {
  return {values.EquipmentIndex, -1, values.PortNumber, values.BaudIndex};
}

void ApplyStartupEquipmentChoice(const EquipmentChoice& choice, TFrmFile& rec,
                                 ProcessValues& values, const ModeWindowSteps& steps) {
  values.EquipmentIndex = choice.EquipmentIndex;
  StoreChoice(choice, rec, values, steps);
}

}  // namespace kalvex

#include "shell/GeneralSettingsDialog.h"

#include <string>

#include "shell/ProgramSettings.h"
#include "shell/SettingsStore.h"
#include "shell/SettingsWindowSteps.h"

namespace kalvex {
namespace {

constexpr const char* kEnglishCode = "ENU";
constexpr const char* kRussianCode = "RUS";

InterfaceLanguage StoredLanguage(const SettingsStore& store) {
  const StoredValue v = store.Read(settings_names::Language);
  return v.state == StoredValue::State::Text && v.text == kEnglishCode ? InterfaceLanguage::English
                                                                       : InterfaceLanguage::Russian;
}

}  // namespace

GeneralSettingsDialog::GeneralSettingsDialog(const ProgramSettings& settings,
                                             const SettingsStore& store)
    : MinSpectrum(std::to_string(settings.MinSpectrum)),
      MinCorrelation(std::to_string(settings.MinCorrelation)),
      NoSaveConfirmation(settings.NoSaveConfirmation),
      Language(StoredLanguage(store)) {}

bool GeneralSettingsDialog::Accept(ProgramSettings& settings, SettingsStore& store,
                                   const SettingsWindowSteps& steps) const {
  int minSpectrum = 0, minCorrelation = 0;
  if (!ParseStoredInteger(MinSpectrum, minSpectrum) ||
      !ParseStoredInteger(MinCorrelation, minCorrelation))
    return false;

  // Each write stands alone: a value the store refuses is skipped and the
  // record still takes the new choice.
  store.Write(settings_names::Language,
              Language == InterfaceLanguage::English ? kEnglishCode : kRussianCode);
  store.Write(settings_names::MinSpectrum, std::to_string(minSpectrum));
  store.Write(settings_names::MinCorrelation, std::to_string(minCorrelation));
  store.Write(settings_names::Confirm, NoSaveConfirmation ? "N" : "Y");

  settings.MinSpectrum = minSpectrum;
  settings.MinCorrelation = minCorrelation;
  settings.NoSaveConfirmation = NoSaveConfirmation;
  if (steps.redrawAll) steps.redrawAll();
  return true;
}

}  // namespace kalvex

#pragma once
// The "Настройки" dialog without its widgets: the dB floors of the spectrum
// and correlation graphs, the save question and the interface language, held
// as the widgets show them, and what "Да" does with them.

#include <string>

namespace kalvex {

class SettingsStore;
struct ProgramSettings;
struct SettingsWindowSteps;

// The items of "Язык интерфейса", in their order.
enum class InterfaceLanguage : int { Russian = 0, English = 1 };

struct GeneralSettingsDialog {
  static constexpr int HelpTopic = 140;

  // Filled from the record; the language from the stored "Language" value:
  // "ENU" is English, anything else (also a missing value or key) Russian.
  GeneralSettingsDialog(const ProgramSettings& settings, const SettingsStore& store);

  std::string MinSpectrum;     // "Минимум для Spectrum dB", signed integer text
  std::string MinCorrelation;  // "Минимум для Correlation dB", signed integer text
  bool NoSaveConfirmation;     // "Не требовать подтверждения"
  InterfaceLanguage Language;  // "Язык интерфейса"

  // "Да". When either floor is not an integer nothing is written or changed
  // and the dialog counts as not accepted (false). Otherwise writes
  // "Language", "minSpectrum", "minCorrelation" and "Confirm" in this order,
  // a failing write skipping only its own value; then the record takes the
  // floors and the save flag (the language only at the next start) and every
  // graph window is redrawn.
  bool Accept(ProgramSettings& settings, SettingsStore& store,
              const SettingsWindowSteps& steps) const;
};

}  // namespace kalvex

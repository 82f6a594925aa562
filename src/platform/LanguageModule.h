#pragma once
// Start-up language selection: loads the language module for a code into the
// process's text catalogue. A missing or unreadable module leaves the
// built-in Russian texts in force.

#include <QString>

namespace kalvex {

class SettingsStore;

// The code stored under "Language", or "RUS" when there is none.
QString StoredLanguageCode(const SettingsStore& store);

// Applies the module for `code` beside `executablePath`; true when a module
// replaced texts.
bool SelectLanguage(const QString& executablePath, const QString& code);

// The toolkit's own texts (file and print dialogs, standard buttons) in the
// program's language: Qt's Russian translations unless English is in force.
// Needs the application object; replaces any translation installed before.
// False when the translation files are not installed (the dialogs then stay
// English).
bool InstallToolkitTranslations(bool english);

}  // namespace kalvex

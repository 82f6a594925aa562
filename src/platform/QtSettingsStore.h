#pragma once
// The per-user settings store on Qt: on Windows the registry key
// HKEY_CURRENT_USER\SOFTWARE\Crelvantis\Kalvex, elsewhere an INI file
// (by default Qt's per-user "Crelvantis/Kalvex.conf"). Value names are matched
// without regard to case; values are strings.

#include <QString>

#include "shell/SettingsStore.h"

namespace kalvex {

class QtSettingsStore : public SettingsStore {
 public:
  // The operator's own store.
  QtSettingsStore();
  // An INI file at `iniPath` (tests and portable installs).
  explicit QtSettingsStore(QString iniPath);

  bool KeyExists() const override;
  StoredValue Read(std::string_view name) const override;
  bool Write(std::string_view name, std::string_view text) override;

 private:
  QString path_;
  bool registry_ = false;
};

}  // namespace kalvex

#include "platform/LanguageModule.h"

#include <QFile>

#include "shell/LanguageSelection.h"
#include "shell/SettingsStore.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

QString StoredLanguageCode(const SettingsStore& store) {
  StoredValue v = store.Read("Language");
  if (v.state != StoredValue::State::Text || v.text.empty()) return QStringLiteral("RUS");
  return QString::fromStdString(v.text);
}

bool SelectLanguage(const QString& executablePath, const QString& code) {
  if (UsesBuiltInTexts(code.toStdString())) return false;
  QFile module(
      QString::fromStdString(LanguageModulePath(executablePath.toStdString(), code.toStdString())));
  if (!module.open(QIODevice::ReadOnly)) return false;
  QByteArray text = module.readAll();
  return Texts().ApplyModule(
             std::string_view(text.constData(), static_cast<std::size_t>(text.size()))) > 0;
}

}  // namespace kalvex

#include "platform/LanguageModule.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

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

bool InstallToolkitTranslations(bool english) {
  static QTranslator* installed = nullptr;
  if (installed) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  if (english) return true;  // the toolkit's own language
  auto translator = std::make_unique<QTranslator>();
  // "qt" loads the base and its companion modules (qtbase_ru and the rest).
  if (!translator->load(QLocale(QLocale::Russian), QStringLiteral("qt"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  installed = translator.release();
  QCoreApplication::installTranslator(installed);
  return true;
}

}  // namespace kalvex

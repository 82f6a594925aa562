#include "platform/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>
#include <memory>

namespace kalvex {
namespace {

std::unique_ptr<QSettings> Open(const QString& path, bool registry) {
  return std::make_unique<QSettings>(path,
                                     registry ? QSettings::NativeFormat : QSettings::IniFormat);
}

// The stored spelling of a value name, matched without regard to case.
QString StoredName(const QSettings& s, std::string_view name) {
  QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (const QString& key : s.childKeys())
    if (key.compare(wanted, Qt::CaseInsensitive) == 0) return key;
  return {};
}

}  // namespace

QtSettingsStore::QtSettingsStore() {
#ifdef Q_OS_WIN
  path_ = QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Crelvantis\\Kalvex");
  registry_ = true;
#else
  path_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
          QStringLiteral("/Crelvantis/Kalvex.conf");
#endif
}

QtSettingsStore::QtSettingsStore(QString iniPath) : path_(std::move(iniPath)) {}

bool QtSettingsStore::KeyExists() const {
  if (!registry_) return QFileInfo(path_).isFile();
  QSettings parent(QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Crelvantis"),
                   QSettings::NativeFormat);
  return parent.childGroups().contains(QStringLiteral("Kalvex"), Qt::CaseInsensitive);
}

StoredValue QtSettingsStore::Read(std::string_view name) const {
  if (!KeyExists()) return {};
  auto s = Open(path_, registry_);
  QString key = StoredName(*s, name);
  if (key.isEmpty()) return {};
  QVariant v = s->value(key);
  if (!v.canConvert<QString>() || v.typeId() == QMetaType::QStringList)
    return {StoredValue::State::NotText, {}};
  return {StoredValue::State::Text, v.toString().toStdString()};
}

bool QtSettingsStore::Write(std::string_view name, std::string_view text) {
  auto s = Open(path_, registry_);
  QString key = StoredName(*s, name);
  if (key.isEmpty()) key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  s->setValue(key, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  s->sync();
  return s->status() == QSettings::NoError;
}

}  // namespace kalvex

#include "platform/AboutText.h"

#include <QDate>
#include <QLocale>

#include "platform/FftwLoader.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// The compiler's build date ("Dec  9 2026") as 2026-12-09.
QString BuildDate() {
  const QString date = QString::fromLatin1(__DATE__).simplified();
  const QDate parsed = QLocale::c().toDate(date, QStringLiteral("MMM d yyyy"));
  return parsed.isValid() ? parsed.toString(Qt::ISODate) : date;
}

}  // namespace

QString AboutText() {
  QString fft = FftLibraryVersion();
  if (fft.isEmpty()) fft = QString::fromStdString(Text(TextId::AboutNoFftLibrary));
  const std::string lines[] = {
      Text(TextId::ProgramTitle),
      FormatText(TextId::AboutVersion, {KALVEX_VERSION, BuildDate().toStdString()}),
      FormatText(TextId::AboutLibraries, {fft.toStdString(), qVersion()}),
  };
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  return text.join('\n');
}

}  // namespace kalvex

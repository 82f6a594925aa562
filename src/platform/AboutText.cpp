#include "platform/AboutText.h"

#include <QStringList>

#include "platform/FftwLoader.h"
#include "shell/ProgramVersion.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

QString AboutText() {
  QString fft = FftLibraryVersion();
  if (fft.isEmpty()) fft = QString::fromStdString(Text(TextId::AboutNoFftLibrary));
  const std::string lines[] = {
      Text(TextId::ProgramTitle),
      FormatText(TextId::AboutVersion, {ProgramVersion(), BuildDate()}),
      FormatText(TextId::AboutLibraries, {fft.toStdString(), qVersion()}),
  };
  QStringList text;
  for (const std::string& line : lines) text << QString::fromStdString(line);
  return text.join('\n');
}

}  // namespace kalvex

// The desktop program: number format, language, main window, message loop.

#include <QApplication>
#include <QLocale>
#include <clocale>

#include "TForm1.h"
#include "platform/FftwLoader.h"
#include "platform/HelpViewer.h"
#include "platform/LanguageModule.h"
#include "platform/QtSettingsStore.h"

int main(int argc, char* argv[]) {
  // "." is the decimal separator of every conversion for the whole run,
  // whatever the regional settings say now or later.
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

  {
    // A missing or unreadable module keeps the built-in Russian texts; the
    // toolkit's dialogs and the help page follow the texts in force.
    kalvex::QtSettingsStore store;
    const bool english = kalvex::SelectLanguage(QCoreApplication::applicationFilePath(),
                                                kalvex::StoredLanguageCode(store));
    kalvex::InstallToolkitTranslations(english);
    kalvex::SelectHelpLanguage(english);
  }

  const QString firstArgument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  kalvex::TForm1 form(firstArgument);
  form.show();
  const int rc = app.exec();
  kalvex::SaveFftWisdom();
  return rc;
}

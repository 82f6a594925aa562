// The desktop program: number format, language, main window, message loop.

#include <QApplication>
#include <QLocale>
#include <clocale>
#include <optional>

#include "TForm1.h"
#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"
#include "platform/HelpViewer.h"
#include "platform/LanguageModule.h"
#include "platform/SystemSerialLink.h"
#include "platform/QtSettingsStore.h"

int main(int argc, char* argv[]) {
  // The measuring process started at the end of an earlier run: no window.
  if (const std::optional<int> code = kalvex::MeasureFftWisdomIfAsked(argc, argv)) return *code;
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

  // kalvex [--port DEVICE]... [FILE]: each --port adds a serial device (a
  // pseudo-terminal, or one Qt does not list) to the ports the equipment
  // dialog offers.
  QString firstArgument;
  QStringList missingDevices;
  const QStringList arguments = QCoreApplication::arguments();
  for (int i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QLatin1String("--port") && i + 1 < arguments.size()) {
      if (!kalvex::AddSerialDevice(arguments[++i])) missingDevices << arguments[i];
    } else if (firstArgument.isEmpty()) {
      firstArgument = arguments[i];
    }
  }
  kalvex::TForm1 form(firstArgument);
  form.WarnOfMissingDevices(missingDevices);
  form.show();
  const int rc = app.exec();
  kalvex::SaveFftWisdom();
  kalvex::StartFftWisdomMeasurement();
  return rc;
}

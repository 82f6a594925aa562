#pragma once
// The report commands of the main window: "Отчет" (F4) on the printer,
// "Отчет в PDF…" in the "Файл" menu, and the hidden "В файл" bitmap. Keeps
// the printer (its page set-up) and the colour choice for the run.

#include <QObject>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QMainWindow;
class QMenu;

namespace kalvex {

class EquipmentMenu;
class UserInteraction;
struct AnalysisContext;
struct QcOutcome;
struct ReportSteps;
struct ReportValues;

class ReportMenu : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QMainWindow& window;
    UserInteraction& ui;
    EquipmentMenu& equipment;
    QLabel& statusText;
    std::function<AnalysisContext()> analysis;
    std::function<void()> recomputeWindows;
    std::function<void()> refreshWindows;
    // The QC verdict the reports carry; null: none (the page as always).
    std::function<std::shared_ptr<const QcOutcome>()> qcOutcome;
    // The vibrator number typed in the report dialog, when one was.
    std::function<void(const std::string&)> vibratorNumber;
  };

  // Adds "Отчет" to the menu bar before "Окна", "Отчет в PDF…" to `fileMenu`
  // and "В файл" to `hiddenMenu`. Files go to `programDirectory`.
  ReportMenu(Context context, QMenu& fileMenu, QMenu& hiddenMenu, QString programDirectory);

  // The printer "Отчет" prints on (tests send it to a PDF file).
  QPrinter& Printer() { return printer_; }

  void Print();
  void ToPdf();
  void ToBitmap();

 private:
  // The report may be drawn: a recording with samples (else says why).
  bool Allowed();
  ReportSteps Steps() const;
  std::string VibModelName() const;
  // The dialog's values with the QC verdict, when there is one.
  ReportValues WithQc(ReportValues values) const;
  // Values accepted in the report dialog: its vibrator number is passed on.
  ReportValues Accepted(ReportValues values) const;
  void Save(const QString& path, const QByteArray& bytes);

  Context ctx_;
  QString directory_;
  QPrinter printer_;
  bool colour_ = true;  // kept for the run
};

}  // namespace kalvex

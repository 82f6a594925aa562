#pragma once
// The "Печатный отчет" dialog on screen: the vibrator number, drive level and
// sweep values of the report, the colour choice, the page orientation and
// "Параметры печати" (the platform's page set-up for the printer).

#include <QDialog>
#include <array>
#include <optional>

#include "graphs/ReportDialog.h"

class QLineEdit;
class QPrinter;
class QRadioButton;
class QCheckBox;

namespace kalvex {

class UserInteraction;

class TFPrt : public QDialog {
  Q_OBJECT
 public:
  // `printer` (may be null) is what "Параметры печати" sets up.
  TFPrt(ReportDialog& model, QPrinter* printer, UserInteraction& ui, QWidget* parent = nullptr);

  QLineEdit* FieldWidget(ReportDialog::FieldId id) const { return fields_[id]; }
  QRadioButton* ColourButton() const { return colour_; }
  QRadioButton* BlackWhiteButton() const { return blackWhite_; }

 public slots:
  void accept() override;

 private:
  ReportDialog& model_;
  QPrinter* printer_;
  std::array<QLineEdit*, ReportDialog::Count> fields_{};
  QRadioButton* colour_ = nullptr;
  QRadioButton* blackWhite_ = nullptr;
  QCheckBox* landscape_ = nullptr;
};

// Shows the dialog modally; the values on "Да", nullopt on "Отменить".
// `colour` is the choice kept for the run: it pre-selects the colours and
// takes the new choice on "Да".
std::optional<ReportValues> EditReportSettings(QWidget* parent, int recordingMode, bool& colour,
                                               QPrinter* printer, UserInteraction& ui);

}  // namespace kalvex

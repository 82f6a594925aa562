#include "platform/TFPrt.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/DialogButtons.h"
#include "platform/TEditDig.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

QLineEdit* FieldEdit(const ReportDialog::Field& f, QWidget* parent) {
  QLineEdit* edit = nullptr;
  if (f.numeric) {
    auto* digits = new TEditDig(parent);
    const TEditDigOptions o = ReportDialog::NumericOptions();
    digits->SetInteg(o.Integ());
    digits->SetZnak(o.Znak());
    digits->SetMayBeNul(o.MayBeNul());
    edit = digits;
  } else {
    edit = new QLineEdit(parent);
  }
  edit->setObjectName(QString::fromLatin1(f.name));
  edit->setMaxLength(f.maxLength);
  edit->setEnabled(f.enabled);
  edit->setText(QString::fromStdString(f.text));
  edit->setFixedWidth(
      edit->fontMetrics().horizontalAdvance(QStringLiteral("0")) * (f.maxLength + 2) + 12);
  return edit;
}

}  // namespace

TFPrt::TFPrt(ReportDialog& model, QPrinter* printer, UserInteraction& ui, QWidget* parent)
    : QDialog(parent), model_(model), printer_(printer) {
  setObjectName(QStringLiteral("TFPrt"));
  setWindowTitle(Q(TextId::ReportTitle));
  for (int i = 0; i < ReportDialog::Count; ++i) fields_[i] = FieldEdit(model.fields[i], this);

  auto* top = new QFormLayout;
  top->addRow(Q(TextId::ReportVibNumber), fields_[ReportDialog::VibNumber]);
  top->addRow(Q(TextId::ReportDriveLevel), fields_[ReportDialog::DriveLevel]);
  auto* sweep = new QGroupBox(Q(TextId::ReportSweepGroup), this);
  auto* sweepForm = new QFormLayout(sweep);
  for (int i = ReportDialog::StartHz; i < ReportDialog::Count; ++i)
    sweepForm->addRow(Q(model.fields[i].label), fields_[i]);

  auto* colours = new QGroupBox(Q(TextId::ReportColours), this);
  colour_ = new QRadioButton(Q(TextId::ReportColour), colours);
  colour_->setObjectName(QStringLiteral("Colour"));
  blackWhite_ = new QRadioButton(Q(TextId::ReportBlackWhite), colours);
  blackWhite_->setObjectName(QStringLiteral("BlackWhite"));
  (model.colour ? colour_ : blackWhite_)->setChecked(true);
  auto* colourLayout = new QVBoxLayout(colours);
  colourLayout->addWidget(colour_);
  colourLayout->addWidget(blackWhite_);

  landscape_ = new QCheckBox(Q(TextId::ReportLandscape), this);
  landscape_->setObjectName(QStringLiteral("Landscape"));
  landscape_->setChecked(printer_ ? printer_->pageLayout().orientation() == QPageLayout::Landscape
                                  : model.landscape);
  auto* pageSetup = new QPushButton(Q(TextId::ReportPageSetup), this);
  pageSetup->setObjectName(QStringLiteral("PageSetup"));
  pageSetup->setEnabled(printer_ != nullptr);
  // The platform's printer set-up: which printer, its paper and the
  // orientation. The choice stays with the report's printer for the run.
  connect(pageSetup, &QPushButton::clicked, this, [this] {
    QPrintDialog setup(printer_, this);
    setup.setObjectName(QStringLiteral("PrinterSetup"));
    setup.setWindowTitle(Q(TextId::ReportPageSetup));
    setup.setOptions(QAbstractPrintDialog::PrintShowPageSize);
    if (setup.exec() == QDialog::Accepted)
      landscape_->setChecked(printer_->pageLayout().orientation() == QPageLayout::Landscape);
  });

  const DialogButtons buttons = MakeDialogButtons(*this, ui, ReportDialog::HelpTopic);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(sweep);
  layout->addWidget(colours);
  layout->addWidget(landscape_);
  layout->addWidget(pageSetup, 0, Qt::AlignLeft);
  layout->addWidget(buttons.box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFPrt::accept() {
  for (int i = 0; i < ReportDialog::Count; ++i)
    model_.fields[i].text = fields_[i]->text().toStdString();
  model_.colour = colour_->isChecked();
  model_.landscape = landscape_->isChecked();
  if (printer_)
    printer_->setPageOrientation(model_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  QDialog::accept();
}

std::optional<ReportValues> EditReportSettings(QWidget* parent, int recordingMode, bool& colour,
                                               QPrinter* printer, UserInteraction& ui) {
  ReportDialog model(recordingMode, colour);
  TFPrt dialog(model, printer, ui, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  colour = model.colour;
  return model.Values();
}

}  // namespace kalvex

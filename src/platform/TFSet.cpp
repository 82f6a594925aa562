#include "platform/TFSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/DialogButtons.h"
#include "platform/TEditDig.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

// A signed integer field ("-40"): sign allowed, no leading zero.
TEditDig* FloorField(const std::string& text, const char* name, QWidget* parent) {
  auto* field = new TEditDig(parent);
  field->setObjectName(QLatin1String(name));
  field->SetZnak(true);
  field->SetInteg(true);
  field->SetMayBeNul(false);
  field->setMaxLength(11);  // "-2147483648"
  field->setText(QString::fromStdString(text));
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-0000000")) + 12);
  return field;
}

}  // namespace

TFSet::TFSet(ProgramSettings& settings, SettingsStore& store, UserInteraction& ui,
             SettingsWindowSteps steps, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      store_(store),
      steps_(std::move(steps)),
      model_(settings, store) {
  setWindowTitle(Q(TextId::GeneralSettingsTitle));

  minSpectrum_ = FloorField(model_.MinSpectrum, "MinSpectrum", this);
  minCorrelation_ = FloorField(model_.MinCorrelation, "MinCorrelation", this);
  auto* floors = new QFormLayout;
  floors->addRow(Q(TextId::MinSpectrumLabel), minSpectrum_);
  floors->addRow(Q(TextId::MinCorrelationLabel), minCorrelation_);

  auto* saving = new QGroupBox(Q(TextId::SaveDataGroup), this);
  noSaveConfirmation_ = new QCheckBox(Q(TextId::NoSaveConfirmationCheck), saving);
  noSaveConfirmation_->setObjectName(QStringLiteral("NoSaveConfirmation"));
  noSaveConfirmation_->setChecked(model_.NoSaveConfirmation);
  (new QVBoxLayout(saving))->addWidget(noSaveConfirmation_);

  auto* languageBox = new QGroupBox(Q(TextId::InterfaceLanguageLabel), this);
  language_ = new QComboBox(languageBox);
  language_->setObjectName(QStringLiteral("Language"));
  language_->addItem(Q(TextId::LanguageRussian));
  language_->addItem(Q(TextId::LanguageEnglish));
  language_->setCurrentIndex(static_cast<int>(model_.Language));
  auto* restartNote = new QLabel(Q(TextId::LanguageRestartNote), languageBox);
  auto* languageLayout = new QVBoxLayout(languageBox);
  languageLayout->addWidget(language_, 0, Qt::AlignLeft);
  languageLayout->addWidget(restartNote);

  const DialogButtons buttons = MakeDialogButtons(*this, ui, GeneralSettingsDialog::HelpTopic);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(floors);
  layout->addWidget(saving);
  layout->addWidget(languageBox);
  layout->addSpacing(6);
  layout->addWidget(buttons.box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFSet::accept() {
  model_.MinSpectrum = minSpectrum_->text().toStdString();
  model_.MinCorrelation = minCorrelation_->text().toStdString();
  model_.NoSaveConfirmation = noSaveConfirmation_->isChecked();
  model_.Language = static_cast<InterfaceLanguage>(language_->currentIndex());
  accepted_ = model_.Accept(settings_, store_, steps_);
  QDialog::accept();
}

bool EditGeneralSettings(QWidget* parent, ProgramSettings& settings, SettingsStore& store,
                         UserInteraction& ui, const SettingsWindowSteps& steps) {
  TFSet dialog(settings, store, ui, steps, parent);
  dialog.exec();
  return dialog.Accepted();
}

}  // namespace kalvex

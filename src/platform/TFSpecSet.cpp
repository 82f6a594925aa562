#include "platform/TFSpecSet.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QList>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/DialogButtons.h"
#include "platform/TEditDig.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

// An unsigned integer field; `zeroFirst`: "0" may be typed first (a time-out
// of 0 switches it off).
TEditDig* CountField(const std::string& text, const char* name, bool zeroFirst, QWidget* parent) {
  auto* field = new TEditDig(parent);
  field->setObjectName(QLatin1String(name));
  field->SetZnak(false);
  field->SetInteg(true);
  field->SetMayBeNul(zeroFirst);
  field->setMaxLength(9);
  field->setText(QString::fromStdString(text));
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 12);
  return field;
}

// An unsigned coefficient field with four decimals ("1.0000").
TEditDig* CoefficientField(const std::string& text, int channel, QWidget* parent) {
  auto* field = new TEditDig(parent);
  field->setObjectName(QStringLiteral("Channel%1").arg(channel + 1));
  field->SetZnak(false);
  field->SetInteg(false);
  field->SetAfterZpt(SpecialSettingsDialog::CalibrationDecimals);
  field->setMaxLength(SpecialSettingsDialog::CalibrationMaxChars);
  field->setText(QString::fromStdString(text));
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0.00000")) + 12);
  return field;
}

// The focus leaves the field for another field or button of the dialog (not
// for a message box, a menu or another window).
bool LeavesForAnotherField(const QFocusEvent& event) {
  switch (event.reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
      return true;
    default:
      return false;
  }
}

}  // namespace

TFSpecSet::TFSpecSet(const ProgramSettings& settings, SettingsStore& store, UserInteraction& ui,
                     QWidget* parent)
    : QDialog(parent), store_(store), ui_(ui), model_(settings) {
  setWindowTitle(Q(TextId::SpecialSettingsTitle));

  auto* waits = new QGroupBox(this);
  timeout1_ = CountField(model_.Timeout1, "Timeout1", true, waits);
  timeout2_ = CountField(model_.Timeout2, "Timeout2", true, waits);
  auto* waitsLayout = new QFormLayout(waits);
  waitsLayout->addRow(new QLabel(Q(TextId::HeaderWaitLabel), waits), timeout1_);
  waitsLayout->addRow(new QLabel(Q(TextId::DataWaitLabel), waits), timeout2_);
  waitsLayout->addRow(new QLabel(Q(TextId::TimeoutOffNote), waits));

  auto* frames = new QGroupBox(this);
  frame_ = CountField(model_.AmplitudeFrame, "AmplitudeFrame", false, frames);
  step_ = CountField(model_.AmplitudeStep, "AmplitudeStep", false, frames);
  auto* framesLayout = new QFormLayout(frames);
  framesLayout->addRow(new QLabel(Q(TextId::AmplitudeFrameLabel), frames), frame_);
  framesLayout->addRow(new QLabel(Q(TextId::AmplitudeStepLabel), frames), step_);
  // The fields of both groups in one column.
  QList<QWidget*> labels;
  for (QFormLayout* form : {waitsLayout, framesLayout})
    for (int row = 0; row < 2; ++row)
      labels.append(form->itemAt(row, QFormLayout::LabelRole)->widget());
  int labelWidth = 0;
  for (QWidget* label : labels) labelWidth = std::max(labelWidth, label->sizeHint().width());
  for (QWidget* label : labels) label->setMinimumWidth(labelWidth);

  auto* sizes = new QGroupBox(Q(TextId::InputSizeGroup), this);
  auto* sizesLayout = new QHBoxLayout(sizes);
  const TextId sizeTexts[] = {TextId::InputSizeNearestPower, TextId::InputSize32768,
                              TextId::InputSizeWholeSignal};
  for (int i = 0; i < 3; ++i) {
    inputSize_[i] = new QRadioButton(Q(sizeTexts[i]), sizes);
    inputSize_[i]->setObjectName(QStringLiteral("InputSize%1").arg(i));
    sizesLayout->addWidget(inputSize_[i]);
  }
  sizesLayout->addStretch();
  const int chosen = static_cast<int>(model_.InputSize);
  inputSize_[chosen >= 0 && chosen < 3 ? chosen : 0]->setChecked(true);

  auto* calibration = new QGroupBox(this);
  auto* calibrationLayout = new QFormLayout(calibration);
  calibrationLayout->addRow(new QLabel(Q(TextId::CalibrationCaption), calibration));
  for (int k = 0; k < 6; ++k) {
    channels_[k] = CoefficientField(model_.ChannelCalibration[k], k, calibration);
    calibrationLayout->addRow(QString::fromStdString(FormatText(TextId::CalibrationChannelLabel,
                                                                {std::to_string(k + 1)})),
                              channels_[k]);
  }
  channels_[0]->installEventFilter(this);

  const DialogButtons buttons = MakeDialogButtons(*this, ui, SpecialSettingsDialog::HelpTopic);

  auto* grid = new QGridLayout(this);
  grid->addWidget(waits, 0, 0);
  grid->addWidget(frames, 1, 0);
  grid->addWidget(sizes, 2, 0);
  grid->addWidget(calibration, 0, 1, 3, 1);
  grid->addWidget(buttons.box, 3, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TFSpecSet::ReadFields() {
  model_.Timeout1 = timeout1_->text().toStdString();
  model_.Timeout2 = timeout2_->text().toStdString();
  model_.AmplitudeFrame = frame_->text().toStdString();
  model_.AmplitudeStep = step_->text().toStdString();
  for (int i = 0; i < 3; ++i)
    if (inputSize_[i]->isChecked()) model_.InputSize = static_cast<FundamentalInputSize>(i);
  for (int k = 0; k < 6; ++k) model_.ChannelCalibration[k] = channels_[k]->text().toStdString();
}

bool TFSpecSet::eventFilter(QObject* watched, QEvent* event) {
  // The error box itself takes the focus away: no second check for that.
  if (watched == channels_[0] && event->type() == QEvent::FocusOut && !checkingFirstChannel_ &&
      LeavesForAnotherField(*static_cast<QFocusEvent*>(event))) {
    checkingFirstChannel_ = true;
    ReadFields();
    model_.LeaveFirstChannel(ui_);
    checkingFirstChannel_ = false;
  }
  return QDialog::eventFilter(watched, event);
}

void TFSpecSet::accept() {
  ReadFields();
  if (const std::optional<int> refused = model_.RefusedChannelOnYes(ui_)) {
    // Back to the field to correct; moving there is no leaving of "Канал 1:"
    // worth a second box.
    checkingFirstChannel_ = true;
    channels_[*refused]->setFocus(Qt::OtherFocusReason);
    channels_[*refused]->selectAll();
    checkingFirstChannel_ = false;
    return;
  }
  result_ = model_.Accept(store_);
  QDialog::accept();
}

std::optional<SpecialSettings> EditSpecialSettings(QWidget* parent, const ProgramSettings& settings,
                                                   SettingsStore& store, UserInteraction& ui) {
  TFSpecSet dialog(settings, store, ui, parent);
  dialog.exec();
  return dialog.Result();
}

}  // namespace kalvex

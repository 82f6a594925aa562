#include "platform/TFHardw.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include "platform/DialogButtons.h"
#include "recordings/RecordingModes.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

}  // namespace

TFHardw::TFHardw(const EquipmentChoice& current, bool mandatory, SerialLink& link,
                 UserInteraction& ui, QWidget* parent)
    : QDialog(parent), model_(current, mandatory, link), ui_(ui) {
  setObjectName(QStringLiteral("TFHardw"));
  setWindowTitle(Q(TextId::EquipmentDialogTitle));
  if (mandatory) {
    // No close box and no system menu: the prompt ends only with "Да".
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }

  auto* equipmentBox = new QGroupBox(Q(TextId::EquipmentGroup), this);
  auto* equipmentLayout = new QVBoxLayout(equipmentBox);
  const TextId equipmentTexts[] = {TextId::EquipmentQuorimeter, TextId::EquipmentButtonMarlo};
  for (int k = 0; k < EquipmentDialog::EquipmentCount; ++k) {
    auto* button = new QRadioButton(Q(equipmentTexts[k]), equipmentBox);
    button->setObjectName(QStringLiteral("Equipment%1").arg(k));
    // The model keeps the choice; the buttons only show it.
    button->setAutoExclusive(false);
    connect(button, &QRadioButton::clicked, this, [this, k] {
      model_.ClickEquipment(k);
      ShowModel();
    });
    equipmentLayout->addWidget(button);
    equipment_[k] = button;
  }
  // The notebook unit's designation, under its button and in line with its text.
  auto* marloLabel = new QLabel(Q(TextId::EquipmentMarloLabel), equipmentBox);
  marloLabel->setObjectName(QStringLiteral("MarloLabel"));
  QStyleOptionButton option;
  option.initFrom(equipment_[1]);
  marloLabel->setContentsMargins(
      style()->subElementRect(QStyle::SE_RadioButtonContents, &option, equipment_[1]).left(), 0, 0,
      0);
  equipmentLayout->addWidget(marloLabel);
  equipmentLayout->addStretch(1);

  auto* modesBox = new QGroupBox(Q(TextId::ModesGroup), this);
  auto* modesLayout = new QVBoxLayout(modesBox);
  for (int m = 0; m < EquipmentDialog::ModeCount; ++m) {
    auto* button = new QRadioButton(
        QString::fromUtf8(ModeName(m).data(), static_cast<qsizetype>(ModeName(m).size())),
        modesBox);
    button->setObjectName(QStringLiteral("Mode%1").arg(m));
    button->setAutoExclusive(false);
    connect(button, &QRadioButton::clicked, this, [this, m] {
      model_.ClickMode(m);
      ShowModel();
    });
    modesLayout->addWidget(button);
    modes_[m] = button;
  }

  auto* portBox = new QGroupBox(Q(TextId::PortGroup), this);
  ports_ = new QComboBox(portBox);
  ports_->setObjectName(QStringLiteral("ComPort"));
  for (const PortEntry& entry : model_.Ports())
    ports_->addItem(QString::fromStdString(entry.label));
  ports_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  ports_->setMinimumContentsLength(8);
  connect(ports_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectPort(index); });
  auto* portLayout = new QVBoxLayout(portBox);
  portLayout->addWidget(ports_);

  // Kept for the project file; the line does not use it, so it is not shown.
  auto* baudLabel = new QLabel(Q(TextId::BaudLabel), this);
  baud_ = new QComboBox(this);
  baud_->setObjectName(QStringLiteral("Baud"));
  for (const std::string& item : BaudItems()) baud_->addItem(QString::fromStdString(item));
  connect(baud_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectBaud(index); });
  baudLabel->hide();
  baud_->hide();

  const DialogButtons buttons = MakeDialogButtons(*this, ui, EquipmentDialog::HelpTopic);
  cancel_ = buttons.cancel;
  cancel_->setEnabled(model_.MayCancel());

  auto* groups = new QHBoxLayout;
  groups->addWidget(equipmentBox);
  groups->addWidget(modesBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addWidget(portBox);
  layout->addWidget(baudLabel);
  layout->addWidget(baud_);
  layout->addWidget(buttons.box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowModel();
}

void TFHardw::ShowModel() {
  for (int k = 0; k < EquipmentDialog::EquipmentCount; ++k)
    equipment_[k]->setChecked(model_.Equipment() == k);
  for (int m = 0; m < EquipmentDialog::ModeCount; ++m) {
    modes_[m]->setChecked(model_.Mode() == m);
    modes_[m]->setEnabled(model_.ModeEnabled(m));
  }
  {
    const QSignalBlocker block(ports_);
    ports_->setCurrentIndex(model_.PortIndex());
  }
  const QSignalBlocker block(baud_);
  baud_->setCurrentIndex(model_.BaudIndex());
}

void TFHardw::accept() {
  result_ = model_.Accept(ui_);
  if (result_) QDialog::accept();
}

void TFHardw::reject() {
  if (model_.MayCancel()) QDialog::reject();
}

void TFHardw::closeEvent(QCloseEvent* event) {
  if (!model_.MayCancel()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFHardw::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred over the main window, or on the screen when there is none.
  QRect area;
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr)
    area = owner->frameGeometry();
  else if (QScreen* screen = this->screen())
    area = screen->availableGeometry();
  if (area.isValid())
    move(area.center() - QPoint(frameGeometry().width(), frameGeometry().height()) / 2);
}

std::optional<EquipmentChoice> SelectEquipment(QWidget* parent, const EquipmentChoice& current,
                                               bool mandatory, SerialLink& link,
                                               UserInteraction& ui) {
  TFHardw dialog(current, mandatory, link, ui, parent);
  dialog.exec();
  return dialog.Result();
}

}  // namespace kalvex

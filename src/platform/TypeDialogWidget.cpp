#include "platform/TypeDialogWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/UserInteraction.h"

namespace kalvex {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QComboBox* ListBox(const std::vector<std::string>& items, int index, QWidget* parent) {
  auto* box = new QComboBox(parent);
  for (const std::string& item : items) box->addItem(Q(item));
  box->setCurrentIndex(index);  // -1 shows nothing chosen
  return box;
}

}  // namespace

TypeDialogWidget::TypeDialogWidget(TypeDialog& dialog, UserInteraction& ui, QWidget* parent)
    : QDialog(parent), dialog_(dialog), ui_(ui) {
  setObjectName(Q(dialog.model.formName));
  setWindowTitle(Q(dialog.model.caption));
  auto* layout = new QVBoxLayout(this);
  radios_.resize(dialog.model.groups.size());
  units_.resize(dialog.model.groups.size());
  for (int g = 0; g < int(dialog.model.groups.size()); ++g) layout->addWidget(BuildGroup(g));

  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(Q(Text(TextId::DialogYes)), this);
  cancel_ = new QPushButton(Q(Text(TextId::DialogCancel)), this);
  help_ = new QPushButton(Q(Text(TextId::HelpTitle)), this);
  help_->setToolTip(Q(Text(TextId::HintHelp)));
  ok_->setDefault(true);
  buttons->addStretch(1);
  for (QPushButton* b : {ok_, cancel_, help_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, &TypeDialogWidget::PressOk);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(help_, &QPushButton::clicked, this, [this] { ui_.ShowHelp(dialog_.model.helpTopic); });
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TypeDialogWidget::BuildGroup(int g) {
  DialogGroup& group = dialog_.model.groups[g];
  auto* box = new QGroupBox(Q(group.title), this);
  auto* grid = new QGridLayout(box);
  int row = 0;
  auto* radioGroup = new QButtonGroup(box);
  for (int r = 0; r < int(group.radios.size()); ++r) {
    auto* radio = new QRadioButton(Q(group.radios[r]), box);
    radio->setObjectName(QStringLiteral("RadioGroup%1Item%2").arg(g).arg(r));
    radioGroup->addButton(radio, r);
    grid->addWidget(radio, row++, 0, 1, 2);
    radios_[g].push_back(radio);
  }
  connect(radioGroup, &QButtonGroup::idClicked, this,
          [this, g](int id) { dialog_.model.groups[g].radio = id; });
  for (int c = 0; c < int(group.checks.size()); ++c) {
    const DialogCheck& check = group.checks[c];
    auto* tick = new QCheckBox(Q(check.label), box);
    tick->setObjectName(Q(check.name));
    tick->setChecked(check.checked);
    grid->addWidget(tick, row, 0);
    units_[g].push_back(nullptr);
    connect(tick, &QCheckBox::toggled, this, [this, g, c](bool on) {
      dialog_.model.groups[g].checks[c].checked = on;
      dialog_.CheckChanged(g, c);
      SyncFromModel();
    });
    if (!check.units.empty()) {
      std::vector<std::string> labels;
      for (const UnitChoice& u : check.units) labels.push_back(u.label);
      QComboBox* units = ListBox(labels, check.unit, box);
      units->setObjectName(Q(check.name) + QStringLiteral("Unit"));
      grid->addWidget(units, row, 1);
      units_[g].back() = units;
      connect(units, &QComboBox::currentIndexChanged, this,
              [this, g, c](int i) { dialog_.model.groups[g].checks[c].unit = i; });
    }
    ++row;
  }
  for (int l = 0; l < int(group.lists.size()); ++l) {
    const DialogList& list = group.lists[l];
    QComboBox* combo = ListBox(list.items, list.index, box);
    combo->setObjectName(Q(list.name));
    if (!list.label.empty() && (group.lists.size() > 1 || !group.checks.empty()))
      grid->addWidget(new QLabel(Q(list.label), box), row, 0);
    grid->addWidget(combo, row++, 1);
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, g, l](int i) { dialog_.model.groups[g].lists[l].index = i; });
  }
  grid->setColumnStretch(1, 1);
  SyncFromModel();
  return box;
}

void TypeDialogWidget::SyncFromModel() {
  for (int g = 0; g < int(radios_.size()); ++g) {
    const DialogGroup& group = dialog_.model.groups[g];
    for (int r = 0; r < int(radios_[g].size()); ++r) radios_[g][r]->setChecked(r == group.radio);
    for (int c = 0; c < int(units_[g].size()); ++c)
      if (QComboBox* units = units_[g][c]) units->setCurrentIndex(group.checks[c].unit);
  }
}

QWidget* TypeDialogWidget::Field(const QString& name) const {
  return findChild<QWidget*>(name);
}

void TypeDialogWidget::PressOk() {
  if (TryAccept(dialog_, ui_)) accept();
}

bool QtTypeDialogPresenter::Show(TypeDialog& dialog) {
  TypeDialogWidget widget(dialog, ui_, parent_);
  return widget.exec() == QDialog::Accepted;
}

}  // namespace kalvex

#include "platform/TFParms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <functional>

#include "platform/DialogButtons.h"
#include "platform/TEditDig.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// A list that asks its owner to refill it each time it opens.
class RefilledComboBox : public QComboBox {
 public:
  RefilledComboBox(std::function<void()> opening, QWidget* parent)
      : QComboBox(parent), opening_(std::move(opening)) {}
  void showPopup() override {
    opening_();
    QComboBox::showPopup();
  }

 private:
  std::function<void()> opening_;
};

void ShowItems(QComboBox& box, const ParamList& list) {
  const QSignalBlocker block(box);
  if (box.count() != static_cast<int>(list.items.size())) {
    box.clear();
    for (const std::string& item : list.items) box.addItem(Q(item));
  } else {
    for (int i = 0; i < box.count(); ++i) box.setItemText(i, Q(list.items[i]));
  }
  box.setCurrentIndex(list.index);
}

TextId GroupTitle(ParamGroup group) {
  switch (group) {
    case ParamGroup::Weights:
      return TextId::ParamGroupWeights;
    case ParamGroup::Tarpokline:
      return TextId::ParamGroupTarpokline;
    case ParamGroup::Accelerometers:
      return TextId::ParamGroupAccelerometers;
    case ParamGroup::Trigger:
      return TextId::ParamGroupTrigger;
    case ParamGroup::Time:
      return TextId::ParamGroupTime;
    case ParamGroup::Servo:
      return TextId::ParamGroupServo;
    case ParamGroup::Channels:
      return TextId::ParamGroupChannels;
    default:
      return TextId::ParamGroupPolarity;
  }
}

}  // namespace

TFParms::TFParms(ParametersDialog& model, UserInteraction& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("TFParms"));
  setWindowTitle(Q(model.Caption()));
  using G = ParamGroup;
  // The model's own groups on the left (mode 2: the channel table below the
  // weights and the servo), the trigger, time and polarity on the right.
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  for (G g : {G::Weights, G::Tarpokline, G::Accelerometers, G::Servo, G::Channels})
    if (model.GroupVisible(g)) left->addWidget(Group(g));
  for (G g : {G::Trigger, G::Time, G::Polarity}) right->addWidget(Group(g));
  left->addStretch(1);
  right->addStretch(1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);

  const DialogButtons buttons = MakeDialogButtons(*this, ui, ParametersDialog::HelpTopic);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons.box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  ShowModel();
}

QGroupBox* TFParms::Group(ParamGroup group) {
  auto* box = new QGroupBox(Q(Text(GroupTitle(group))), this);
  if (group == ParamGroup::Channels) {
    (new QVBoxLayout(box))->addWidget(ChannelTable());
    return box;
  }
  auto* grid = new QGridLayout(box);
  int row = 0;
  for (int c = 0; c < static_cast<int>(ParamChoice::Count); ++c) {
    const auto choice = static_cast<ParamChoice>(c);
    if (model_.List(choice).group == group && model_.List(choice).visible)
      AddList(choice, *grid, row);
  }
  for (int f = 0; f < static_cast<int>(ParamField::Count); ++f) {
    const auto field = static_cast<ParamField>(f);
    if (model_.Field(field).group == group && model_.Field(field).visible)
      AddField(field, *grid, row);
  }
  grid->setColumnStretch(1, 1);
  return box;
}

void TFParms::AddField(ParamField field, QGridLayout& grid, int& row) {
  const ParamEntry& e = model_.Field(field);
  auto* edit = new TEditDig(this);
  edit->setObjectName(Q(e.name));
  edit->SetInteg(e.options.Integ());
  edit->SetZnak(e.options.Znak());
  edit->SetMayBeNul(e.options.MayBeNul());
  edit->SetAfterZpt(e.options.AfterZpt());
  edit->setMaxLength(e.maxLength);
  edit->setFixedWidth(
      edit->fontMetrics().horizontalAdvance(QStringLiteral("0")) * (e.maxLength + 2) + 12);
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
    model_.Edit(field, text.toStdString());
    ShowModel();
  });
  fields_[static_cast<int>(field)] = edit;
  grid.addWidget(new QLabel(Q(e.label), this), row, 0);
  grid.addWidget(edit, row, 1, Qt::AlignLeft);
  grid.addWidget(new QLabel(Q(e.unit), this), row, 2);
  ++row;
}

void TFParms::AddList(ParamChoice choice, QGridLayout& grid, int& row) {
  const ParamList& l = model_.List(choice);
  QComboBox* box = choice == ParamChoice::TriggerChannel ? new RefilledComboBox(
                                                               [this] {
                                                                 model_.OpeningTriggerList();
                                                                 ShowModel();
                                                               },
                                                               this)
                                                         : new QComboBox(this);
  box->setObjectName(Q(l.name));
  box->setMinimumContentsLength(10);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  connect(box, &QComboBox::activated, this, [this, choice](int index) {
    model_.Choose(choice, index);
    ShowModel();
  });
  lists_[static_cast<int>(choice)] = box;
  grid.addWidget(new QLabel(Q(l.label), this), row, 0);
  grid.addWidget(box, row, 1, 1, 2);
  ++row;
}

QWidget* TFParms::ChannelTable() {
  auto* table = new QWidget(this);
  auto* grid = new QGridLayout(table);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int c = 0; c < 6; ++c) {
    Row& r = rows_[c];
    r.on = new QCheckBox(Q(FormatText(TextId::ParamChannel, {std::to_string(c)})), table);
    r.on->setObjectName(QStringLiteral("Channel%1").arg(c));
    r.name = new QLineEdit(table);
    r.name->setObjectName(QStringLiteral("ChannelName%1").arg(c));
    r.name->setMaxLength(ParametersDialog::ChannelNameMaxChars);
    r.x8 = new QCheckBox(QStringLiteral("x8"), table);
    r.x8->setObjectName(QStringLiteral("ChannelX8%1").arg(c));
    // Channel 0 is always REF and on; only its "x8" can change.
    r.on->setEnabled(c > 0);
    r.name->setReadOnly(c == 0);
    connect(r.on, &QCheckBox::clicked, this, [this, c](bool on) {
      model_.SwitchChannel(c, on);
      ShowModel();
      if (on) rows_[c].name->setFocus();
    });
    connect(r.name, &QLineEdit::textEdited, this,
            [this, c](const QString& text) { model_.SetChannelName(c, text.toStdString()); });
    connect(r.x8, &QCheckBox::clicked, this, [this, c](bool on) { model_.SetChannelX8(c, on); });
    grid->addWidget(r.on, c, 0);
    grid->addWidget(r.name, c, 1);
    grid->addWidget(r.x8, c, 2);
  }
  return table;
}

void TFParms::ShowModel() {
  if (showing_) return;
  showing_ = true;
  for (int f = 0; f < static_cast<int>(ParamField::Count); ++f) {
    TEditDig* edit = fields_[f];
    if (!edit) continue;
    const ParamEntry& e = model_.Field(static_cast<ParamField>(f));
    if (edit->text() != Q(e.text)) {
      const QSignalBlocker block(edit);
      edit->setText(Q(e.text));
    }
    edit->setReadOnly(e.readOnly);
    // A field locked by a chosen model looks like a label, not an entry.
    edit->setStyleSheet(e.readOnly ? QStringLiteral("background: palette(window)") : QString());
  }
  for (int c = 0; c < static_cast<int>(ParamChoice::Count); ++c)
    if (QComboBox* box = lists_[c]) ShowItems(*box, model_.List(static_cast<ParamChoice>(c)));
  for (int c = 0; c < 6; ++c) {
    Row& r = rows_[c];
    if (!r.on) continue;
    const ChannelRow& row = model_.Channels()[c];
    const QSignalBlocker blockName(r.name);
    r.on->setChecked(row.on);
    if (r.name->text() != Q(row.name)) r.name->setText(Q(row.name));
    r.name->setEnabled(row.on);
    r.x8->setChecked(row.x8);
    r.x8->setEnabled(row.on);
  }
  showing_ = false;
}

bool TFParms::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut)
    for (int f = 0; f < static_cast<int>(ParamField::Count); ++f)
      if (fields_[f] == watched) {
        model_.Leave(static_cast<ParamField>(f));
        ShowModel();
      }
  return QDialog::eventFilter(watched, event);
}

void TFParms::accept() {
  // "Да" reached with Enter leaves no field: the focused one is checked as
  // if it were left, so that its range still holds.
  for (int f = 0; f < static_cast<int>(ParamField::Count); ++f)
    if (fields_[f] && fields_[f] == focusWidget()) {
      model_.Leave(static_cast<ParamField>(f));
      ShowModel();
    }
  bool stayOpen = false;
  result_ = model_.Accept(ui_, stayOpen);
  if (stayOpen) return;
  QDialog::accept();
}

std::optional<AcceptedParameters> EditParameters(QWidget* parent, ParametersDialog& model,
                                                 UserInteraction& ui) {
  TFParms dialog(model, ui, parent);
  dialog.exec();
  return dialog.Result();
}

}  // namespace kalvex

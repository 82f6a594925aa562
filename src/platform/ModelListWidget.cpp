#include "platform/ModelListWidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
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

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QLineEdit* MakeField(const ModelListField& f, QWidget* parent) {
  QLineEdit* field = nullptr;
  if (f.Numeric) {
    auto* dig = new TEditDig(parent);
    dig->SetZnak(f.Options.Znak());
    dig->SetInteg(f.Options.Integ());
    dig->SetMayBeNul(f.Options.MayBeNul());
    dig->SetAfterZpt(f.Options.AfterZpt());
    field = dig;
  } else {
    field = new QLineEdit(parent);
  }
  if (f.MaxChars > 0) field->setMaxLength(f.MaxChars);
  // Numeric fields are as wide as the text they may hold (eleven characters
  // when the number of characters is free); the name field takes what is left.
  if (f.Numeric) {
    const int chars = f.MaxChars > 0 ? f.MaxChars + 1 : 11;
    field->setMinimumWidth(
        field->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0'))) + 12);
  } else if (f.Label == TextId::ModelColumnModel) {
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(16, QLatin1Char('W'))));
  }
  return field;
}

QPushButton* MakeButton(TextId text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(Q(text), parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ModelListWidget::ModelListWidget(ModelListKind kind, ModelLists& lists, FileStore& store,
                                 std::string path, UserInteraction& ui, QWidget* parent)
    : QDialog(parent),
      model_(kind, lists),
      lists_(lists),
      store_(store),
      path_(std::move(path)),
      ui_(ui) {
  setWindowTitle(Q(model_.Caption()));

  const std::vector<TextId> columns = model_.Columns();
  table_ = new QTableWidget(0, static_cast<int>(columns.size()), this);
  table_->setObjectName(QStringLiteral("Table"));
  QStringList headers;
  for (TextId id : columns) headers << Q(id);
  table_->setHorizontalHeaderLabels(headers);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  connect(table_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { RowChosen(row); });
  connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) { RowChosen(row); });

  // Edit fields: "Модель" and the values side by side, labels above them;
  // "Примечание" on its own line below.
  auto* fieldsGrid = new QGridLayout;
  const std::vector<ModelListField>& specs = model_.Fields();
  for (std::size_t k = 0; k < specs.size(); ++k) {
    QLineEdit* field = MakeField(specs[k], this);
    const bool note = k + 1 == specs.size();
    field->setObjectName(k == 0 ? QStringLiteral("Name")
                         : note ? QStringLiteral("Note")
                                : QStringLiteral("Value%1").arg(k));
    auto* label = new QLabel(Q(specs[k].Label), this);
    label->setBuddy(field);
    if (note) {
      const int span = static_cast<int>(specs.size()) - 1;
      fieldsGrid->addWidget(label, 2, 0, 1, span);
      fieldsGrid->addWidget(field, 3, 0, 1, span);
    } else {
      const int column = static_cast<int>(k);
      fieldsGrid->addWidget(label, 0, column);
      fieldsGrid->addWidget(field, 1, column);
    }
    fields_.push_back(field);
  }
  fieldsGrid->setColumnStretch(0, 1);

  QPushButton* add = MakeButton(TextId::ModelListAddButton, "Add", this);
  QPushButton* change = MakeButton(TextId::ModelListChangeButton, "Change", this);
  QPushButton* remove = MakeButton(TextId::ModelListDeleteButton, "Delete", this);
  connect(add, &QPushButton::clicked, this, [this] { Press([this] { return model_.Add(ui_); }); });
  connect(change, &QPushButton::clicked, this,
          [this] { Press([this] { return model_.Change(ui_); }); });
  connect(remove, &QPushButton::clicked, this,
          [this] { Press([this] { return model_.Delete(ui_); }); });
  auto* editButtons = new QHBoxLayout;
  editButtons->addWidget(add);
  editButtons->addWidget(change);
  editButtons->addWidget(remove);
  editButtons->addStretch(1);

  const DialogButtons buttons = MakeDialogButtons(*this, ui, model_.HelpTopic());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addLayout(fieldsGrid);
  layout->addLayout(editButtons);
  layout->addSpacing(6);
  layout->addWidget(buttons.box);

  FillTable();
  // The dialog opens wide enough for all columns and tall enough for about
  // ten rows.
  int width = table_->frameWidth() * 2;
  for (int c = 0; c < table_->columnCount(); ++c) width += table_->columnWidth(c);
  table_->setMinimumWidth(width + table_->verticalScrollBar()->sizeHint().width());
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           10 * table_->verticalHeader()->defaultSectionSize() +
                           table_->frameWidth() * 2);
}

void ModelListWidget::FillTable() {
  filling_ = true;
  const auto& rows = model_.Rows();
  table_->clearContents();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(Q(rows[r][c]));
      item->setToolTip(item->text());
      table_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  if (model_.Selected()) {
    table_->setCurrentCell(static_cast<int>(*model_.Selected()), 0);
    table_->selectRow(static_cast<int>(*model_.Selected()));
  } else {
    table_->setCurrentCell(-1, -1);
    table_->clearSelection();
  }
  FitColumns();
  filling_ = false;
}

void ModelListWidget::FitColumns() {
  // Every column shows its heading and its longest text, except that the
  // free texts (name and note) take at most about 30 characters so that the
  // dialog stays on a small screen; a longer text is elided in the table and
  // shown whole in its tooltip and, once its row is chosen, in the edit field.
  table_->resizeColumnsToContents();
  const int textCap = table_->fontMetrics().horizontalAdvance(QString(30, QLatin1Char('x')));
  for (int c : {1, table_->columnCount() - 1}) {
    const int heading = table_->horizontalHeader()->sectionSizeHint(c);
    table_->setColumnWidth(c, std::max(heading, std::min(table_->columnWidth(c), textCap)));
  }
}

void ModelListWidget::RowChosen(int row) {
  if (filling_ || row < 0) return;
  model_.Select(static_cast<std::size_t>(row));
  PushEdits();
}

void ModelListWidget::PullEdits() {
  for (std::size_t k = 0; k < fields_.size(); ++k)
    model_.EditTexts[k] = fields_[k]->text().toStdString();
}

void ModelListWidget::PushEdits() {
  for (std::size_t k = 0; k < fields_.size(); ++k) fields_[k]->setText(Q(model_.EditTexts[k]));
}

template <typename Step>
void ModelListWidget::Press(Step step) {
  PullEdits();
  if (step()) FillTable();
}

void ModelListWidget::accept() {
  if (!model_.Accept(lists_, store_, path_, ui_)) return;
  accepted_ = true;
  QDialog::accept();
}

bool EditModelList(QWidget* parent, ModelListKind kind, ModelLists& lists, FileStore& store,
                   const std::string& path, UserInteraction& ui) {
  ModelListWidget dialog(kind, lists, store, path, ui, parent);
  dialog.exec();
  return dialog.Accepted();
}

}  // namespace kalvex

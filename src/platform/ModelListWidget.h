#pragma once
// A model list dialog on screen ("Аппаратура" → "Списки"): the core's
// ModelListDialog drawn as a table of the rows, the edit fields under it
// (numeric ones as TEditDig with the model's entry settings), the buttons
// "Добавить", "Изменить", "Удалить", and "Да", "Отменить", "Справка". The
// rules are the model's; this class only moves texts between widgets and
// model.

#include <QDialog>
#include <string>
#include <vector>

#include "recordings/ModelListDialog.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kalvex {

class FileStore;
class UserInteraction;

class ModelListWidget : public QDialog {
  Q_OBJECT
 public:
  // `lists` is replaced and the file at `path` rewritten only on "Да".
  ModelListWidget(ModelListKind kind, ModelLists& lists, FileStore& store, std::string path,
                  UserInteraction& ui, QWidget* parent = nullptr);

  // Whether "Да" replaced the list.
  bool Accepted() const { return accepted_; }

  const ModelListDialog& Model() const { return model_; }
  QTableWidget* Table() const { return table_; }
  // The edit fields in the model's order: "Модель", the values, "Примечание"
  // (object names "Name", "Value1", "Value2", ..., "Note").
  const std::vector<QLineEdit*>& Fields() const { return fields_; }

 public slots:
  // "Да": the model rebuilds the list and rewrites its file.
  void accept() override;

 private:
  void FillTable();
  void FitColumns();
  void RowChosen(int row);
  void PullEdits();
  void PushEdits();
  // Runs a button's model step; the table shows the rows after it.
  template <typename Step>
  void Press(Step step);

  ModelListDialog model_;
  ModelLists& lists_;
  FileStore& store_;
  std::string path_;
  UserInteraction& ui_;
  QTableWidget* table_ = nullptr;
  std::vector<QLineEdit*> fields_;
  bool filling_ = false;
  bool accepted_ = false;
};

// Shows the list dialog of that kind modally over `parent`, on a copy of the
// list; true when it was accepted, `lists` then holds the new list and its
// file at `path` was rewritten (a failed write was shown as an error).
bool EditModelList(QWidget* parent, ModelListKind kind, ModelLists& lists, FileStore& store,
                   const std::string& path, UserInteraction& ui);

}  // namespace kalvex

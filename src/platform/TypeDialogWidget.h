#pragma once
// A graph type dialog on screen: the model's groups as framed boxes of radio
// buttons, check boxes with their unit lists and drop-down lists, and the
// buttons "Да", "Отменить" and help. Every change goes into the model at
// once; "Да" closes the dialog only when the model accepts.

#include <QDialog>
#include <vector>

#include "graphs/TypeDialogModel.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace kalvex {

class UserInteraction;

class TypeDialogWidget : public QDialog {
  Q_OBJECT
 public:
  TypeDialogWidget(TypeDialog& dialog, UserInteraction& ui, QWidget* parent = nullptr);

  // The widget of a model component by its name (check box, list or, for a
  // check box's unit list, its name + "Unit").
  QWidget* Field(const QString& name) const;
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }
  QPushButton* HelpButton() const { return help_; }

 private:
  QWidget* BuildGroup(int g);
  // Radios and unit lists show the model after its rules changed it.
  void SyncFromModel();
  void PressOk();

  TypeDialog& dialog_;
  UserInteraction& ui_;
  std::vector<std::vector<QRadioButton*>> radios_;
  std::vector<std::vector<QComboBox*>> units_;  // per group and check; null: no list
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* help_ = nullptr;
};

// Shows the type dialogs modally over `parent`.
class QtTypeDialogPresenter : public TypeDialogPresenter {
 public:
  QtTypeDialogPresenter(UserInteraction& ui, QWidget* parent) : ui_(ui), parent_(parent) {}
  bool Show(TypeDialog& dialog) override;

 private:
  UserInteraction& ui_;
  QWidget* parent_;
};

}  // namespace kalvex

#pragma once
// The button row of the program's modal dialogs: "Да" (the default button),
// "Отменить" and "Справка". Clicking a button does not take the keyboard
// focus from the field being edited, so a field's check on leaving runs only
// when the operator really moves to another field; Tab still reaches them.

#include <QDialogButtonBox>

class QDialog;
class QPushButton;

namespace kalvex {

class UserInteraction;

struct DialogButtons {
  QDialogButtonBox* box = nullptr;
  QPushButton* yes = nullptr;     // object name "Yes": runs the dialog's accept()
  QPushButton* cancel = nullptr;  // "Cancel": reject()
  QPushButton* help = nullptr;    // "Help": the dialog's help topic
};

// Makes the row in `dialog` and connects it.
DialogButtons MakeDialogButtons(QDialog& dialog, UserInteraction& ui, int helpTopic);

}  // namespace kalvex

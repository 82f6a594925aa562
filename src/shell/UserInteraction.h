#pragma once
// How the core talks to the operator: message boxes, questions, the file
// dialogs and the one-line text editor. The desktop program shows them as
// dialogs, the command line prints them, tests script them. Called on the
// user-interface thread only; every call blocks until the operator has
// answered.

#include <optional>
#include <string>
#include <vector>

#include "acquisition/EquipmentChoice.h"

namespace kalvex {

enum class YesNoCancel { Yes, No, Cancel };

// What a file dialog offers.
struct FileDialogRequest {
  // Pairs of description and pattern separated by '|', e.g.
  // "Text (*.txt)|*.txt|All (*.*)|*.*"; the first pair is chosen at first.
  std::string filter;
  // Appended (".QRM") to a typed name that has no extension.
  std::string defaultExtension;
  // The name the dialog starts with; empty for none.
  std::string initialName;
  // Save dialogs: ask before a chosen file that exists is replaced, and
  // offer the dialog again on "No".
  bool confirmOverwrite = false;
};

// A dialog with one line of text, "Да" and "Отменить".
struct TextEditRequest {
  std::string title;
  std::string label;
  std::string text;   // the line as it starts
  int maxChars = 0;   // the line takes at most this many characters; 0 = any
  int helpTopic = 0;  // the help button's topic; 0 = no help button
};

// A read-only table with a close button.
struct ListRequest {
  std::string title;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // each as many cells as columns
};

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // An error box with the system's text; returns when it is dismissed.
  virtual void ShowError(const std::string& text) = 0;

  // An information box; returns when it is dismissed.
  virtual void ShowInformation(const std::string& text) { ShowError(text); }

  // A plain message box without icon (the outcome of a record).
  virtual void ShowMessage(const std::string& text) { ShowInformation(text); }

  // "Аппаратурные режимы": equipment, mode and port. nullopt when cancelled
  // (never when mandatory). Without its own dialog the current choice stays.
  virtual std::optional<EquipmentChoice> SelectEquipment(const EquipmentChoice& current,
                                                         bool /*mandatory*/) {
    return current;
  }

  // A yes/no question; true for "Yes".
  virtual bool AskYesNo(const std::string& text) = 0;

  // A question with "Yes", "No" and "Cancel". Without its own box, the
  // yes/no question (never Cancel).
  virtual YesNoCancel AskYesNoCancel(const std::string& text) {
    return AskYesNo(text) ? YesNoCancel::Yes : YesNoCancel::No;
  }

  // The chosen path, or nothing when the dialog was cancelled. Without
  // dialogs, always cancelled.
  virtual std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) {
    return std::nullopt;
  }
  virtual std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) {
    return std::nullopt;
  }

  // The edited line, or nothing on "Отменить". Without a dialog, cancelled.
  virtual std::optional<std::string> EditText(const TextEditRequest&) { return std::nullopt; }

  // Shows the table until the operator closes it. Without a screen, nothing.
  virtual void ShowList(const ListRequest&) {}
  // The table with "Открыть" and "Отменить": the row chosen (from 0), or
  // nothing when cancelled. Without a screen, cancelled.
  virtual std::optional<int> ChooseFromList(const ListRequest&) { return std::nullopt; }

  // Opens the help at the topic with this number. Without a help viewer,
  // nothing.
  virtual void ShowHelp(int /*topic*/) {}
};

}  // namespace kalvex

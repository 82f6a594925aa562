#pragma once
// The operator's dialogs on Qt: message boxes, the file dialogs and the
// one-line text editor, each modal over `parent`.

#include <QString>

#include "shell/UserInteraction.h"

class QWidget;

namespace kalvex {

// "Text (*.txt)|*.txt|All|*.*" → "Text (*.txt);;All (*.*)": Qt reads the
// patterns from the parentheses, so a description without its patterns gets
// them appended; ';' between patterns becomes a space.
QString QtFileFilter(const std::string& filter);

// ".QRM" → "QRM", as Qt's default suffix.
QString QtDefaultSuffix(const std::string& extension);
// The name the open dialog returned, with the default extension added
// unless it names an existing file or has an extension of its own.
QString NameToOpen(const QString& path, const QString& suffix);
// Where a file dialog starts: a bare file name (or none) in the folder last
// chosen in a file dialog; a name with a folder of its own as it stands.
QString DialogStartPath(const QString& name, const QString& lastFolder);

class QtUserInteraction : public UserInteraction {
 public:
  explicit QtUserInteraction(QWidget* parent) : parent_(parent) {}

  void ShowError(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  std::optional<EquipmentChoice> SelectEquipment(const EquipmentChoice& current,
                                                 bool mandatory) override;
  bool AskYesNo(const std::string& text) override;
  YesNoCancel AskYesNoCancel(const std::string& text) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  std::optional<std::string> EditText(const TextEditRequest& request) override;
  void ShowList(const ListRequest& request) override;
  std::optional<int> ChooseFromList(const ListRequest& request) override;
  void ShowHelp(int topic) override;

 private:
  // Remembers the folder of a file chosen in a dialog; returns its path.
  std::string Chosen(const QString& path);

  QWidget* parent_;
  QString lastFolder_;
};

}  // namespace kalvex

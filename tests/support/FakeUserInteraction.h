#pragma once
// A scripted operator for tests: records every error box, question, file
// dialog and text editor in the order they came, and answers them from
// scripts.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/UserInteraction.h"

namespace kalvex::test {

class FakeUserInteraction : public UserInteraction {
 public:
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInformation(const std::string& text) override { infos.push_back(text); }

  // Takes the next scripted answer; once the script is used up, answers
  // `answerWhenUnscripted`.
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return answerWhenUnscripted;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // Unscripted: Cancel.
  YesNoCancel AskYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    return Next(threeWayAnswers, YesNoCancel::Cancel);
  }

  // Unscripted dialogs are cancelled.
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override {
    openDialogs.push_back(request);
    return Next(openChoices, std::optional<std::string>());
  }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override {
    saveDialogs.push_back(request);
    return Next(saveChoices, std::optional<std::string>());
  }
  std::optional<std::string> EditText(const TextEditRequest& request) override {
    textEdits.push_back(request);
    return Next(editedTexts, std::optional<std::string>());
  }

  // Unscripted: the current choice stays.
  std::optional<EquipmentChoice> SelectEquipment(const EquipmentChoice& current,
                                                 bool mandatory) override {
    equipmentPrompts.push_back(mandatory);
    // Unscripted, the operator takes what is shown, and the first mode when
    // none is (the dialog is not left without one).
    EquipmentChoice shown = current;
    if (shown.Mode < 0) shown.Mode = 0;
    return Next(equipmentChoices, std::optional<EquipmentChoice>(shown));
  }

  void ShowList(const ListRequest& request) override { lists.push_back(request); }
  std::optional<int> ChooseFromList(const ListRequest& request) override {
    lists.push_back(request);
    return Next(listChoices, std::optional<int>());
  }
  void ShowHelp(int topic) override { helpTopics.push_back(topic); }

  void Clear() {
    errors.clear();
    questions.clear();
    answers.clear();
    threeWayAnswers.clear();
    openDialogs.clear();
    saveDialogs.clear();
    textEdits.clear();
    lists.clear();
    helpTopics.clear();
  }

  std::vector<std::string> errors;
  std::vector<std::string> infos;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  bool answerWhenUnscripted = true;

  std::deque<YesNoCancel> threeWayAnswers;
  std::deque<std::optional<std::string>> openChoices;  // nullopt: cancelled
  std::deque<std::optional<std::string>> saveChoices;
  std::deque<std::optional<std::string>> editedTexts;
  std::vector<FileDialogRequest> openDialogs;
  std::vector<FileDialogRequest> saveDialogs;
  std::vector<TextEditRequest> textEdits;
  std::vector<ListRequest> lists;
  std::deque<std::optional<int>> listChoices;  // rows chosen; cancelled once used up
  std::vector<int> helpTopics;
  std::deque<std::optional<EquipmentChoice>> equipmentChoices;  // nullopt: cancelled
  std::vector<bool> equipmentPrompts;                           // mandatory or not, in order

 private:
  template <typename T>
  static T Next(std::deque<T>& script, T unscripted) {
    if (script.empty()) return unscripted;
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
  }
};

}  // namespace kalvex::test

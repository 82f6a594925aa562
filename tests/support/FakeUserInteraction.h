#pragma once
// A scripted operator for tests: records every error box and every question
// in the order they came, and answers the questions from a script.

#include <deque>
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

  void Clear() {
    errors.clear();
    questions.clear();
    answers.clear();
  }

  std::vector<std::string> errors;
  std::vector<std::string> infos;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  bool answerWhenUnscripted = true;
};

}  // namespace kalvex::test

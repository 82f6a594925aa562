#pragma once
// How the core talks to the operator: message boxes and questions. The desktop
// program shows them as dialogs, the command line prints them, tests script
// them. Called on the user-interface thread only; every call blocks until the
// operator has answered.

#include <string>

namespace kalvex {

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // An error box with the system's text; returns when it is dismissed.
  virtual void ShowError(const std::string& text) = 0;

  // An information box; returns when it is dismissed.
  virtual void ShowInformation(const std::string& text) { ShowError(text); }

  // A yes/no question; true for "Yes".
  virtual bool AskYesNo(const std::string& text) = 0;
};

}  // namespace kalvex

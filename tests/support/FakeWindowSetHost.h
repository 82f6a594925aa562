#pragma once
// Stand-ins for the main frame window and its graph child forms that record
// what the window set asked of them. Like the desktop program's forms, a
// form's close event reports its tag to the window set.

#include <memory>
#include <string>
#include <vector>

#include "graphs/GraphForm.h"
#include "graphs/TAllWindows.h"
#include "graphs/WindowSetHost.h"

namespace kalvex::test {

struct FakeGraphForm : GraphForm {
  void SetCaption(const std::string& text) override { captions.push_back(text); }
  void SetTag(int value) override { tag = value; }
  void Repaint() override { ++repaints; }
  void UpdateScrollBar() override { ++scrollBarUpdates; }
  void CloseLabelEditor() override { ++labelEditorCloses; }
  void BringToFront() override {}
  void Close() override {
    if (closeLog) closeLog->push_back(this);
    if (set) set->CloseWindow(tag);
  }

  std::vector<std::string> captions;  // every caption given, in order
  int tag = -99, repaints = 0, scrollBarUpdates = 0, labelEditorCloses = 0;
  TAllWindows* set = nullptr;
  std::vector<const FakeGraphForm*>* closeLog = nullptr;
};

class FakeWindowSetHost : public WindowSetHost {
 public:
  GraphForm* CreateForm(TGrWin&) override {
    if (!withForms) return nullptr;
    forms.push_back(std::make_unique<FakeGraphForm>());
    forms.back()->set = set;
    forms.back()->closeLog = &closeLog;
    return forms.back().get();
  }
  void RebuildWindowsMenu(const std::vector<std::string>& captions) override { menu = captions; }
  int TextWidth(std::string_view text) override { return text == "R" ? 9 : -1; }

  bool withForms = true;
  TAllWindows* set = nullptr;  // where the forms report their close
  std::vector<std::unique_ptr<FakeGraphForm>> forms;
  std::vector<const FakeGraphForm*> closeLog;  // in the order they were closed
  std::vector<std::string> menu;
};

}  // namespace kalvex::test

#pragma once
// The settings dialogs of the graph types as data: what each dialog shows
// (check boxes with their unit lists, choice lists, radio groups, in framed
// groups), how it is filled from a window, when "Да" is refused and what it
// writes back. The desktop program draws a model with widgets; tests fill the
// fields directly. User-interface thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graphs/GraphTypeDialogs.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

class TFrmFile;
class TGrWin;
class UserInteraction;

// One entry of a unit list: the label shown and the unit code it stands for.
struct UnitChoice {
  std::string label;
  int code = 0;
};

// A check box, with a unit list beside it when the channel has units.
struct DialogCheck {
  std::string name;  // the component's name, e.g. "CB3"
  std::string label;
  int slot = -1;  // the channel slot or option it stands for
  bool checked = false;
  std::vector<UnitChoice> units;  // empty: no unit list
  int unit = -1;                  // index into units; -1 = none chosen
};

// A drop-down list; index -1 = nothing chosen.
struct DialogList {
  std::string name;
  std::string label;  // shown before the list; may be empty
  std::vector<std::string> items;
  int index = -1;
};

// A framed group of fields. A group with radio items shows them first; one is
// chosen (index), -1 = none.
struct DialogGroup {
  std::string title;
  std::vector<std::string> radios;
  int radio = -1;
  std::vector<DialogCheck> checks;
  std::vector<DialogList> lists;
};

struct TypeDialogModel {
  std::string formName;  // the dialog's class name, e.g. "TFSigPuls"
  std::string caption;
  int helpTopic = 0;
  std::vector<DialogGroup> groups;
};

// Every checked box whose unit list has nothing chosen gets its first unit.
void ChooseFirstUnits(TypeDialogModel& model);

// A dialog being shown: its model and its rules.
class TypeDialog {
 public:
  TypeDialogModel model;

  // Why "Да" is refused (the information box's text), or nothing.
  std::function<std::optional<TextId>(const TypeDialogModel&)> refusal;
  // Writes the accepted choices into the window.
  std::function<void(const TypeDialogModel&, TGrWin&)> write;
  // A check box changed: rules that tie fields together (checking a box
  // selects its group's radio item). May be empty.
  std::function<void(TypeDialogModel&, int group, int check)> checkChanged;

  std::optional<TextId> Refusal() const { return refusal ? refusal(model) : std::nullopt; }
  void Write(TGrWin& window) const {
    if (write) write(model, window);
  }
  // After the dialog's own rules, every checked box with an empty unit list
  // gets its list's first unit, so that only real refusals remain.
  void CheckChanged(int group, int check) {
    if (checkChanged) checkChanged(model, group, check);
    ChooseFirstUnits(model);
  }
};

// The dialog of graph type `type` for the window's recording mode, filled
// from `window`; nullptr for a type the mode does not offer through a dialog.
std::unique_ptr<TypeDialog> MakeTypeDialog(int type, const TGrWin& window, const TFrmFile& rec);

// "Да" pressed: a refusal is shown as an information box and the dialog
// stays open (false); otherwise it may close.
bool TryAccept(const TypeDialog& dialog, UserInteraction& ui);

// Shows a type dialog until the operator closes it; true when it was closed
// with "Да" (each press goes through TryAccept). The desktop program draws the
// model with widgets; tests fill its fields.
class TypeDialogPresenter {
 public:
  virtual ~TypeDialogPresenter() = default;
  virtual bool Show(TypeDialog& dialog) = 0;
};

// The type set-up's dialogs over the models: the dialog of the type and the
// proposal's mode, shown by the presenter, written into the proposal on "Да".
class ModelTypeDialogs : public GraphTypeDialogs {
 public:
  ModelTypeDialogs(const TFrmFile& rec, TypeDialogPresenter& presenter)
      : rec_(rec), presenter_(presenter) {}
  bool Edit(int type, TGrWin& proposal) override;

 private:
  const TFrmFile& rec_;
  TypeDialogPresenter& presenter_;
};

}  // namespace kalvex

#include "graphs/TypeDialogModel.h"

#include "shell/UserInteraction.h"

namespace kalvex {

bool TryAccept(const TypeDialog& dialog, UserInteraction& ui) {
  if (const std::optional<TextId> refusal = dialog.Refusal()) {
    ui.ShowInformation(Text(*refusal));
    return false;
  }
  return true;
}

bool ModelTypeDialogs::Edit(int type, TGrWin& proposal) {
  std::unique_ptr<TypeDialog> dialog = MakeTypeDialog(type, proposal, rec_);
  if (!dialog || !presenter_.Show(*dialog)) return false;
  dialog->Write(proposal);
  return true;
}

}  // namespace kalvex

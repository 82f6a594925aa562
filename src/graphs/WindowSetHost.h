#pragma once
// What the window set asks of the program that shows it: the child forms, the
// "Окна" menu and the font of new windows. The desktop program implements it
// with its main frame window; tests and the command line with stand-ins.
// Called on the user-interface thread.

#include <string>
#include <string_view>
#include <vector>

namespace kalvex {

class GraphForm;
class TGrWin;

class WindowSetHost {
 public:
  virtual ~WindowSetHost() = default;

  // Creates the on-screen form that shows `window` (a child of the main frame
  // window); nullptr where nothing is shown. The host owns the form. When the
  // user closes it, its close event calls TAllWindows::CloseWindow with the
  // form's tag; a form whose tag is -1 has already left the set.
  virtual GraphForm* CreateForm(TGrWin& window) = 0;

  // Replaces the items after the separator of the "Окна" menu: one per
  // window, in window index order.
  virtual void RebuildWindowsMenu(const std::vector<std::string>& captions) = 0;

  // Width in pixels of `text` in the font of new graph windows.
  virtual int TextWidth(std::string_view text) = 0;
};

}  // namespace kalvex

#pragma once
// The settings dialogs of the graph types, as the type set-up reaches them.
// The desktop program shows its dialog widgets; tests and scripts answer
// directly. User-interface thread only.

namespace kalvex {

class TGrWin;

class GraphTypeDialogs {
 public:
  virtual ~GraphTypeDialogs() = default;

  // Shows the dialog of `type` for the window's recording mode, filled from
  // `proposal` (a copy of the window). On OK the dialog has written its
  // choices into `proposal` and returns true; Cancel returns false.
  virtual bool Edit(int type, TGrWin& proposal) = 0;
};

}  // namespace kalvex

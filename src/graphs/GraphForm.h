#pragma once
// What the window model asks of a graph window's on-screen form. The desktop
// program implements it with its child window; print windows have none.
// Called on the user-interface thread.

#include <string>

namespace kalvex {

class GraphForm {
 public:
  virtual ~GraphForm() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetTag(int tag) = 0;
  virtual void Repaint() = 0;
  virtual void UpdateScrollBar() = 0;
  virtual void CloseLabelEditor() = 0;
  virtual void BringToFront() = 0;
  // Closes the form; the window set then removes the window (CloseWindow).
  virtual void Close() = 0;
};

}  // namespace kalvex

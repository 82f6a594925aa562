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
  // The tools that depend on the window's type and curves: the accumulation
  // button, and the row step buttons of a Distortion window.
  struct TypeTools {
    bool accumulationEnabled = false;
    bool stepButtonsVisible = false;
    bool nextEnabled = false;
    bool previousEnabled = false;
  };
  virtual void UpdateTypeTools(const TypeTools&) {}
  // An interval spectrum window shows no tools for choosing curves or types.
  virtual void HideIntervalSpectrumTools() {}
};

}  // namespace kalvex

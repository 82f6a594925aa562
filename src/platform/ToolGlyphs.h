#pragma once
// The pictures of the graph window's tool buttons, drawn at run time so that
// they scale with the button and need no image files.

#include <QIcon>

namespace kalvex {

// The glyph of the tool button with this object name ("SpeedButton1" …
// "SpeedButton13"); an empty icon for any other name.
QIcon ToolGlyph(const QString& name, int size);

}  // namespace kalvex

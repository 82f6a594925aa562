#include "platform/TEditDig.h"

#include <QApplication>
#include <QKeyEvent>
#include <optional>
#include <string>

namespace kalvex {
namespace {

// The character the filter judges for this key press, or nothing when the key
// types no character (arrows, Home, Delete, Tab, Escape, function keys), which
// the line edit then handles as usual.
std::optional<char32_t> TypedCharacter(const QKeyEvent& event, bool ctrl) {
  const int key = event.key();
  // Ctrl with a letter types its control code (Ctrl+C is 3) whatever text the
  // platform attaches to the event.
  if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) return char32_t(key - Qt::Key_A + 1);
  if (key == Qt::Key_Backspace) return kBackspaceKey;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return kEnterKey;
  const QList<uint> text = event.text().toUcs4();
  if (text.isEmpty()) return std::nullopt;
  // Several characters from one key (a dead key and a letter) are refused as
  // one; a numeric field never needs them.
  if (text.size() > 1) return char32_t{0};
  const char32_t c = text.front();
  if (c < 0x20 || c == 0x7f) return std::nullopt;  // Tab, Escape, Delete
  return c;
}

}  // namespace

TEditDig::TEditDig(QWidget* parent) : QLineEdit(parent) {
  // Composed input would reach the text without passing keyPressEvent.
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TEditDig::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  const std::optional<char32_t> typed = TypedCharacter(*event, ctrl);
  if (!typed) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const std::u32string current = text().toStdU32String();
  // Without a selection QLineEdit reports -1; the caret is where typing goes.
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  const std::optional<char32_t> inserted = FilterNumericKey(options_, current, start, ctrl, *typed);
  if (!inserted) {
    QApplication::beep();
    event->accept();
    return;
  }
  if (*inserted == *typed) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  // The replaced separator goes through the line edit's own typing, so the
  // selection, maxLength and undo treat it like a typed key.
  QKeyEvent replaced(QEvent::KeyPress, Qt::Key_Period, event->modifiers(),
                     QString::fromUcs4(&*inserted, 1), event->isAutoRepeat(), event->count());
  QLineEdit::keyPressEvent(&replaced);
  event->setAccepted(replaced.isAccepted());
}

}  // namespace kalvex

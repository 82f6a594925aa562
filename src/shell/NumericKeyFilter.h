#pragma once
// The numeric entry field: its four per-field properties and the filter that
// decides, for every typed character, what the field inserts. The field never
// converts or range-checks; each dialog converts the text when it is accepted.

#include <optional>
#include <string_view>

namespace kalvex {

// The properties of one numeric field, set by the dialog that owns it.
class TEditDigOptions {
 public:
  // A sign ("+" or "-") may be typed as the first character.
  bool Znak() const { return znak_; }
  void SetZnak(bool value) { znak_ = value; }

  // Integer only: no decimal separator may be typed. Allowing a fraction also
  // allows a leading "0" ("0.5"), so setting false sets MayBeNul as well.
  bool Integ() const { return integ_; }
  void SetInteg(bool value);

  // A "0" may be typed as the first character of an integer field.
  bool MayBeNul() const { return mayBeNul_; }
  void SetMayBeNul(bool value) { mayBeNul_ = value; }

  // Digits after the separator that the dialog expects; -1 = unlimited, and 0
  // is stored as -1. The key filter does not use it.
  int AfterZpt() const { return afterZpt_; }
  void SetAfterZpt(int value) { afterZpt_ = value == 0 ? -1 : value; }

 private:
  bool znak_ = false;
  bool integ_ = true;
  bool mayBeNul_ = false;
  int afterZpt_ = -1;
};

// The separator the program always writes and reads, and the one a user may
// type for it (the key beside it on many keyboards).
inline constexpr char32_t kDecimalSeparator = U'.';
inline constexpr char32_t kAlternateSeparator = U',';

inline constexpr char32_t kBackspaceKey = 8;
inline constexpr char32_t kEnterKey = 13;
// The control codes of Ctrl+C, Ctrl+V and Ctrl+X.
inline constexpr char32_t kCopyKey = 3;
inline constexpr char32_t kPasteKey = 22;
inline constexpr char32_t kCutKey = 24;

// What the field inserts for the typed character `key`: the character itself,
// the decimal separator in place of the alternate one, or nothing when the
// character is refused (the field then beeps). `text` is the field's text
// before the key, `selectionStart` the start of its selection (the caret when
// nothing is selected), `ctrl` whether Ctrl is held. With Ctrl held, `key` is
// the control code the keyboard produces (Ctrl+C is 3). Pasted text is not
// filtered.
std::optional<char32_t> FilterNumericKey(const TEditDigOptions& options, std::u32string_view text,
                                         int selectionStart, bool ctrl, char32_t key);

}  // namespace kalvex

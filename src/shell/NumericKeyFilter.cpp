#include "shell/NumericKeyFilter.h"

namespace kalvex {

void TEditDigOptions::SetInteg(bool value) {
  integ_ = value;
  if (!value) mayBeNul_ = true;
}

std::optional<char32_t> FilterNumericKey(const TEditDigOptions& options, std::u32string_view text,
                                         int selectionStart, bool ctrl, char32_t key) {
  if (ctrl && (key == kCopyKey || key == kPasteKey || key == kCutKey)) return key;

  // Only the caret's real position counts: a sign or a leading zero typed
  // anywhere else would make a text that no dialog can convert.
  const bool atStart = text.empty() || selectionStart == 0;
  const bool hasSeparator = text.find(kDecimalSeparator) != std::u32string_view::npos;

  if (key == U'+' || key == U'-') {
    if (options.Znak() && atStart) return key;
    return std::nullopt;
  }
  if (key == kAlternateSeparator) {
    if (!options.Integ() && !hasSeparator) return kDecimalSeparator;
    return std::nullopt;
  }
  if (key == kDecimalSeparator) {
    if (options.Integ() || hasSeparator) return std::nullopt;
    return key;
  }
  const bool digit = key >= U'0' && key <= U'9';
  if (!digit && key != kBackspaceKey && key != kEnterKey) return std::nullopt;
  if (key == U'0' && !options.MayBeNul() && options.Integ() && atStart) return std::nullopt;
  return key;
}

}  // namespace kalvex

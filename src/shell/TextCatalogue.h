#pragma once
// The one catalogue of the system's texts. The core never spells a message
// itself: it asks the catalogue by TextId, so that a language module loaded at
// start-up can replace the built-in Russian set as a whole.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kalvex {

enum class TextId : int {
#define KALVEX_TEXT(key, text) key,
#include "shell/SystemTexts.def"
#undef KALVEX_TEXT
  Count
};

inline constexpr std::size_t TextCount = static_cast<std::size_t>(TextId::Count);

class TextCatalogue {
 public:
  // Starts with the built-in Russian texts.
  TextCatalogue();

  const std::string& Get(TextId id) const { return texts_[static_cast<std::size_t>(id)]; }
  static std::string_view Key(TextId id);
  static const std::string& BuiltIn(TextId id);

  // Replaces texts from a language module: UTF-8 lines "Key=text", where the
  // text may use \n for a line break and \\ for a backslash. Blank lines and
  // lines starting with '#' are ignored, as are unknown keys; texts the module
  // does not name keep their built-in form. Returns how many were replaced.
  std::size_t ApplyModule(std::string_view module);

  void Reset() { *this = TextCatalogue(); }

 private:
  std::array<std::string, TextCount> texts_;
};

// The text set in force for this process (fixed at start-up).
TextCatalogue& Texts();
inline const std::string& Text(TextId id) {
  return Texts().Get(id);
}

// Inserts the arguments at the "%s" and "%d" marks of the text, in order
// (numbers come already formatted).
std::string FormatText(TextId id, std::initializer_list<std::string_view> args);

}  // namespace kalvex

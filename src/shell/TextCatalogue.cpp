#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

struct Entry {
  std::string_view key;
  const char* text;
};

constexpr Entry kBuiltIn[] = {
#define KALVEX_TEXT(key, text) {#key, text},
#include "shell/SystemTexts.def"
#undef KALVEX_TEXT
};
static_assert(std::size(kBuiltIn) == TextCount);

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char next = s[++i];
      out += next == 'n' ? '\n' : next;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string_view TrimLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

}  // namespace

TextCatalogue::TextCatalogue() {
  for (std::size_t i = 0; i < TextCount; ++i) texts_[i] = kBuiltIn[i].text;
}

std::string_view TextCatalogue::Key(TextId id) {
  return kBuiltIn[static_cast<std::size_t>(id)].key;
}

const std::string& TextCatalogue::BuiltIn(TextId id) {
  static const TextCatalogue builtIn;
  return builtIn.Get(id);
}

std::size_t TextCatalogue::ApplyModule(std::string_view module) {
  std::size_t replaced = 0;
  while (!module.empty()) {
    std::size_t end = module.find('\n');
    std::string_view line = TrimLineEnd(module.substr(0, end));
    module = end == std::string_view::npos ? std::string_view{} : module.substr(end + 1);
    std::size_t eq = line.find('=');
    if (line.empty() || line.front() == '#' || eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    for (std::size_t i = 0; i < TextCount; ++i) {
      if (kBuiltIn[i].key == key) {
        texts_[i] = Unescape(line.substr(eq + 1));
        ++replaced;
        break;
      }
    }
  }
  return replaced;
}

TextCatalogue& Texts() {
  static TextCatalogue current;
  return current;
}

std::string FormatText(TextId id, std::initializer_list<std::string_view> args) {
  const std::string& pattern = Text(id);
  std::string out;
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
      if (arg != args.end()) out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace kalvex

#include "qc/VibratorName.h"

#include <regex>

#include "recordings/RecordingModes.h"

namespace kalvex {
namespace {

// UTF-8 to code points and back; bytes that are not UTF-8 pass as single
// characters. Characters beyond U+FFFF become U+FFFD where wchar_t is 16 bits.
std::wstring Wide(const std::string& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    bool valid = length > 0 && i + length <= text.size();
    char32_t code = length == 1 ? c : c & (0x7F >> length);
    for (int k = 1; valid && k < length; ++k) {
      const unsigned char t = static_cast<unsigned char>(text[i + k]);
      valid = (t >> 6) == 2;
      code = (code << 6) | (t & 0x3F);
    }
    if (!valid) {
      out.push_back(static_cast<wchar_t>(c));
      ++i;
      continue;
    }
    if (sizeof(wchar_t) < 4 && code > 0xFFFF) code = 0xFFFD;
    out.push_back(static_cast<wchar_t>(code));
    i += length;
  }
  return out;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// The file's name without folders and extension.
std::string Stem(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::optional<std::string> FirstMatch(const std::string& pattern, const std::string& text) {
  try {
    const std::wregex re(Wide(pattern), std::regex::ECMAScript);
    const std::wstring wide = Wide(text);
    std::wsmatch m;
    if (!std::regex_search(wide, m, re)) return std::nullopt;
    const std::wstring found = m.size() > 1 && m[1].matched ? m[1].str() : m[0].str();
    if (found.empty()) return std::nullopt;
    return Narrow(found);
  } catch (const std::regex_error&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<std::string> PatternError(const std::string& pattern) {
  try {
    std::wregex re(Wide(pattern), std::regex::ECMAScript);
  } catch (const std::regex_error& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

std::string VibratorOf(const VibratorNaming& naming, int mode, const std::string& channelName,
                       const std::string& comment, const std::string& filePath) {
  if (mode == Similarity && !channelName.empty()) return channelName;
  switch (naming.source) {
    case VibratorNaming::Source::Given:
      if (!naming.given.empty()) return naming.given;
      break;
    case VibratorNaming::Source::Comment:
      if (auto m = FirstMatch(naming.pattern, comment)) return *m;
      break;
    case VibratorNaming::Source::Name:
      if (auto m = FirstMatch(naming.pattern, Stem(filePath))) return *m;
      break;
    case VibratorNaming::Source::FileName:
      break;
  }
  return Stem(filePath);
}

}  // namespace kalvex

#include "recordings/Cp1251.h"

#include <cstdint>

namespace kalvex {
namespace {

// Code points of the bytes 0x80..0xFF. 0x98 has no character in the code
// page; it maps to U+0098 so that every byte survives a round trip.
constexpr char16_t kUpperHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at `i`, advancing `i`; malformed bytes (overlong
// forms and surrogates included) decode as U+FFFD one byte at a time.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
  std::uint8_t lead = byte(i);
  int extra = lead < 0x80         ? 0
              : (lead >> 5) == 6  ? 1
              : (lead >> 4) == 14 ? 2
              : (lead >> 3) == 30 ? 3
                                  : -1;
  if (extra == 0) {
    ++i;
    return lead;
  }
  if (extra < 0 || i + extra >= s.size()) {
    ++i;
    return U'\uFFFD';
  }
  char32_t c = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return U'\uFFFD';
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and code points beyond U+10FFFF are not UTF-8
  // either: they would pass through as text that strict readers refuse.
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (c < kLeast[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    ++i;
    return U'\uFFFD';
  }
  i += extra + 1;
  return c;
}

char EncodeCodePoint(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  for (int k = 0; k < 128; ++k)
    if (kUpperHalf[k] == c) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  for (char ch : bytes) {
    auto b = static_cast<std::uint8_t>(ch);
    AppendUtf8(out, b < 0x80 ? b : kUpperHalf[b - 0x80]);
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) out += EncodeCodePoint(NextCodePoint(text, i));
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++n) NextCodePoint(text, i);
  return n;
}

std::string Utf8Prefix(std::string_view text, std::size_t chars) {
  std::size_t i = 0;
  for (std::size_t n = 0; n < chars && i < text.size(); ++n) NextCodePoint(text, i);
  return std::string(text.substr(0, i));
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
  return out;
}

bool DropUtf8Mark(std::string_view& text) {
  constexpr std::string_view mark = "\xEF\xBB\xBF";
  if (!text.starts_with(mark)) return false;
  text.remove_prefix(mark.size());
  return true;
}

}  // namespace kalvex

// Texts at the file boundary: the Russian Windows code page and UTF-8, and
// limits counted in characters.

#include <gtest/gtest.h>

#include "recordings/Cp1251.h"

namespace kalvex {
namespace {

TEST(Cp1251Test, CyrillicRoundTrip) {
  const std::string text = "Проба № 5: АБВ абв Ёё Ўў";
  const std::string bytes = Utf8ToCp1251(text);
  EXPECT_EQ(bytes.size(), Utf8Length(text));
  EXPECT_EQ(Cp1251ToUtf8(bytes), text);

  EXPECT_EQ(Utf8ToCp1251("А"), "\xC0");
  EXPECT_EQ(Utf8ToCp1251("я"), "\xFF");
  EXPECT_EQ(Utf8ToCp1251("Ё"), "\xA8");
  EXPECT_EQ(Utf8ToCp1251("№"), "\xB9");
  EXPECT_EQ(Utf8ToCp1251("€"), "\x88");
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xE8\xEB\xE0"), "Пила");
  EXPECT_EQ(Cp1251ToUtf8("REF 1"), "REF 1");
}

TEST(Cp1251Test, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_EQ(Utf8Length(utf8), 256u);
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
}

// The code point of one UTF-8 character.
char32_t CodePoint(const std::string& utf8) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8.at(i)); };
  if (b(0) < 0x80) return b(0);
  if (b(0) < 0xE0) return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
  return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
}

// A full table, not a round trip: two swapped entries would survive that.
TEST(Cp1251Test, EveryUpperByteDecodesToItsOwnCharacter) {
  constexpr char32_t upper[64] = {
      0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
      0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
      0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
      0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
      0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
  };  // 0x98 has no character: kept as U+0098
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char32_t expected = byte < 0xC0 ? upper[byte - 0x80] : U'\u0410' + (byte - 0xC0);
    EXPECT_EQ(CodePoint(Cp1251ToUtf8(std::string(1, static_cast<char>(byte)))), expected)
        << std::hex << byte;
  }
}

TEST(Cp1251Test, UnrepresentableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("😀"), "?");  // one character, one mark
  EXPECT_EQ(Utf8ToCp1251("é"), "?");
  // Malformed UTF-8: one mark per stray byte, never a read past the end.
  EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?");
  EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "??");
  EXPECT_EQ(Utf8ToCp1251("\x80z"), "?z");
}

TEST(Cp1251Test, ValidUtf8KeepsTextAndReplacesEveryByteThatIsNotUtf8) {
  EXPECT_EQ(ValidUtf8("Привет, 😀"), "Привет, 😀");
  EXPECT_EQ(ValidUtf8("a\xFF"
                      "b"),
            "a\uFFFD"
            "b");
  EXPECT_EQ(ValidUtf8("\xD0"), "\uFFFD");                                // cut short at the end
  EXPECT_EQ(ValidUtf8("\xC0\x80"), "\uFFFD\uFFFD");                      // overlong NUL
  EXPECT_EQ(ValidUtf8("\xE0\x80\xAF"), "\uFFFD\uFFFD\uFFFD");            // overlong "/"
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");            // a surrogate
  EXPECT_EQ(ValidUtf8("\xF4\x90\x80\x80"), "\uFFFD\uFFFD\uFFFD\uFFFD");  // beyond U+10FFFF
  EXPECT_EQ(ValidUtf8("\xF4\x8F\xBF\xBF"), "\xF4\x8F\xBF\xBF");          // U+10FFFF itself
}

TEST(Cp1251Test, LengthAndPrefixCountCharacters) {
  EXPECT_EQ(Utf8Length(""), 0u);
  EXPECT_EQ(Utf8Length("Привет"), 6u);
  EXPECT_EQ(Utf8Length("a😀b"), 3u);
  EXPECT_EQ(Utf8Length("\xD0"), 1u);
  EXPECT_EQ(Utf8Prefix("Привет", 3), "При");
  EXPECT_EQ(Utf8Prefix("a😀b", 2), "a😀");
  EXPECT_EQ(Utf8Prefix("Привет", 0), "");
  EXPECT_EQ(Utf8Prefix("Привет", 100), "Привет");
}

}  // namespace
}  // namespace kalvex

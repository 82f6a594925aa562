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

TEST(Cp1251Test, UnrepresentableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("😀"), "?");  // one character, one mark
  EXPECT_EQ(Utf8ToCp1251("é"), "?");
  // Malformed UTF-8: one mark per stray byte, never a read past the end.
  EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?");
  EXPECT_EQ(Utf8ToCp1251("\xE2\x82"), "??");
  EXPECT_EQ(Utf8ToCp1251("\x80z"), "?z");
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

// The numeric entry field's key filter and its properties.

#include <gtest/gtest.h>

#include <string>

#include "shell/NumericKeyFilter.h"

namespace kalvex {
namespace {

TEditDigOptions Fractional() {
  TEditDigOptions options;
  options.SetInteg(false);
  return options;
}

// Types `keys` one after another at the end of the text, as a user does, and
// returns the text; refused keys leave it unchanged.
std::u32string Type(const TEditDigOptions& options, std::u32string_view keys) {
  std::u32string text;
  for (char32_t key : keys) {
    const auto inserted =
        FilterNumericKey(options, text, static_cast<int>(text.size()), false, key);
    if (inserted) text += *inserted;
  }
  return text;
}

TEST(NumericKeyFilterTest, CommaBecomesTheSeparatorOnlyOnce) {
  const TEditDigOptions options = Fractional();
  EXPECT_EQ(Type(options, U"1,5"), U"1.5");
  EXPECT_EQ(Type(options, U"1,5,2"), U"1.52");
  EXPECT_EQ(Type(options, U"1,5.2"), U"1.52");
  EXPECT_EQ(Type(options, U"0.25"), U"0.25");  // a fraction may start with 0
  // The check looks at the whole text, not only what lies before the caret.
  EXPECT_EQ(FilterNumericKey(options, U"1.5", 0, false, U','), std::nullopt);
  // An integer field refuses both.
  EXPECT_EQ(Type(TEditDigOptions(), U"1,5.2"), U"152");
}

TEST(NumericKeyFilterTest, LeadingZeroOnlyWhereAllowed) {
  TEditDigOptions options;
  EXPECT_EQ(Type(options, U"0"), U"");
  EXPECT_EQ(Type(options, U"100"), U"100");
  // The caret back at the start of "5": a zero there is still the first digit.
  EXPECT_EQ(FilterNumericKey(options, U"5", 0, false, U'0'), std::nullopt);
  options.SetMayBeNul(true);
  EXPECT_EQ(Type(options, U"0"), U"0");
}

TEST(NumericKeyFilterTest, SignOnlyFirstAndOnlyWithZnak) {
  TEditDigOptions options;
  EXPECT_EQ(Type(options, U"-5"), U"5");
  EXPECT_EQ(Type(options, U"+5"), U"5");
  options.SetZnak(true);
  EXPECT_EQ(Type(options, U"-5"), U"-5");
  EXPECT_EQ(Type(options, U"+5"), U"+5");
  EXPECT_EQ(Type(options, U"--5"), U"-5");
  EXPECT_EQ(FilterNumericKey(options, U"5", 0, false, U'-'), U'-');  // caret moved to the start
  EXPECT_EQ(FilterNumericKey(options, U"25", 1, false, U'-'), std::nullopt);
}

// A caret 1024 characters in is not at the start, however the position is
// counted by the platform.
TEST(NumericKeyFilterTest, PositionOf1024IsNotTheStart) {
  TEditDigOptions options;
  options.SetZnak(true);
  const std::u32string longText(1024, U'1');
  EXPECT_EQ(FilterNumericKey(options, longText, 1024, false, U'-'), std::nullopt);
  EXPECT_EQ(FilterNumericKey(options, longText, 1024, false, U'0'), U'0');
  EXPECT_EQ(FilterNumericKey(options, longText, 0, false, U'-'), U'-');
}

TEST(NumericKeyFilterTest, CopyPasteCutPassOnlyWithCtrl) {
  const TEditDigOptions options;
  for (char32_t key : {kCopyKey, kPasteKey, kCutKey}) {
    EXPECT_EQ(FilterNumericKey(options, U"12", 1, true, key), key);
    EXPECT_EQ(FilterNumericKey(options, U"12", 1, false, key), std::nullopt);
  }
  EXPECT_EQ(FilterNumericKey(options, U"12", 1, true, 1), std::nullopt);   // Ctrl+A
  EXPECT_EQ(FilterNumericKey(options, U"12", 1, true, 26), std::nullopt);  // Ctrl+Z
}

TEST(NumericKeyFilterTest, OnlyDigitsBackspaceAndEnterOtherwise) {
  const TEditDigOptions options = Fractional();
  EXPECT_EQ(FilterNumericKey(options, U"12", 2, false, kBackspaceKey), kBackspaceKey);
  EXPECT_EQ(FilterNumericKey(options, U"12", 2, false, kEnterKey), kEnterKey);
  for (char32_t key : {U'a', U'E', U'e', U' ', U'/', U':', U'\t', char32_t{27}, U'٣', U'５'})
    EXPECT_EQ(FilterNumericKey(options, U"12", 2, false, key), std::nullopt) << int(key);
}

TEST(NumericKeyFilterTest, Properties) {
  TEditDigOptions options;
  EXPECT_FALSE(options.Znak());
  EXPECT_TRUE(options.Integ());
  EXPECT_FALSE(options.MayBeNul());
  EXPECT_EQ(options.AfterZpt(), -1);

  options.SetInteg(false);
  EXPECT_TRUE(options.MayBeNul());
  options.SetInteg(true);  // going back does not take the permission away
  EXPECT_TRUE(options.MayBeNul());
  options.SetMayBeNul(false);
  EXPECT_FALSE(options.MayBeNul());

  options.SetAfterZpt(0);
  EXPECT_EQ(options.AfterZpt(), -1);
}

}  // namespace
}  // namespace kalvex

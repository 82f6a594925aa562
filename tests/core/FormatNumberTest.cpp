// The number-to-text conversion of dialogs, model lists and reports.

#include <gtest/gtest.h>

#include "recordings/FormatNumber.h"
#include "recordings/NoValue.h"

namespace kalvex {
namespace {

TEST(FormatNumberTest, DigitsChooseTheForm) {
  EXPECT_EQ(FormatNumber(NoValue, 2), "");  // never entered
  EXPECT_EQ(FormatNumber(NoValue, 0), "");
  // 0: two decimals, trailing zeros trimmed.
  EXPECT_EQ(FormatNumber(12.0, 0), "12");
  EXPECT_EQ(FormatNumber(12.5, 0), "12.5");
  EXPECT_EQ(FormatNumber(12.25, 0), "12.25");
  EXPECT_EQ(FormatNumber(100.0, 0), "100");
  EXPECT_EQ(FormatNumber(-12.5, 0), "-12.5");
  // Below 0: an integer text.
  EXPECT_EQ(FormatNumber(3.0, -1), "3");
  EXPECT_EQ(FormatNumber(-454.0, -1), "-454");
  // Above 0: that many decimals.
  EXPECT_EQ(FormatNumber(3.0, 2), "3.00");
  EXPECT_EQ(FormatNumber(0.5, 4), "0.5000");
  EXPECT_EQ(FormatNumber(1234567.891, 2), "1234567.89");
}

TEST(FormatNumberTest, RoundsHalfAwayFromZero) {
  EXPECT_EQ(FormatNumber(0.125, 2), "0.13");
  EXPECT_EQ(FormatNumber(-0.125, 2), "-0.13");
  EXPECT_EQ(FormatNumber(9.995, 1), "10.0");
  EXPECT_EQ(FormatNumber(0.99999, 3), "1.000");
  EXPECT_EQ(FormatNumber(2.999, 0), "3");
  EXPECT_EQ(FormatNumber(2499.96, -1), "2500");
  // The first digit lies just beyond the decimals kept and rounds up into them.
  EXPECT_EQ(FormatNumber(0.006, 2), "0.01");
  EXPECT_EQ(FormatNumber(-0.007, 2), "-0.01");
  EXPECT_EQ(FormatNumber(0.07, 1), "0.1");
  EXPECT_EQ(FormatNumber(0.008, 0), "0.01");
}

TEST(FormatNumberTest, ValuesRoundingToZeroHaveNoMinusSign) {
  EXPECT_EQ(FormatNumber(-0.001, 2), "0.00");
  EXPECT_EQ(FormatNumber(-0.004, 0), "0");
  EXPECT_EQ(FormatNumber(-0.04, -1), "0");
  EXPECT_EQ(FormatNumber(-0.0, 2), "0.00");
  EXPECT_EQ(FormatNumber(-1e-300, 3), "0.000");
}

}  // namespace
}  // namespace kalvex

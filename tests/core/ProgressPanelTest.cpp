// The look of the progress panel for each range of the indicator.

#include <gtest/gtest.h>

#include "acquisition/ProgressPanel.h"

namespace kalvex {
namespace {

TEST(ProgressPanelTest, EachRangeOfTheIndicator) {
  EXPECT_EQ(LookOfProgress(ProgressUnset, 120).kind, ProgressPanelLook::Nothing);
  EXPECT_EQ(LookOfProgress(0, 120).kind, ProgressPanelLook::Nothing);

  const ProgressPanelLook half = LookOfProgress(50, 120);
  EXPECT_EQ(half.kind, ProgressPanelLook::Bar);
  EXPECT_EQ(half.barWidth, 60);
  EXPECT_EQ(LookOfProgress(1, 150).barWidth, 2);  // 1.5 → 2 (tie to even)
  EXPECT_EQ(LookOfProgress(1, 250).barWidth, 2);  // 2.5 → 2 (tie to even)
  EXPECT_EQ(LookOfProgress(998, 120).barWidth, 1198);

  EXPECT_EQ(LookOfProgress(999, 120).kind, ProgressPanelLook::Blank);

  const ProgressPanelLook left = LookOfProgress(1012, 120);
  EXPECT_EQ(left.kind, ProgressPanelLook::SecondsLeft);
  EXPECT_EQ(left.text, "12 сек.");
  EXPECT_EQ(LookOfProgress(1000, 120).text, "0 сек.");
}

}  // namespace
}  // namespace kalvex

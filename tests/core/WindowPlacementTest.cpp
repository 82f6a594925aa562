// Where new graph windows open in the client area.

#include <gtest/gtest.h>

#include "graphs/WindowPlacement.h"

namespace kalvex {
namespace {

TEST(WindowPlacementTest, CascadesInsideTheAreaAndShrinksOnlyWhatDoesNotFit) {
  const WindowSize area{1000, 600}, own{650, 356};
  EXPECT_EQ(PlaceNewWindow(area, own, 0, 20), (IntRect{0, 0, 650, 356}));
  EXPECT_EQ(PlaceNewWindow(area, own, 2, 20), (IntRect{40, 40, 690, 396}));
  // (600 - 356) / 20 = 12 steps fit below: the 14th window starts over.
  EXPECT_EQ(PlaceNewWindow(area, own, 12, 20).Bottom, 356 + 240);
  EXPECT_EQ(PlaceNewWindow(area, own, 13, 20), (IntRect{0, 0, 650, 356}));
  // Larger than the area: the area's size, at its top-left, whatever came before.
  EXPECT_EQ(PlaceNewWindow({500, 300}, own, 5, 20), (IntRect{0, 0, 500, 300}));
}

}  // namespace
}  // namespace kalvex

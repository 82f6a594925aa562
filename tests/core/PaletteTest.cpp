// Curve colours by graph type and recording mode, and the colour cycle of
// accumulated recordings.

#include <gtest/gtest.h>

#include "graphs/GraphTypes.h"
#include "graphs/Palette.h"
#include "recordings/RecordingModes.h"

namespace kalvex {
namespace {

TEST(PaletteTest, TypeRowsComeBeforeModeRowsAndGapsAreBlack) {
  EXPECT_EQ(CurveColour(Harmonics, Ombrel16, 6), 0xFF8040);
  EXPECT_EQ(CurveColour(Ground, Velnarund, 1), 0xFF0000);
  EXPECT_EQ(CurveColour(Ground, Velnarund, 3), 0x000000);
  EXPECT_EQ(CurveColour(Power, Similarity, 0), 0x0080FF);
  EXPECT_EQ(CurveColour(SignalTraces, Velnarund, 1), 0xFF00FF);
  EXPECT_EQ(CurveColour(SignalTraces, Tarpokline, 1), 0x00FF00);
  EXPECT_EQ(CurveColour(Spectrum, Similarity, 6), 0x0080FF);
  EXPECT_EQ(CurveColour(Spectrum, Dodida, 4), 0x000000);
  EXPECT_EQ(CurveColour(Spectrum, Velnarund, 7), 0x000000);
  EXPECT_EQ(CurveColour(Spectrum, Velnarund, 9), 0xFF00FF);  // index modulo 8
  EXPECT_EQ(CurveColour(Spectrum, NoSignal, 0), 0x000000);
}

TEST(PaletteTest, AccumulationColoursCycleThroughEightAndBack) {
  const std::int32_t cycle[] = {0xFF0000, 0x0000FF, 0x008000, 0x804000,
                                0xFF00FF, 0xFF8040, 0x00FF00, 0x0080FF};
  for (std::size_t i = 0; i < std::size(cycle); ++i)
    EXPECT_EQ(NextAccumulationColour(cycle[i]), cycle[(i + 1) % std::size(cycle)]) << i;
  EXPECT_EQ(NextAccumulationColour(0x123456), 0x123456);
  EXPECT_EQ(NextAccumulationColour(0x000000), 0x000000);
}

}  // namespace
}  // namespace kalvex

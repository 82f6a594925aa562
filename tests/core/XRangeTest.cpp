// Changing one window's displayed x range: single ends from the label editor,
// both ends at once, and "show whole".

#include <gtest/gtest.h>

#include <cmath>

#include "graphs/XRange.h"
#include "support/FakeWindowSetHost.h"

namespace kalvex {
namespace {

// Lags -0.4 .. 0.4 s at 1000 indices per second.
TGrWin CorrelationWindow() {
  TGrWin w;
  w.Type = Correlation;
  w.XPerUnit = 1000;
  w.FullRange = w.DisplayedRange = {-400, 400};
  return w;
}

TEST(XRangeTest, EndsAreTakenOnlyInOrderAndClampedToNegativeLags) {
  TGrWin w = CorrelationWindow();
  EXPECT_TRUE(SetRangeEnd(w, 0.1));
  EXPECT_FALSE(SetRangeStart(w, 0.1));  // not before the end
  EXPECT_TRUE(SetRangeStart(w, -9));    // clamped to the lowest lag, not to 0
  EXPECT_FALSE(SetRangeEnd(w, -0.5));   // not after the start
  EXPECT_EQ(w.DisplayedRange, (IndexRange{-400, 100}));
  EXPECT_TRUE(SetRangeEnd(w, 1e12));  // far beyond: clamped, no overflow
  EXPECT_FALSE(SetRangeStart(w, std::nan("")));
  EXPECT_EQ(w.DisplayedRange, (IndexRange{-400, 400}));
  EXPECT_TRUE(SetRangeStart(w, -0.0625));  // -62.5 rounds to even
  EXPECT_EQ(w.DisplayedRange.First, -62);
  // An end that rounds onto the start is refused like a start onto the end.
  EXPECT_FALSE(SetRangeEnd(w, -0.0616));
  EXPECT_EQ(w.DisplayedRange, (IndexRange{-62, 400}));
}

TEST(XRangeTest, BothEndsMoveInOneStepOrNotAtAll) {
  TGrWin w;
  w.XPerUnit = 1;
  w.FullRange = {0, 1000};
  w.DisplayedRange = {600, 700};
  EXPECT_TRUE(SetXRange(w, 100, 200));  // wholly before the current range
  EXPECT_EQ(w.DisplayedRange, (IndexRange{100, 200}));
  EXPECT_FALSE(SetXRange(w, 1000, 1200));  // only touches the full range
  EXPECT_FALSE(SetXRange(w, 300, 300.2));  // narrower than one index
  EXPECT_EQ(w.DisplayedRange, (IndexRange{100, 200}));
}

TEST(XRangeTest, ShowWholeRefitsTheSelectedCurveOrAllAccumulated) {
  test::FakeGraphForm form;
  TGrWin w = CorrelationWindow();
  w.Form = &form;
  w.DisplayedRange = {-50, 100};
  w.CurveCount = 2;
  w.SelectedCurve = 1;
  for (CurveSlot& c : w.Curves) {
    c.Min = -2;
    c.Max = 6;
    c.Scale = 3;
  }
  ShowWhole(w);
  EXPECT_EQ(w.DisplayedRange, (IndexRange{-400, 400}));
  EXPECT_EQ(w.Curves[1].Scale, 0);
  EXPECT_EQ(w.Curves[1].Centre, 2);
  EXPECT_EQ(w.Curves[1].HalfRange, 4);
  EXPECT_EQ(w.Curves[0].Scale, 3);
  EXPECT_EQ(form.repaints, 1);

  w.Accumulating = true;
  ShowWhole(w);
  EXPECT_EQ(w.Curves[0].Scale, 0);
  EXPECT_EQ(w.Curves[2].Scale, 3);  // beyond the curve count
}

}  // namespace
}  // namespace kalvex

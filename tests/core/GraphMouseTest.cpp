// The graph window's mouse rules: which axis label is under the pointer,
// applying a typed-in label value, click zoom and the horizontal drags.

#include <gtest/gtest.h>

#include <cmath>

#include "graphs/GraphMouse.h"

namespace kalvex {
namespace {

constexpr int TextHeight = 13;

// Plot 50..450 × 20..320; one band over the whole plot, scaled so that the
// band top reads 10 and the band bottom -10; x in thousandths.
TGrWin Window() {
  TGrWin w;
  w.Type = SignalTraces;
  w.XPerUnit = 1000;
  w.FullRange = {0, 4000};
  w.DisplayedRange = {250, 750};
  w.PlotRect = {50, 20, 450, 320};
  w.LeftXLabelRect = {49, 323, 90, 340};
  w.RightXLabelRect = {410, 323, 451, 340};
  w.CurveCount = 2;
  for (CurveSlot& c : w.Curves) {
    c.BandTop = 20;
    c.BandBottom = 320;
    c.BandHeight = -300;
    c.Scale = 0.05;
    c.ZeroLine = 170;
  }
  w.SelectedCurve = 0;
  return w;
}

TEST(GraphMouseTest, LabelsUnderThePointer) {
  TGrWin w = Window();
  auto hit = [&](int x, int y) { return HitLabel(w, x, y, TextHeight); };
  EXPECT_EQ(hit(60, 330).Target, LeftXLabel);
  EXPECT_DOUBLE_EQ(hit(60, 330).Value, 0.25);
  EXPECT_EQ(hit(440, 330).Target, RightXLabel);
  EXPECT_DOUBLE_EQ(hit(440, 330).Value, 0.75);
  EXPECT_EQ(hit(200, 330).Target, NoLabel);  // a middle x label is not editable
  // A label's rectangle holds its left and top edges, not its right and bottom.
  EXPECT_EQ(hit(89, 339).Target, LeftXLabel);
  EXPECT_EQ(hit(49, 323).Target, LeftXLabel);
  EXPECT_NE(hit(90, 330).Target, LeftXLabel);
  EXPECT_NE(hit(60, 340).Target, LeftXLabel);
  EXPECT_EQ(hit(450, 330).Target, RightXLabel);
  EXPECT_NE(hit(451, 330).Target, RightXLabel);
  EXPECT_EQ(hit(200, 200).Target, NoLabel);  // inside the plot

  // Left margin, symmetric scale: the bottom label opens with its own value.
  EXPECT_EQ(hit(10, 19).Target, TopYLabel);
  EXPECT_DOUBLE_EQ(hit(10, 19).Value, 10);
  EXPECT_EQ(hit(10, 318).Target, BottomYLabel);
  EXPECT_DOUBLE_EQ(hit(10, 318).Value, -10);
  EXPECT_EQ(hit(10, 170).Target, NoLabel);

  // Centre and half range: the edges read centre ± half range; the rest of
  // the margin is the centre.
  w.ScaleMode = FitCentreHalfRange;
  w.Curves[0].Centre = 4;
  EXPECT_DOUBLE_EQ(hit(10, 318).Value, -6);
  EXPECT_DOUBLE_EQ(hit(10, 25).Value, 14);
  EXPECT_EQ(hit(10, 170).Target, CentreValue);
  EXPECT_DOUBLE_EQ(hit(10, 170).Value, 4);

  w.SelectedCurve = -1;
  EXPECT_EQ(hit(10, 25).Target, NoLabel);
  EXPECT_FALSE(OpenLabelEditor(w, 10, 25, TextHeight));
  EXPECT_EQ(w.LabelEditTarget, NoLabel);
}

TEST(GraphMouseTest, EditedXEndsMoveTheRange) {
  TGrWin w = Window();
  ASSERT_TRUE(OpenLabelEditor(w, 60, 330, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, 0.1));
  EXPECT_EQ(w.LabelEditTarget, NoLabel);
  ASSERT_TRUE(OpenLabelEditor(w, 440, 330, TextHeight));
  EXPECT_FALSE(ApplyLabelEdit(w, 0.05));  // not after the first index
  ASSERT_TRUE(OpenLabelEditor(w, 440, 330, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, 99));  // clamped to the full range
  EXPECT_EQ(w.DisplayedRange, (IndexRange{100, 4000}));
}

TEST(GraphMouseTest, EditedYLabelsRescaleOnlyToADrawableZoom) {
  TGrWin w = Window();
  ASSERT_TRUE(OpenLabelEditor(w, 10, 25, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, 5));  // top 10 -> 5
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 2);
  EXPECT_DOUBLE_EQ(w.Curves[1].Zoom, 1);
  for (double refused : {0.0, -5.0, std::nan("")}) {
    ASSERT_TRUE(OpenLabelEditor(w, 10, 25, TextHeight));
    EXPECT_FALSE(ApplyLabelEdit(w, refused)) << refused;
    EXPECT_EQ(w.LabelEditTarget, NoLabel);
  }
  ASSERT_TRUE(OpenLabelEditor(w, 10, 318, TextHeight));
  EXPECT_DOUBLE_EQ(w.EditorValue, -5);
  EXPECT_TRUE(ApplyLabelEdit(w, -20));
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 0.5);

  // While accumulating every curve follows the selected one.
  w.Accumulating = true;
  w.Curves[0].Scale = 0.1;
  ASSERT_TRUE(OpenLabelEditor(w, 10, 25, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, 10));
  EXPECT_DOUBLE_EQ(w.Curves[1].Zoom, w.Curves[0].Zoom);
  EXPECT_DOUBLE_EQ(w.Curves[1].Scale, 0.1);
  EXPECT_DOUBLE_EQ(w.Curves[2].Scale, 0.05);  // beyond the curve count
}

TEST(GraphMouseTest, CentreModeEditsKeepTheOppositeEdge) {
  TGrWin w = Window();
  w.ScaleMode = FitCentreHalfRange;
  CurveSlot& c = w.Curves[0];
  c.Centre = 4;  // band -6 .. 14
  ASSERT_TRUE(OpenLabelEditor(w, 10, 318, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, -16));  // band -16 .. 14
  EXPECT_DOUBLE_EQ(c.Zoom, 10.0 / 15.0);
  EXPECT_DOUBLE_EQ(c.Centre, -1);

  // Top edge; the editor shows centre + half range of the band as drawn.
  w.EditorValue = 14;
  w.LabelEditTarget = TopYLabel;
  EXPECT_FALSE(ApplyLabelEdit(w, -20));  // below the bottom edge
  w.LabelEditTarget = TopYLabel;
  EXPECT_TRUE(ApplyLabelEdit(w, 24));  // band -16 .. 24
  EXPECT_DOUBLE_EQ(c.Centre, 4);
  EXPECT_DOUBLE_EQ(c.Zoom, 10.0 / 15.0 * 15.0 / 20.0);

  ASSERT_TRUE(OpenLabelEditor(w, 10, 170, TextHeight));
  EXPECT_TRUE(ApplyLabelEdit(w, 7));
  EXPECT_DOUBLE_EQ(c.Centre, 7);
}

TEST(GraphMouseTest, ClickZoomHalvesAndDoublesAroundTheIndex) {
  TGrWin w = Window();
  w.DisplayedRange = {0, 1000};
  const int x500 = 250;  // index 500
  EXPECT_TRUE(ZoomByClick(w, x500, 100, true));
  EXPECT_EQ(w.DisplayedRange, (IndexRange{250, 750}));
  w.DisplayedRange = {0, 1000};
  EXPECT_TRUE(ZoomByClick(w, x500, 100, false));
  EXPECT_EQ(w.DisplayedRange, (IndexRange{0, 1500}));  // -500 held at 0

  // Off-centre: the narrower side sets the new width.
  w.DisplayedRange = {0, 1000};
  EXPECT_TRUE(ZoomByClick(w, 90, 100, true));  // index 100
  EXPECT_EQ(w.DisplayedRange, (IndexRange{50, 150}));

  EXPECT_FALSE(ZoomByClick(w, x500, 400, true));  // below the plot
  w.DisplayedRange = w.FullRange;
  EXPECT_FALSE(ZoomByClick(w, x500, 100, false));
  w.DisplayedRange = {10, 14};
  EXPECT_FALSE(ZoomByClick(w, x500, 100, true));
  EXPECT_EQ(w.DisplayedRange, (IndexRange{10, 14}));
}

TEST(GraphMouseTest, HorizontalDragsMoveOneEnd) {
  TGrWin w = Window();
  w.FullRange = {0, 1000};
  w.DisplayedRange = {500, 1000};
  EXPECT_FALSE(StartHorizontalDrag(w, 200, 100));  // no tool on
  w.ToolZoomKeepRight = true;
  EXPECT_FALSE(StartHorizontalDrag(w, 200, 330));  // below the plot
  ASSERT_TRUE(StartHorizontalDrag(w, 200, 100));
  EXPECT_TRUE(DragHorizontally(w, 300));  // 1000 - round(500 × 250 / 150)
  EXPECT_EQ(w.DisplayedRange, (IndexRange{167, 1000}));
  EXPECT_EQ(w.DragAnchorX, 300);
  EXPECT_FALSE(DragHorizontally(w, 450));  // at the fixed end
  EXPECT_TRUE(DragHorizontally(w, 440));   // far towards it: held at the start
  EXPECT_EQ(w.DisplayedRange.First, 0);
  EXPECT_FALSE(DragHorizontally(w, 445));
  EXPECT_EQ(w.DragAnchorX, 440);

  w.DragRightFixed = false;
  w.ToolZoomKeepRight = false;
  w.ToolZoomKeepLeft = true;
  ASSERT_TRUE(StartHorizontalDrag(w, 250, 100));
  EXPECT_TRUE(DragHorizontally(w, 450));  // 0 + round(1000 × 200 / 400)
  EXPECT_EQ(w.DisplayedRange, (IndexRange{0, 500}));
  EXPECT_FALSE(DragHorizontally(w, 50));
  EXPECT_TRUE(DragHorizontally(w, 150));  // 2000, held at the full end
  EXPECT_EQ(w.DisplayedRange.Last, 1000);
  EXPECT_TRUE(DragHorizontally(w, 449));  // never below first + 1
  EXPECT_EQ(w.DisplayedRange.Last, 251);
}

// A vertical drag that has started at row `from` and moves to `to`.
TGrWin DraggedFrom(int from, std::uint8_t mode) {
  TGrWin w = Window();
  w.ScaleMode = mode;
  w.Curves[0].Max = 1;
  w.Curves[0].HalfRange = 8;
  w.ToolZoomVertical = true;
  EXPECT_TRUE(StartVerticalDrag(w, 100, from));
  EXPECT_FALSE(w.ToolZoomVertical);  // resting while the drag lasts
  return w;
}

TEST(GraphMouseTest, VerticalDragZoomsAboutTheBandsFixedLine) {
  // Mode 1 measures from the band bottom (320): 220 → 120 is 100 → 200 px.
  TGrWin w = DraggedFrom(220, ZeroAtBottom);
  ASSERT_TRUE(DragVertically(w, 120));
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 2.0);
  EXPECT_EQ(w.DragAnchorY, 120);
  EXPECT_FALSE(DragVertically(w, 20));   // at the band top nothing happens
  EXPECT_FALSE(DragVertically(w, 320));  // onto the fixed line: no zero zoom
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 2.0);

  // Mode 2 measures from the band top (20).
  w = DraggedFrom(120, ZeroAtTop);
  ASSERT_TRUE(DragVertically(w, 70));
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 0.5);

  // Mode 3 measures from the middle (170) and also shrinks the half range;
  // the pointer may not cross the middle.
  w = DraggedFrom(70, FitCentreHalfRange);
  ASSERT_TRUE(DragVertically(w, 250));
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 0.01);
  EXPECT_DOUBLE_EQ(w.Curves[0].HalfRange, 800);
  EXPECT_EQ(w.DragAnchorY, 169);
  EXPECT_FALSE(DragVertically(w, 169));  // same row as the anchor

  // A flat curve keeps its zoom; the anchor still follows.
  w = DraggedFrom(70, SymmetricAboutCentre);
  w.Curves[0].Max = w.Curves[0].Min;
  EXPECT_FALSE(DragVertically(w, 120));
  EXPECT_EQ(w.DragAnchorY, 120);

  EndDrags(w, true);
  EXPECT_FALSE(w.DragVertical);
  EXPECT_TRUE(w.ToolZoomVertical);
}

TEST(GraphMouseTest, VerticalDragNeedsACurveToZoomAndSharesTheZoomWhereCurvesDo) {
  TGrWin w = Window();
  w.ToolZoomVertical = true;
  w.SelectedCurve = -1;  // two curves, none selected, not accumulating
  EXPECT_FALSE(VerticalZoomApplies(w));
  EXPECT_FALSE(StartVerticalDrag(w, 100, 100));
  w.Accumulating = true;
  ASSERT_TRUE(StartVerticalDrag(w, 100, 120));
  for (CurveSlot& c : w.Curves) c.Max = 1;
  ASSERT_TRUE(DragVertically(w, 70));  // 50 px from the middle → 100 px
  EXPECT_EQ(w.SelectedCurve, 0);
  EXPECT_DOUBLE_EQ(w.Curves[0].Zoom, 2.0);
  EXPECT_DOUBLE_EQ(w.Curves[1].Zoom, 2.0);

  // An interval spectrum hands its zoom to the curve it shows.
  TGrWin traces = Window();
  traces.SelectedCurve = 1;
  TGrWin spectrum = Window();
  spectrum.Type = IntervalSpectrum;
  spectrum.CurveCount = 1;
  spectrum.Curves[0].Max = 1;
  spectrum.SourceWindow = &traces;
  spectrum.ToolZoomVertical = true;
  ASSERT_TRUE(StartVerticalDrag(spectrum, 100, 120));
  ASSERT_TRUE(DragVertically(spectrum, 20));
  EXPECT_DOUBLE_EQ(traces.Curves[1].Zoom, 3.0);
  EXPECT_DOUBLE_EQ(traces.Curves[0].Zoom, 1.0);
}

}  // namespace
}  // namespace kalvex

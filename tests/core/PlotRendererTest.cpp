// Drawing graph windows onto a recording canvas with fixed metrics: layout,
// labels, bands and scaling, the three ways of mapping indices to pixels,
// the waterfall, the read-out line and the number formats.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "graphs/PlotRenderer.h"
#include "recordings/NoValue.h"
#include "recordings/TNFile.h"
#include "support/FakeCanvas.h"
#include "support/FakeWindowSetHost.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

using test::CanvasOp;

constexpr std::int32_t Red = 0xFF0000, Blue = 0x0000FF, Green = 0x008000;

struct Plot {
  explicit Plot(int type = SignalTraces, int mode = Velnarund) : r(mode, 1000, 1000) {
    r.rec.Origin = OriginFile;
    w = test::MakeWindow(type, r.rec);
    w->Form = &form;
    w->PlotWidth = 500;
    w->PlotHeight = 300;
    w->XPerUnit = 1000;
  }

  CurveSlot& AddCurve(const std::vector<double>& values, std::int32_t colour,
                      const std::string& name = "C") {
    CurveSlot& c = w->Curves[w->CurveCount++];
    ValueArray& a = c.Allocate(static_cast<int>(values.size()));
    a.Values = values;
    ScanValueRange(a, static_cast<int>(values.size()));
    c.Min = a.Min;
    c.Max = a.Max;
    c.Colour = colour;
    c.Name = name;
    const int n = static_cast<int>(values.size());
    w->FullRange = w->DisplayedRange = {0, n};
    return c;
  }

  void Draw(DrawRequest request = {}) {
    canvas.ops.clear();
    DrawGraph(*w, canvas, r.Context(), request);
  }

  test::SignalRecording r;
  std::unique_ptr<TGrWin> w;
  test::FakeGraphForm form;
  test::FakeCanvas canvas;
};

std::vector<double> Ramp(int n) {
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) v[i] = i % 7 - 3.0;
  return v;
}

TEST(PlotRendererTest, PlotRectangleComesFromTheFontMetrics) {
  Plot p;
  p.AddCurve(Ramp(100), Red);
  p.Draw();
  // 500 − 4 − 13 = 483, width 433 → 432; 300 − 13 − 8 = 279, 279 − 21 even.
  EXPECT_EQ(p.w->PlotRect, (IntRect{50, 21, 482, 279}));
  const auto grey = p.canvas.Lines(0x808080);
  ASSERT_EQ(grey.size(), 4u);  // three inner verticals and the centre line
  EXPECT_EQ(grey[0].x, 158);
  EXPECT_EQ(grey[2].x, 374);
  EXPECT_EQ(grey[3].y, 150);

  // A print window (no form) leaves no room for the legend; an odd height
  // moves the bottom up.
  p.w->Form = nullptr;
  p.w->PlotHeight = 301;
  p.Draw();
  EXPECT_EQ(p.w->PlotRect, (IntRect{50, 21, 494, 279}));

  // A page rectangle sets the plot size and gets a frame.
  const IntRect page{100, 200, 601, 501};
  p.Draw({.outer = &page});
  EXPECT_EQ(p.w->PlotWidth, 500);
  EXPECT_EQ(p.w->PlotHeight, 300);
  EXPECT_EQ(p.w->PlotRect, (IntRect{150, 221, 594, 479}));
  const auto& ops = p.canvas.ops;
  ASSERT_GE(ops.size(), 6u);
  EXPECT_EQ(ops[0].kind, CanvasOp::Fill);
  EXPECT_EQ(ops[0].colour, 0xFFFFFF);
  EXPECT_EQ(ops[1].kind, CanvasOp::Move);
  EXPECT_EQ(ops[5].kind, CanvasOp::Line);
  EXPECT_EQ(ops[5].x, 100);
  EXPECT_EQ(ops[5].y, 200);
}

TEST(PlotRendererTest, XLabelsTextsPositionsAndHitRectangles) {
  Plot p;
  p.AddCurve(Ramp(3000), Red);
  p.w->DisplayedRange = {1250, 2000};
  p.Draw();
  const CanvasOp* left = p.canvas.FindText("1.25");
  const CanvasOp* right = p.canvas.FindText("2.0");
  const CanvasOp* middle = p.canvas.FindText("1.625");
  ASSERT_TRUE(left && right && middle);
  EXPECT_EQ(left->x, 50);
  EXPECT_EQ(left->y, 283);
  EXPECT_EQ(right->x, 482 - 20);
  EXPECT_EQ(middle->x, 50 + 216 - 30 / 2);
  EXPECT_TRUE(p.canvas.FindText("1.438"));  // (3·first + last) ÷ 4 = 1437.5
  EXPECT_TRUE(p.canvas.FindText("1.813"));
  EXPECT_EQ(p.w->LeftXLabelRect, (IntRect{49, 282, 76, 297}));
  EXPECT_EQ(p.w->RightXLabelRect, (IntRect{461, 282, 483, 297}));
}

TEST(PlotRendererTest, NoSignalDrawsOnlyItsTextAndTheXLabels) {
  Plot p;
  p.AddCurve(Ramp(100), Red);
  p.w->RecordingMode = NoSignal;
  p.w->PlotRect = {50, 21, 482, 279};
  p.Draw();
  EXPECT_TRUE(p.canvas.Of(CanvasOp::Line).empty());
  const auto texts = p.canvas.Of(CanvasOp::Text);
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[0].text, "Нет сигнала");
  EXPECT_EQ(texts[0].x, 60 + (500 - 60) / 2);
  EXPECT_EQ(texts[0].y, 13 + (300 - 13) / 2);
  // The grid width is 0: the three inner labels are all centred at the left.
  EXPECT_EQ(texts[3].x, 50 - test::FakeCanvas::Width(texts[3].text) / 2);
}

// Regression: with separate axes in a low window, the bottom label of one
// band ran into the top label of the next ("-2.0" over "2.0").
TEST(PlotRendererTest, YLabelsOfShortBandsNeverOverlap) {
  for (int plotHeight : {300, 100, 60, 30}) {
    Plot p;
    p.w->PlotHeight = plotHeight + 42;
    for (std::int32_t colour : {Red, Blue, Green, Red}) p.AddCurve(Ramp(100), colour);
    p.w->SeparateAxes = true;
    p.Draw();
    std::vector<int> tops;  // of the labels left of the plot, top to bottom
    for (const CanvasOp& op : p.canvas.Of(CanvasOp::Text))
      if (op.font.escapement == 0 && op.x < p.w->PlotRect.Left && op.y >= p.w->PlotRect.Top)
        tops.push_back(op.y);
    std::sort(tops.begin(), tops.end());
    for (std::size_t i = 1; i < tops.size(); ++i) EXPECT_GE(tops[i] - tops[i - 1], 13) << plotHeight;
    for (int top : tops) EXPECT_LE(top + 13, p.w->PlotRect.Bottom) << plotHeight;
    if (plotHeight == 300) {
      EXPECT_EQ(tops.size(), 12u);  // room for top, middle and bottom
    }
  }
}

// A window without a range still labels its x axis, as one in mode 5 does.
TEST(PlotRendererTest, AWindowWithoutRangeDrawsItsGridAndFiveXLabels) {
  Plot p(NoGraphType);
  p.Draw();
  EXPECT_FALSE(p.canvas.Of(CanvasOp::Line).empty());
  int labels = 0;
  for (const auto& text : p.canvas.Of(CanvasOp::Text))
    if (text.y == p.w->PlotRect.Bottom + 4) ++labels;
  EXPECT_EQ(labels, 5);
  EXPECT_EQ(p.w->LeftXLabelRect.Left, p.w->PlotRect.Left - 1);
}

// 400 pixel columns: a surface of 467 with a form.
std::size_t CurveLines(int samples) {
  Plot p;
  p.w->PlotWidth = 467;
  p.AddCurve(Ramp(samples), Red);
  p.w->SelectedCurve = 0;
  p.Draw();
  EXPECT_EQ(p.w->PlotRect.Right - p.w->PlotRect.Left, 400);
  return p.canvas.Lines(Red).size();
}

TEST(PlotRendererTest, IndexToPixelRegimesAndEnvelopeThresholds) {
  EXPECT_EQ(CurveLines(300), 299u);  // a vertex per index, up to the range end
  EXPECT_EQ(CurveLines(500), 400u);  // one value per column
  EXPECT_EQ(CurveLines(599), 400u);
  EXPECT_EQ(CurveLines(600), 800u);  // envelope: two segments per column
  EXPECT_EQ(CurveLines(1000), 800u);
  EXPECT_EQ(CurveLines(65535), 800u);
}

TEST(PlotRendererTest, OneValuePerColumnStepsAcrossEveryColumnOnce) {
  Plot p;
  p.AddCurve(Ramp(500), Red);
  p.Draw();
  const auto lines = p.canvas.Lines(Red);
  ASSERT_EQ(lines.size(), 432u);
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].x, 51 + static_cast<int>(i));
}

TEST(PlotRendererTest, EnvelopeReachesEverySpike) {
  Plot p;
  std::vector<double> v(10000, 0.0);
  v[1234] = 1.0;
  v[8765] = -1.0;
  p.AddCurve(v, Red);
  p.Draw();
  // Symmetric scaling about the middle (150), 129 pixels per unit.
  int tops = 0, bottoms = 0;
  for (const CanvasOp& op : p.canvas.Lines(Red)) {
    tops += op.y == 21;
    bottoms += op.y == 279;
    EXPECT_GE(op.y, 21);
    EXPECT_LE(op.y, 279);
  }
  EXPECT_EQ(tops, 1);
  EXPECT_EQ(bottoms, 1);
}

TEST(PlotRendererTest, FlatCurveLiesInTheMiddleOfItsBand) {
  Plot p;
  p.AddCurve(std::vector<double>(800, 3.0), Red);
  p.Draw();
  const auto lines = p.canvas.Lines(Red);
  ASSERT_FALSE(lines.empty());
  for (const CanvasOp& op : lines) EXPECT_EQ(op.y, 150);
  EXPECT_EQ(p.w->Curves[0].Scale, 0.0);
  // The y labels read 0 everywhere.
  EXPECT_TRUE(p.canvas.FindText("0.0"));
}

TEST(PlotRendererTest, SeparateAxesGiveEachCurveItsBandAndLabels) {
  Plot p;
  p.w->PlotHeight = 342;  // plot 21..321: 300 pixels
  p.AddCurve(Ramp(100), Red, "A");
  p.AddCurve(Ramp(100), Blue, "B");
  p.AddCurve(Ramp(100), Green, "C");
  p.w->SeparateAxes = true;
  p.w->SelectedCurve = 1;
  p.Draw();
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(p.w->Curves[c].BandTop, 21 + 100 * c);
    EXPECT_EQ(p.w->Curves[c].BandBottom, 121 + 100 * c);
    EXPECT_EQ(p.w->Curves[c].BandHeight, -100);
    for (const CanvasOp& op : p.canvas.Lines(p.w->Curves[c].Colour)) {
      EXPECT_GE(op.y, 21 + 100 * c);
      EXPECT_LE(op.y, 121 + 100 * c);
    }
  }
  // No common centre line; each band has its own (grey) and a top line.
  EXPECT_EQ(p.canvas.Lines(0x808080).size(), 3u + 3u);
  // Labels of every band, in the band's colour: 3 values of ±3, "0.0".
  int labels = 0;
  for (const CanvasOp& op : p.canvas.Of(CanvasOp::Text))
    if (op.text == "3.0" || op.text == "-3.0") {
      ++labels;
      EXPECT_EQ(op.x + test::FakeCanvas::Width(op.text), 48);
    }
  EXPECT_EQ(labels, 6);
  // Legends beside the plot, bottom-to-top; the selected one larger.
  std::vector<CanvasOp> legends;
  for (const CanvasOp& op : p.canvas.Of(CanvasOp::Text))
    if (op.font.escapement == 900) legends.push_back(op);
  ASSERT_EQ(legends.size(), 3u);
  for (const CanvasOp& op : legends) EXPECT_EQ(op.x, 484);
  EXPECT_EQ(legends[1].text, "B");
  EXPECT_EQ(legends[1].font.height, 10);
  EXPECT_EQ(legends[1].colour, Blue);
  EXPECT_EQ(legends[1].y, 121 + (10 + 100) / 2);
  EXPECT_EQ(legends[0].font.height, 8);
}

TEST(PlotRendererTest, SelectedCurveIsDrawnLastAndLabelledAlone) {
  Plot p;
  p.AddCurve(Ramp(100), Red);
  p.AddCurve({-2.0, 2.0}, Blue);
  p.AddCurve(Ramp(100), Green);
  p.w->FullRange = p.w->DisplayedRange = {0, 100};
  p.w->SelectedCurve = 1;
  p.Draw();
  std::vector<std::int32_t> order;
  for (const CanvasOp& op : p.canvas.Of(CanvasOp::Line))
    if (op.colour != 0 && op.colour != 0x808080 && (order.empty() || order.back() != op.colour))
      order.push_back(op.colour);
  EXPECT_EQ(order, (std::vector<std::int32_t>{Red, Green, Blue}));
  // The common axis carries the selected curve's labels only: ±2 and the mean.
  const CanvasOp* top = p.canvas.FindText("2.0");
  const CanvasOp* bottom = p.canvas.FindText("-2.0");
  ASSERT_TRUE(top && bottom);
  EXPECT_EQ(top->y, 21);
  EXPECT_EQ(bottom->y, 279 - 13);
  EXPECT_EQ(top->colour, Blue);
  EXPECT_FALSE(p.canvas.FindText("3.0"));
  // Black-and-white drawing: every curve and label in black.
  const IntRect page{0, 0, 501, 301};
  p.Draw({.colour = false, .outer = &page});
  EXPECT_TRUE(p.canvas.Lines(Blue).empty());
  EXPECT_EQ(p.canvas.FindText("2.0")->colour, 0);
}

TEST(PlotRendererTest, ACurveWithoutValuesEndsTheDrawing) {
  Plot p;
  p.AddCurve(Ramp(100), Red);
  p.AddCurve(Ramp(100), Blue);
  p.AddCurve(Ramp(100), Green);
  p.w->Curves[1].Values.reset();
  p.w->SelectedCurve = 2;
  p.Draw();
  EXPECT_FALSE(p.canvas.Lines(Red).empty());
  EXPECT_TRUE(p.canvas.Lines(Green).empty());
  for (const CanvasOp& op : p.canvas.Of(CanvasOp::Text)) EXPECT_NE(op.font.name, "Courier New");
}

TEST(PlotRendererTest, NothingIsDrawnWithoutRecordedData) {
  Plot p;
  p.AddCurve(Ramp(100), Red);
  p.r.rec.Origin = OriginNone;
  p.Draw();
  EXPECT_TRUE(p.canvas.Lines(Red).empty());
}

TEST(PlotRendererTest, ScaleModesPlaceTheZeroLine) {
  Plot p;
  CurveSlot& c = p.AddCurve({1.0, 3.0, 5.0, 1.0}, Red);
  p.w->ScaleMode = FitCentreHalfRange;
  c.Centre = 3;
  c.HalfRange = 2;
  p.Draw();
  // 5 at the band top, 1 at the bottom, 3 in the middle.
  std::set<int> ys;
  for (const CanvasOp& op : p.canvas.Lines(Red)) ys.insert(op.y);
  EXPECT_EQ(ys, (std::set<int>{21, 150, 279}));
  // A second draw keeps the scale and recomputes the same zero line.
  const double zero = c.ZeroLine;
  p.Draw();
  EXPECT_DOUBLE_EQ(c.ZeroLine, zero);

  // A zero half range has no fit of its own: the curve is fitted about the
  // band middle instead of vanishing.
  c.Scale = 0;
  c.HalfRange = 0;
  p.Draw();
  EXPECT_TRUE(std::isfinite(c.Scale));
  EXPECT_DOUBLE_EQ(c.ZeroLine, 150);

  c.Scale = 0;
  p.w->ScaleMode = ZeroAtBottom;
  p.Draw();
  EXPECT_DOUBLE_EQ(c.ZeroLine, 279);
  EXPECT_DOUBLE_EQ(c.Scale, 0.2);
}

TEST(PlotRendererTest, CurveShorterThanItsRangeReadsNoFurther) {
  Plot p;
  CurveSlot& c = p.AddCurve(Ramp(1000), Red);
  c.Values->Values.resize(10);  // the range still says 1000
  p.Draw({.cursorX = 400});
  const auto lines = p.canvas.Lines(Red);
  ASSERT_EQ(lines.size(), 864u);
  // Past its end the curve holds its last value, -1: 150 + 258 / 6.
  for (std::size_t i = 20; i < lines.size(); ++i) EXPECT_EQ(lines[i].y, 193) << i;
  EXPECT_TRUE(p.canvas.FindText("C=-1.000"));
}

TEST(PlotRendererTest, DistortionWaterfallShiftsEachRowEarliestLowest) {
  Plot p(Distortion);
  const int rows = 3, m = 100;
  std::vector<double> v(rows * m);
  for (int r = 0; r < rows; ++r)
    for (int j = 0; j < m; ++j) v[r * m + j] = -10.0 * (r + 1);
  CurveSlot& c = p.AddCurve(v, Red);
  c.Min = -40;
  c.Max = 0;
  p.w->FullRange = p.w->DisplayedRange = {0, m};
  p.w->WaterfallRows = rows;
  p.w->TimePoint = -1;
  p.w->SeparateAxes = true;
  p.w->ScaleMode = ZeroAtTop;
  p.w->SelectedCurve = 0;
  p.r.rec.SweepSeconds = 12;
  p.Draw();
  // Band 21..279, factor 3/7, row step −258·(3/7)·(2/3) = −73.71.
  EXPECT_DOUBLE_EQ(p.w->WaterfallFactor, 3.0 / 7);
  EXPECT_NEAR(p.w->WaterfallRowStep, -73.714, 1e-3);
  const auto lines = p.canvas.Lines(Red);
  ASSERT_EQ(lines.size(), 3u * 99u);
  std::vector<int> rowY;
  for (int r = 0; r < rows; ++r) {
    rowY.push_back(lines[r * 99].y);
    for (int k = 0; k < 99; ++k) EXPECT_EQ(lines[r * 99 + k].y, rowY[r]);
  }
  // Row r: 21 + (2 − r)·73.71 + 10(r+1)/40·258·3/7.
  EXPECT_EQ(rowY, (std::vector<int>{196, 150, 104}));
  EXPECT_GT(rowY[0], rowY[1]);
  EXPECT_GT(rowY[1], rowY[2]);
  // No centre lines, time labels instead of values, no read-out values.
  EXPECT_TRUE(p.canvas.Lines(0x808080).size() == 3u);
  EXPECT_EQ(p.canvas.FindText("0s")->y, 279 - 13);
  EXPECT_EQ(p.canvas.FindText("12s")->y, 21 + 111 - 13);
}

TEST(PlotRendererTest, ReadoutLineShowsValuesUnitsAndFrameFrequency) {
  Plot p;
  std::vector<double> a(1000, 0.0), b(1000, 0.0);
  a[500] = 1.23456;
  b[500] = -0.5;
  p.AddCurve(a, Red, "REF");
  p.AddCurve(b, Blue, "RM");
  p.w->TraceChannels = {0, -1, -1, -1, 1, -1, -1};
  p.r.rec.FrameAnalyses[0] = std::make_unique<FrameAnalysis>(10);
  p.r.rec.FrameAnalyses[0]->Array(0)[5] = 16;  // 16 × 1000 ÷ 1024 Hz
  p.Draw({.cursorX = 50 + 216});
  const CanvasOp* ref = p.canvas.FindText("REF=+1.234V");
  const CanvasOp* rm = p.canvas.FindText("RM=-0.500g");
  const CanvasOp* at = p.canvas.FindText("0.500sec(15.6Hz)");
  ASSERT_TRUE(ref && rm && at);
  EXPECT_EQ(ref->x, 50);
  EXPECT_EQ(ref->y, 4);
  EXPECT_EQ(ref->colour, Red);
  EXPECT_EQ(ref->font.name, "Courier New");
  EXPECT_EQ(rm->x, 50 + 60 + 4);
  EXPECT_EQ(p.w->Curves[0].ReadoutLeft, 50);
  EXPECT_EQ(p.w->Curves[0].ReadoutRight, 110);
  EXPECT_EQ(p.w->Curves[1].ReadoutLeft, 114);
  EXPECT_EQ(at->x + test::FakeCanvas::Width(at->text), 482);
  EXPECT_EQ(at->colour, 0);

  // The mouse position, clamped to the plot, when no cursor is given; the
  // last index is never read.
  p.Draw({.mouseX = 10000});
  EXPECT_TRUE(p.canvas.FindText("0.998sec(0.0Hz)"));
  p.Draw({.cursorX = 482});
  EXPECT_TRUE(p.canvas.FindText("0.999sec(0.0Hz)"));
  // Accumulation: the group caption first, then bare values.
  TNFile s1;
  s1.Number = 4;
  p.w->Accumulating = true;
  p.w->GroupCaption = "REF";
  p.w->Curves[0].Recording = p.w->Curves[1].Recording = &s1;
  p.w->SelectedCurve = 0;
  p.Draw({.cursorX = 266});
  EXPECT_TRUE(p.canvas.FindText("REF="));
  EXPECT_TRUE(p.canvas.FindText("+1.234V"));
  EXPECT_TRUE(p.canvas.FindText("-0.500V"));  // both curves show channel 0
  EXPECT_TRUE(p.canvas.FindText("S4"));       // the legend names the recording
  // Printing has no read-out line.
  const IntRect page{0, 0, 501, 301};
  p.Draw({.cursorX = 266, .outer = &page});
  EXPECT_FALSE(p.canvas.FindText("REF="));
  EXPECT_FALSE(p.canvas.FindText("S4"));
}

TEST(PlotRendererTest, NumberFormats) {
  EXPECT_EQ(FormatReadoutValue(123456.7, SignalTraces), "+*****");
  EXPECT_EQ(FormatReadoutValue(-123456.7, SignalTraces), "-*****");
  EXPECT_EQ(FormatReadoutValue(1.23456, SignalTraces), "+1.234");
  EXPECT_EQ(FormatReadoutValue(-0.5, SignalTraces), "-0.500");
  EXPECT_EQ(FormatReadoutValue(12.345, Harmonics), "+12.3");
  EXPECT_EQ(FormatReadoutValue(NoValue, SignalTraces), "");

  EXPECT_EQ(FormatXLabel(1250, 1000.0), "1.25");
  EXPECT_EQ(FormatXLabel(2000, 1000.0), "2.0");
  EXPECT_EQ(FormatXLabel(250, 500.0), "0.5");
  EXPECT_EQ(FormatXLabel(25, 10.0), "2.5");  // one digit, nothing dropped
  EXPECT_EQ(FormatXLabel(7, 0.0), "0.0");
  EXPECT_EQ(FormatXReadout(1250, 1000.0), "1.250");
  EXPECT_EQ(FormatXReadout(250, 500.0), "0.500");  // 500 is not a power of ten
  EXPECT_EQ(FormatXReadout(2000, 1000.0), "2.000");

  EXPECT_EQ(FormatYLabel(NoValue), "");
  EXPECT_EQ(FormatYLabel(1e-9), "0.0");
  EXPECT_EQ(FormatYLabel(15.0), "15.0");
  EXPECT_EQ(FormatYLabel(-2.5), "-2.5");
  EXPECT_EQ(FormatYLabel(0.05), "0.05");
  EXPECT_EQ(FormatYLabel(0.012345), "0.0123");
  EXPECT_EQ(FormatYLabel(1234.56), "1234.6");
}

}  // namespace
}  // namespace kalvex

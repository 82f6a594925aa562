// The report page on a canvas with fixed metrics: page rectangle and grid,
// the header's comment lines, the vibrator line, the graphs of each mode,
// black-and-white printing, and the recording's polarity around the drawing.

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include <stdexcept>
#include <tuple>

#include "graphs/ReportPage.h"
#include "graphs/ReportQcBlock.h"
#include "support/EnglishTexts.h"
#include "support/FakeCanvas.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

using test::CanvasOp;
using test::FakeCanvas;
using Rect = std::tuple<int, int, int, int>;

// A recording of the mode with a tone on every channel.
struct ToneRecording : test::SignalRecording {
  explicit ToneRecording(int mode) : SignalRecording(mode, 1000, 2000, 2) {
    for (int slot = 0; slot < ChannelCount(mode); ++slot)
      Set(slot, test::Tone(1000.0 * (slot + 1), 40, 2000));
  }
};

// The rectangles the graphs filled (each graph clears its cell first).
std::set<Rect> GraphCells(const FakeCanvas& canvas) {
  std::set<Rect> cells;
  for (const CanvasOp& op : canvas.Of(CanvasOp::Fill))
    cells.insert({op.x, op.y, op.right, op.bottom});
  return cells;
}

Rect Cell(const IntRect& page, int column, int row) {
  const int h = (page.Bottom - page.Top - 128) / 5;
  const int top = page.Top + 16 * (3 + row) + row * h;
  const int mid = page.Left + (page.Right - page.Left) / 2;
  return column == 0 ? Rect{page.Left + 16, top, mid - 8, top + h}
                     : Rect{mid + 8, top, page.Right - 16, top + h};
}

class ReportPageTest : public ::testing::Test {
 protected:
  test::LinkedFftw fftw;
};

TEST_F(ReportPageTest, PageRectangleFrameAndGridOfEveryMode) {
  // A4 at 600 dpi with no unprintable margin: the frame is at the edges.
  const IntRect a4 = ReportPageRect({4960, 7016}, 0, 0);
  EXPECT_EQ(a4, (IntRect{0, 0, 4960, 7016}));
  EXPECT_EQ(ReportPageRect({4960, 7016}, 30, 31), (IntRect{80, 51, 4840, 6914}));
  EXPECT_EQ(ReportBitmapSize(Velnarund), (PageSize{1500, 1200}));
  EXPECT_EQ(ReportBitmapSize(Similarity), (PageSize{1500, 900}));
  EXPECT_EQ(ReportBitmapSize(Ombrel16), (PageSize{1500, 900}));
  EXPECT_EQ(ReportBitmapPage({1500, 900}), (IntRect{5, 5, 1495, 895}));

  const IntRect page{0, 0, 2480, 3508};
  for (int mode : {Velnarund, Tarpokline, Dodida, Ombrel16}) {
    SCOPED_TRACE(mode);
    ToneRecording s(mode);
    FakeCanvas canvas;
    ASSERT_TRUE(DrawReport(canvas, page, BitmapReportValues(true), "", s.Context()));

    // The frame: the first lines, five pixels wide, round the page.
    const auto lines = canvas.Of(CanvasOp::Line);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ((std::vector<std::tuple<int, int, int>>{{lines[0].x, lines[0].y, lines[0].penWidth},
                                                      {lines[1].x, lines[1].y, lines[1].penWidth},
                                                      {lines[2].x, lines[2].y, lines[2].penWidth},
                                                      {lines[3].x, lines[3].y, lines[3].penWidth}}),
              (std::vector<std::tuple<int, int, int>>{
                  {2480, 0, 5}, {2480, 3508, 5}, {0, 3508, 5}, {0, 0, 5}}));
    EXPECT_EQ(lines.back().penWidth, 1);  // the graphs are drawn thin

    // Nine graphs, five rows of (B - T - 128) / 5 each; (left, 0) is the header.
    std::set<Rect> expected;
    for (int row = 1; row < 5; ++row) expected.insert(Cell(page, 0, row));
    for (int row = 0; row < 5; ++row) expected.insert(Cell(page, 1, row));
    EXPECT_EQ(GraphCells(canvas), expected);
    EXPECT_EQ(std::get<3>(Cell(page, 1, 0)) - std::get<1>(Cell(page, 1, 0)), (3508 - 128) / 5);
    EXPECT_EQ(canvas.Of(CanvasOp::Image).size(), 1u);  // the logo
  }
}

TEST_F(ReportPageTest, SimilarityDrawsOnlyTheChannelsInUse) {
  ToneRecording s(Similarity);
  s.rec.SimilarityChannels[1] = {true, false, "V1"};
  s.rec.SimilarityChannels[3] = {true, false, "V3"};
  const IntRect page{5, 5, 1495, 895};
  FakeCanvas canvas;
  ASSERT_TRUE(DrawReport(canvas, page, BitmapReportValues(true), "", s.Context()));
  std::set<Rect> expected{Cell(page, 1, 0), Cell(page, 1, 2)};
  for (int row = 1; row < 5; ++row) expected.insert(Cell(page, 0, row));
  EXPECT_EQ(GraphCells(canvas), expected);
  EXPECT_NE(canvas.FindText("Correlation dB [REF-V3]"), nullptr);
  EXPECT_NE(canvas.FindText("Vibrator Similarity Report"), nullptr);
  EXPECT_EQ(canvas.FindText("All"), nullptr);  // no harmonics key in this mode
  EXPECT_TRUE(s.rec.PolarityPositive);         // mode 2 keeps its polarity
}

// The comment's lines: the first three each the longest prefix that with a
// blank is narrower than the column, the fourth the rest (portrait); one more
// line only when the header cell has room (landscape).
TEST_F(ReportPageTest, CommentLinesInPortraitAndLandscape) {
  ToneRecording s(Velnarund);
  std::string comment;
  for (int i = 0; i < 96; ++i) comment += i % 8 == 7 ? " " : "Ж";
  s.rec.Comment = comment;
  // Column width cw = xr - xl - wC - wkg - wBP - 20 = 290 - 140 = 150 with the
  // fixed metrics: " " and 27 characters (145 wide) fit, 28 do not.
  FakeCanvas canvas;
  ASSERT_TRUE(DrawReport(canvas, {0, 0, 628, 900}, BitmapReportValues(true), "", s.Context()));
  const CanvasOp* label = canvas.FindText("Comments:");
  ASSERT_NE(label, nullptr);
  const int xv = 50 + 16 + 8;
  // Four lines: y0 = T + 32 + ht + 3 ht / 2 = 64 with ht = H = 13.
  std::vector<std::pair<int, std::string>> lines;
  for (const CanvasOp& op : canvas.Of(CanvasOp::Text))
    if (op.x == xv && op.y >= 64 + 3 * 13 && op.y <= 64 + 6 * 13) lines.push_back({op.y, op.text});
  ASSERT_EQ(lines.size(), 4u);
  std::string joined;
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(lines[k].first, 64 + (3 + k) * 13);
    ASSERT_EQ(lines[k].second.substr(0, 1), " ");
    if (k < 3) {
      EXPECT_EQ(FakeCanvas::Width(lines[k].second), 145) << k;
    }
    joined += lines[k].second.substr(1);
  }
  EXPECT_EQ(joined, comment);             // nothing lost, no character split
  EXPECT_EQ(label->y + 13, 64 + 4 * 13);  // its bottom at the end of line 4

  // Landscape, column width 464: 90 characters fit, the other 6 follow on
  // one line when y0 + 6H (142) is above T + 48 + h.
  for (auto [height, second] : {std::pair{640, true}, std::pair{600, false}}) {
    SCOPED_TRACE(height);
    FakeCanvas wide;
    ASSERT_TRUE(DrawReport(wide, {0, 0, 1256, height}, BitmapReportValues(true), "", s.Context()));
    std::optional<std::string> first, rest;
    for (const CanvasOp& op : wide.Of(CanvasOp::Text)) {
      if (op.x != xv) continue;
      if (op.y == 64 + 3 * 13) first = op.text;
      if (op.y == 64 + 4 * 13) rest = op.text;
    }
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, " " + comment.substr(0, 90 * 2 - 11 * 1));  // 79 "Ж" and 11 blanks
    EXPECT_EQ(rest.has_value(), second);
    if (rest) {
      EXPECT_EQ(first->substr(1) + rest->substr(1), comment);
    }
  }
}

TEST_F(ReportPageTest, HeaderLinesWithAndWithoutVibratorModel) {
  ToneRecording s(Dodida);
  s.values.RecordingDate = {2026, 3, 4, 9, 7, 55};
  FakeCanvas canvas;
  ASSERT_TRUE(DrawReport(canvas, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context()));
  EXPECT_NE(canvas.FindText("  -  № 12"), nullptr);
  EXPECT_NE(canvas.FindText(" 1 - 100 Hz,  10 s, Lin  -no"), nullptr);
  EXPECT_NE(canvas.FindText(" 04.03.2026 9:07"), nullptr);  // seconds cut off
  EXPECT_NE(canvas.FindText(" 80%"), nullptr);
  EXPECT_NE(canvas.FindText(" 4000 kg"), nullptr);  // RM and BP in this mode
  EXPECT_NE(canvas.FindText(" 2000 kg"), nullptr);
  EXPECT_NE(canvas.FindText("Vibrator Dodida Report"), nullptr);
  const CanvasOp* version = canvas.FindText("(v.1.1.32)");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->font.size, 10);
  const CanvasOp* kind = canvas.FindText("Vibrator Dodida Report");
  EXPECT_TRUE(kind->font.underline && kind->font.weight == 700);
  EXPECT_EQ(canvas.FindText("Vib:")->font.weight, 700);

  FakeCanvas named;
  ASSERT_TRUE(
      DrawReport(named, {0, 0, 2480, 3508}, BitmapReportValues(true), "VM-40", s.Context()));
  EXPECT_NE(named.FindText(" VM-40 № 12"), nullptr);
  EXPECT_EQ(CutSeconds("4.3.2026 9.07.55", "."), "4.3.2026 9.07");
  // A report is proposed under the recording's name, else "report".
  EXPECT_EQ(ProposedReportName("/data/vib 3.qrm", ".pdf"), "vib 3.pdf");
  EXPECT_EQ(ProposedReportName("C:\\t\\Rec_2026-12-09_18-31-49", ".pdf"), "Rec_2026-12-09_18-31-49.pdf");
  EXPECT_EQ(ProposedReportName("", ".pdf"), "report.pdf");
}

TEST_F(ReportPageTest, BlackAndWhiteHasNoKeyAndNoColour) {
  ToneRecording s(Velnarund);
  FakeCanvas colour, mono;
  ASSERT_TRUE(DrawReport(colour, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context()));
  ASSERT_TRUE(DrawReport(mono, {0, 0, 2480, 3508}, BitmapReportValues(false), "", s.Context()));
  for (const char* key : {"All", "2", "3", "4", "5"}) EXPECT_NE(colour.FindText(key), nullptr);
  EXPECT_EQ(mono.FindText("All"), nullptr);
  for (const CanvasOp& op : mono.Of(CanvasOp::Text)) EXPECT_EQ(op.font.colour, 0) << op.text;
  const CanvasOp* title = mono.FindText("Harmonics: All,2,3,4,5(%)");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->font.weight, 700);
  std::set<std::int32_t> colours;
  for (const CanvasOp& op : colour.Of(CanvasOp::Line)) colours.insert(op.colour);
  EXPECT_GT(colours.size(), 3u);  // black, the grid's grey and curve colours
}

// The recording is drawn with its polarity reversed and always given back:
// after a complete report, a drawing that fails part-way and a cancelled job.
TEST_F(ReportPageTest, PolarityIsRestoredHoweverTheDrawingEnds) {
  class FailingCanvas : public FakeCanvas {
   public:
    void PutText(int x, int y, const std::string& text) override {
      if (text == "Phase (deg)") throw std::runtime_error("printer gone");
      FakeCanvas::PutText(x, y, text);
    }
  };
  ToneRecording s(Dodida);
  const std::vector<std::int16_t> before = s.rec.Channels[1]->Samples;
  int recomputes = 0, refreshes = 0;
  bool negatedWhileDrawing = false;
  ReportSteps steps;
  steps.recomputeWindows = [&] { ++recomputes; };
  steps.refreshWindows = [&] { ++refreshes; };
  steps.beginJob = [&] {
    negatedWhileDrawing = !s.rec.PolarityPositive && s.rec.Channels[1]->Samples[10] == -before[10];
    return true;
  };
  auto expectRestored = [&](int runs) {
    EXPECT_TRUE(s.rec.PolarityPositive);
    EXPECT_EQ(s.rec.Channels[1]->Samples, before);
    EXPECT_EQ(recomputes, 2 * runs);
    EXPECT_EQ(refreshes, runs);
  };

  FakeCanvas canvas;
  EXPECT_TRUE(
      DrawReport(canvas, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context(), steps));
  EXPECT_TRUE(negatedWhileDrawing);
  expectRestored(1);

  FailingCanvas failing;
  EXPECT_THROW(
      DrawReport(failing, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context(), steps),
      std::runtime_error);
  expectRestored(2);

  steps.beginJob = [] { return false; };
  FakeCanvas cancelled;
  EXPECT_FALSE(
      DrawReport(cancelled, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context(), steps));
  EXPECT_TRUE(cancelled.ops.empty());
  expectRestored(3);

  // Negative polarity stays as it is, with nothing recomputed.
  s.rec.PolarityPositive = false;
  steps.beginJob = {};
  EXPECT_TRUE(
      DrawReport(canvas, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context(), steps));
  EXPECT_EQ(s.rec.Channels[1]->Samples, before);
  EXPECT_EQ(recomputes, 6);
}

TEST_F(ReportPageTest, RecordingWithoutSamplesIsRefused) {
  TFrmFile fresh;  // before any recording
  EXPECT_EQ(ReportRefusal(fresh), TextId::ReportNoSamples);
  ToneRecording s(Velnarund);
  EXPECT_EQ(ReportRefusal(s.rec), std::nullopt);
  s.rec.Channels[2].reset();  // a mode's channel without samples
  EXPECT_EQ(ReportRefusal(s.rec), TextId::ReportNoSamples);
  FakeCanvas canvas;
  EXPECT_FALSE(DrawReport(canvas, {0, 0, 2480, 3508}, BitmapReportValues(true), "", s.Context()));
  EXPECT_TRUE(canvas.ops.empty());
}

}  // namespace
}  // namespace kalvex

namespace kalvex {
namespace {

QcOutcome FailingOutcome() {
  QcOutcome o;
  o.profile.name = "P";
  o.profile.limits[static_cast<int>(QcFigureId::PhasePeak)].max = 10;
  QcChannelFigures c;
  c.name = "GF";
  c.values[static_cast<int>(QcFigureId::PhasePeak)] = 12;
  c.available[static_cast<int>(QcFigureId::PhasePeak)] = true;
  o.figures.channels = {c};
  o.provenance = {"1.1.32", "ab", "frame 512"};
  return o;
}

// The block under the header with the failed figure marked; the rest of the
// page as without it; where even the smallest type does not fit, the
// verdict and the failed figures only.
TEST_F(ReportPageTest, QcBlockFitsTheRoomAndLeavesThePageAsItWas) {
  const test::EnglishTexts english;
  ToneRecording s(Dodida);
  ReportValues values = BitmapReportValues(true);
  FakeCanvas plain, judged;
  ASSERT_TRUE(DrawReport(plain, {0, 0, 2480, 3508}, values, "", s.Context()));
  values.Qc = std::make_shared<QcOutcome>(FailingOutcome());
  ASSERT_TRUE(DrawReport(judged, {0, 0, 2480, 3508}, values, "", s.Context()));
  const CanvasOp* verdict = judged.FindText("QC: FAIL   (profile: P)");
  ASSERT_NE(verdict, nullptr);
  EXPECT_EQ(verdict->font.colour, 0xC00000);
  const CanvasOp* failed = judged.FindText("12.00 *");
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->font.weight, 700);
  EXPECT_NE(judged.FindText("<= 10 deg"), nullptr);
  EXPECT_NE(judged.FindText("Kalvex 1.1.32; SHA-256 ab"), nullptr);
  EXPECT_NE(judged.FindText("frame 512"), nullptr);
  EXPECT_GT(verdict->y, plain.FindText("Comments:")->y);
  EXPECT_LT(verdict->y, plain.FindText(Text(TextId::ReportNotice))->y);
  EXPECT_EQ(GraphCells(plain), GraphCells(judged));
  // Verdict, titles, "limit" and limits, the channel's row, provenance.
  EXPECT_EQ(plain.Of(CanvasOp::Text).size() + 1 + 7 + 8 + 9 + 2, judged.Of(CanvasOp::Text).size());

  FakeCanvas tight;
  DrawQcBlock(tight, {0, 0, 600, 30}, FailingOutcome(), false);
  ASSERT_EQ(tight.Of(CanvasOp::Text).size(), 2u);
  EXPECT_EQ(tight.Of(CanvasOp::Text)[1].text, "GF: phase_peak");
}

// Texts of `judged` that `plain` does not draw at the same place.
std::vector<CanvasOp> AddedTexts(const FakeCanvas& plain, const FakeCanvas& judged) {
  std::multiset<std::tuple<std::string, int, int>> before;
  for (const CanvasOp& op : plain.Of(CanvasOp::Text)) before.insert({op.text, op.x, op.y});
  std::vector<CanvasOp> added;
  for (const CanvasOp& op : judged.Of(CanvasOp::Text))
    if (auto it = before.find({op.text, op.x, op.y}); it != before.end())
      before.erase(it);
    else
      added.push_back(op);
  return added;
}

::testing::AssertionResult Inside(const std::vector<CanvasOp>& texts, const IntRect& r) {
  if (texts.empty()) return ::testing::AssertionFailure() << "no text";
  for (const CanvasOp& op : texts)
    if (op.x < r.Left || op.y < r.Top || op.x + FakeCanvas::Width(op.text) > r.Right ||
        op.y + 13 > r.Bottom)
      return ::testing::AssertionFailure() << '"' << op.text << "\" at " << op.x << ',' << op.y;
  return ::testing::AssertionSuccess();
}

// Where the block's texts go: inside its area whatever its height (the full
// block from 7 lines of 13, else the short form); a figure's title, limit and
// values in one column, the verdicts in the last; the provenance on two
// lines. On a similarity page it takes the free last cell of the right
// column; under the header it stays below the comment's last line.
TEST_F(ReportPageTest, QcBlockTextsStayInTheirPlaces) {
  const test::EnglishTexts english;
  QcOutcome outcome = FailingOutcome();
  QcChannelFigures pass = outcome.figures.channels[0];
  pass.name = "VIB2";
  pass.values[static_cast<int>(QcFigureId::PhasePeak)] = 3;
  outcome.figures.channels.push_back(pass);
  for (int height : {91, 90, 20}) {
    SCOPED_TRACE(height);
    const IntRect area{100, 200, 1300, 200 + height};
    FakeCanvas block;
    DrawQcBlock(block, area, outcome, true);
    EXPECT_TRUE(Inside(block.Of(CanvasOp::Text), area));
    EXPECT_EQ(block.Of(CanvasOp::Text).size(), height == 91 ? 36u : height == 90 ? 2u : 1u);
    if (height == 90) {
      EXPECT_EQ(block.Of(CanvasOp::Text)[1].y, 213);  // the failed figures' line
    }
  }
  FakeCanvas block;
  DrawQcBlock(block, {100, 200, 1300, 291}, outcome, true);
  auto at = [&](const std::string& text) {
    const CanvasOp* op = block.FindText(text);
    return op ? std::pair{op->x, op->y} : std::pair{-1, -1};
  };
  // Columns 45 + 7 × 157 + the verdict's: "limit" and "VIB2" are 30 and 25 wide.
  EXPECT_EQ(at("Phase peak"), std::pair(145, 213));
  EXPECT_EQ(at("<= 10 deg"), std::pair(145, 226));
  EXPECT_EQ(at("12.00 *"), std::pair(145, 239));
  EXPECT_EQ(at("3.00"), std::pair(145, 252));
  EXPECT_EQ(at("Phase RMS"), std::pair(302, 213));
  EXPECT_EQ(at("FAIL"), std::pair(1244, 239));
  EXPECT_EQ(at("PASS"), std::pair(1244, 252));
  EXPECT_EQ(block.FindText("PASS")->font.colour, 0x007000);
  EXPECT_EQ(at("Kalvex 1.1.32; SHA-256 ab"), std::pair(100, 265));
  EXPECT_EQ(at("frame 512"), std::pair(100, 278));

  // Similarity with VIB1 and VIB4: rows 0 and 3 of the right column hold
  // their correlations; the block, too tall for the free cell at legible
  // type, takes a strip across the page's foot, and the graph rows give up
  // the height it needs.
  ToneRecording sim(Similarity);
  sim.rec.SimilarityChannels[1] = {true, false, "V1"};
  sim.rec.SimilarityChannels[4] = {true, false, "V4"};
  const IntRect page{5, 5, 1495, 633};
  ReportValues values = BitmapReportValues(true);
  values.Qc = std::make_shared<QcOutcome>(outcome);
  FakeCanvas judged;
  ASSERT_TRUE(DrawReport(judged, page, values, "", sim.Context()));
  const CanvasOp* verdict = judged.FindText("QC: FAIL   (profile: P)");
  ASSERT_NE(verdict, nullptr);
  EXPECT_EQ(verdict->x, page.Left + 16);
  EXPECT_EQ(judged.FindText("12.00 *")->y, verdict->y + 3 * 13);  // the whole block
  std::vector<CanvasOp> strip;
  for (const CanvasOp& op : judged.Of(CanvasOp::Text))
    if (op.y >= verdict->y) strip.push_back(op);
  EXPECT_TRUE(Inside(strip, {page.Left + 16, verdict->y, page.Right - 16, page.Bottom - 16}));
  EXPECT_EQ(strip.size(), 36u);
  for (const CanvasOp& op : judged.Of(CanvasOp::Line))  // the page frame aside
    if (op.x > page.Left + 16 && op.x < page.Right - 16) {
      EXPECT_LT(op.y, verdict->y - 8) << "a graph reaches into the strip at x " << op.x;
    }

  ToneRecording tone(Velnarund);
  tone.rec.Comment = std::string(96, 'x');  // four lines of the comment, the last at 142
  values.Qc.reset();
  FakeCanvas bare, commented;
  ASSERT_TRUE(DrawReport(bare, {0, 0, 628, 900}, values, "", tone.Context()));
  values.Qc = std::make_shared<QcOutcome>(outcome);
  ASSERT_TRUE(DrawReport(commented, {0, 0, 628, 900}, values, "", tone.Context()));
  const std::vector<CanvasOp> below = AddedTexts(bare, commented);
  ASSERT_FALSE(below.empty());
  EXPECT_GE(below.front().y, 142 + 13);
}

}  // namespace
}  // namespace kalvex

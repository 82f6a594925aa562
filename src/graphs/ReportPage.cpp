// The report page: the header block laid out from the font metrics, then one
// print window set up and drawn per cell of the report grid.

#include "graphs/ReportPage.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "graphs/GraphSetup.h"
#include "graphs/PlotRenderer.h"
#include "graphs/ReportGrid.h"
#include "graphs/ReportQcBlock.h"
#include "graphs/TAllWindows.h"
#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"

namespace kalvex {
namespace {

constexpr int kFramePen = 5;
constexpr std::int32_t kBlack = 0x000000;

// The page and its grid: left column xl..xr, the header row's height h0 and
// the other rows' h (less than h0 when a QC strip takes the page's foot).
struct Grid {
  int L, T, R, B;
  int xl, xr, h0, h;
  bool landscape;
};

Grid GridOf(const IntRect& page) {
  Grid g{page.Left, page.Top, page.Right, page.Bottom, 0, 0, 0, 0, false};
  g.xl = g.L + 16;
  g.xr = g.L + (g.R - g.L) / 2 - 8;
  g.h0 = g.h = (g.B - g.T - 128) / 5;
  g.landscape = g.B - g.T < g.R - g.L;
  return g;
}

IntRect CellRect(const Grid& g, int column, int row) {
  const int top = row == 0 ? g.T + 48 : g.T + 64 + g.h0 + (row - 1) * (g.h + 16);
  const int bottom = top + (row == 0 ? g.h0 : g.h);
  if (column == 0) return {g.xl, top, g.xr, bottom};
  return {g.L + (g.R - g.L) / 2 + 8, top, g.R - 16, bottom};
}

// The recording's polarity reversed for the drawing and given back when the
// scope ends, however it ends: the operator's recording must not stay
// negated after a failed or cancelled report.
class PolarityReversal {
 public:
  PolarityReversal(const AnalysisContext& ctx, const ReportSteps& steps)
      : ctx_(ctx), steps_(steps) {
    TFrmFile& rec = ctx.rec;
    if (!ReportDrawsReversed(rec)) return;
    active_ = true;
    Reverse(false);
    try {
      Recompute();
    } catch (...) {
      Restore();
      throw;
    }
  }
  ~PolarityReversal() {
    if (active_) Restore();
  }
  PolarityReversal(const PolarityReversal&) = delete;
  PolarityReversal& operator=(const PolarityReversal&) = delete;

 private:
  void Restore() noexcept {
    Reverse(true);
    // The samples and the flag are back; what follows only rebuilds values
    // derived from them and must not escape a destructor.
    try {
      Recompute();
      if (steps_.refreshWindows) steps_.refreshWindows();
    } catch (...) {
    }
  }
  void Reverse(bool positive) noexcept {
    TFrmFile& rec = ctx_.rec;
    rec.ClearAnalyses();
    rec.ApplyPolarityChange();
    rec.PolarityPositive = positive;
  }
  void Recompute() {
    if (ctx_.rec.DerivedChannel) ComputeDerivedChannel(ctx_.rec, ctx_.settings);
    if (steps_.recomputeWindows) steps_.recomputeWindows();
  }

  const AnalysisContext& ctx_;
  const ReportSteps& steps_;
  bool active_ = false;
};

// A bold label whose bottom-right corner is at (right, bottom).
void PutLabel(Canvas& canvas, int right, int bottom, const std::string& text) {
  const CanvasFont normal = canvas.Font();
  canvas.SetFont(Styled(normal, normal.size, true));
  canvas.PutText(right - canvas.TextWidth(text), bottom - canvas.TextHeight(text), text);
  canvas.SetFont(normal);
}

// Byte length of the longest prefix of `rest` (whole UTF-8 characters) that
// with a leading blank is narrower than `width`.
std::size_t FittingPrefix(Canvas& canvas, const std::string& rest, int width) {
  std::size_t fits = 0;
  for (std::size_t end = 1; end <= rest.size(); ++end) {
    if (end < rest.size() && (static_cast<unsigned char>(rest[end]) & 0xC0) == 0x80) continue;
    if (canvas.TextWidth(" " + rest.substr(0, end)) >= width) break;
    fits = end;
  }
  return fits;
}

std::string DefaultDate(const LocalDateTime& d) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %d:%02d:%02d", d.Day, d.Month, d.Year, d.Hour,
                d.Minute, d.Second);
  return text;
}

std::string DateText(const ProcessValues& values, const ReportSteps& steps) {
  if (values.RecordingDate == LocalDateTime{}) return "";
  const std::string full =
      steps.formatDate ? steps.formatDate(values.RecordingDate) : DefaultDate(values.RecordingDate);
  return CutSeconds(full, steps.formatDate ? steps.timeSeparator : ":");
}

std::string Kg(int weight) {
  return FormatText(TextId::ReportWeightValue, {std::to_string(weight)});
}

struct TitleMetrics {
  int ht;  // line height of the title font
  int hv;  // line height of the header font
};

// The frame, the logo, the title with its version and the report kind.
TitleMetrics DrawTitle(Canvas& canvas, const Grid& g, int mode) {
  const CanvasFont base = canvas.Font();
  canvas.SetPenColour(kBlack);
  canvas.SetPenWidth(kFramePen);
  canvas.MoveTo(g.L, g.T);
  canvas.LineTo(g.R, g.T);
  canvas.LineTo(g.R, g.B);
  canvas.LineTo(g.L, g.B);
  canvas.LineTo(g.L, g.T);

  const CanvasImage& logo = ReportLogo();
  const int s = logo.width;
  canvas.DrawImage(g.xl, g.T + 32, g.xl + 5 * s, g.T + 32 + 5 * s, logo);

  const std::string version = FormatText(TextId::ReportVersion, {ReportVersionNumber});
  const std::string& title = Text(TextId::ReportProgramTitle);
  canvas.SetFont(Styled(base, 10, false));
  const int wv = canvas.TextWidth(version), hv = canvas.TextHeight(version);
  canvas.SetFont(Styled(base, 14, false));
  const int wt = canvas.TextWidth(title), ht = canvas.TextHeight(title);
  const int x = (g.xl + g.xr + 5 * s - wv - wt - 1) / 2;
  canvas.PutText(x, g.T + 32, title);
  canvas.SetFont(Styled(base, 10, false));
  canvas.PutText(x + wt, g.T + 32 + ht - hv, version);

  std::optional<TextId> kind;
  if (mode == Ombrel16) kind = TextId::ReportKindDoruvud;
  if (mode == Similarity) kind = TextId::ReportKindSimilarity;
  if (mode == Dodida) kind = TextId::ReportKindDodida;
  if (kind) {
    canvas.SetFont(Styled(base, 14, true, true));
    const std::string& text = Text(*kind);
    canvas.PutText((g.xl + g.xr + 5 * s - canvas.TextWidth(text) - 1) / 2, g.T + 32 + ht, text);
  }
  canvas.SetFont(base);
  return {ht, hv};
}

// The comment from line 4 on, at most four lines in portrait and two in
// landscape (the second only when the cell has room for it). Returns the y
// below its last line.
int DrawComment(Canvas& canvas, const Grid& g, const std::string& comment, int cw, int xv, int y0,
                int H) {
  std::string rest = comment;
  std::size_t take = FittingPrefix(canvas, rest, cw);
  canvas.PutText(xv, y0 + 3 * H, " " + rest.substr(0, take));
  rest.erase(0, take);
  if (g.landscape) {
    if (rest.empty() || y0 + 6 * H >= g.T + 48 + g.h0) return y0 + 4 * H;
    canvas.PutText(xv, y0 + 4 * H, " " + rest);
    return y0 + 5 * H;
  }
  int line = 4;
  for (; line <= 6 && !rest.empty(); ++line) {
    take = line < 6 ? FittingPrefix(canvas, rest, cw) : rest.size();
    canvas.PutText(xv, y0 + line * H, " " + rest.substr(0, take));
    rest.erase(0, take);
  }
  return y0 + line * H;
}

// The header block in cell (left, 0) and the notice line under it. Returns
// the room left between the header's lines and the notice line.
IntRect DrawHeader(Canvas& canvas, const Grid& g, const ReportValues& values,
                   const std::string& vibModelName, const AnalysisContext& ctx,
                   const ReportSteps& steps, TitleMetrics m) {
  const TFrmFile& rec = ctx.rec;
  const CanvasFont base = canvas.Font();
  canvas.SetFont(Styled(base, 10, false));
  const int H = m.hv, ht = m.ht;
  // "BP:" is drawn bold beside the comment's first line: the column keeps
  // clear of its bold width.
  canvas.SetFont(Styled(base, 10, true));
  const int wBP = canvas.TextWidth(Text(TextId::ReportBpLabel));
  canvas.SetFont(Styled(base, 10, false));
  const int wC = canvas.TextWidth(Text(TextId::ReportCommentsLabel));
  const int wkg = std::max({canvas.TextWidth(Kg(rec.HoldDownWeight)),
                            canvas.TextWidth(Kg(rec.ReactionMassWeight)),
                            canvas.TextWidth(Kg(rec.BaseplateWeight))});
  const int cw = g.xr - g.xl - wC - wkg - wBP - 20;
  const int commentWidth = canvas.TextWidth(rec.Comment);
  int n = 1;
  if (commentWidth >= cw) n = g.landscape || cw <= 0 ? 2 : (commentWidth + cw - 1) / cw;

  int y0 = g.T + 32 + ht + (3 * ht) / 2;
  if (!g.landscape && n == 1) y0 = g.T + 32 + ht + (5 * ht) / 2;
  if (!g.landscape && (n == 2 || n == 3)) y0 = g.T + 32 + 3 * ht;
  const int xv = wC + g.xl + 8;

  auto line = [&](int y, TextId label, const std::string& value) {
    canvas.PutText(xv, y, value);
    PutLabel(canvas, xv, y + H, Text(label));
  };
  line(y0, TextId::ReportDateLabel, " " + DateText(ctx.values, steps));
  const std::string model = vibModelName.empty() ? Text(TextId::ReportNoModel) : vibModelName;
  line(y0 + H, TextId::ReportVibLabel,
       FormatText(TextId::ReportVibValue, {model, values.VibNumber}));
  line(y0 + 2 * H, TextId::ReportSweepLabel,
       FormatText(TextId::ReportSweepValue, {values.StartHz, values.EndHz, values.Duration,
                                             values.SignalType, values.Parameter}));
  PutLabel(canvas, xv, y0 + 4 * H, Text(TextId::ReportCommentsLabel));
  const int commentEnd = DrawComment(canvas, g, rec.Comment, cw, xv, y0, H);

  const int right = g.xr - 10;
  const std::string drive = FormatText(TextId::ReportDriveValue, {values.DriveLevel});
  const int driveX = right - canvas.TextWidth(drive);
  canvas.PutText(driveX, y0, drive);
  PutLabel(canvas, driveX, y0 + H, Text(TextId::ReportDriveLabel));
  auto weight = [&](int y, TextId label, int kg) {
    const std::string text = Kg(kg);
    canvas.PutText(right - canvas.TextWidth(text), y, text);
    PutLabel(canvas, g.xr - wkg - 10, y + H, Text(label));
  };
  weight(y0 + H, TextId::ReportHdwLabel, rec.HoldDownWeight);
  if (rec.Mode == Dodida) {
    weight(y0 + 2 * H, TextId::ReportRmLabel, rec.ReactionMassWeight);
    weight(y0 + 3 * H, TextId::ReportBpLabel, rec.BaseplateWeight);
  }

  const int y1 = g.T + 48 + g.h0 - H;
  canvas.SetPenColour(kBlack);
  canvas.MoveTo(g.xl + 30, y1 - 5);
  canvas.LineTo(g.xr - 30, y1 - 5);
  const std::string& notice = Text(TextId::ReportNotice);
  canvas.PutText(g.xr - 20 - canvas.TextWidth(notice), y1 - 2, notice);
  canvas.SetFont(base);
  return {g.xl, std::max(commentEnd, y0 + 4 * H) + H / 3, g.xr - 10, y1 - 8};
}

// Where the QC block goes: a similarity page's free last right-hand cell,
// else the room under the header.
IntRect QcArea(const Grid& g, const TFrmFile& rec, const IntRect& underHeader) {
  if (rec.Mode != Similarity) return underHeader;
  for (const ReportCell& cell : ReportCells(rec))
    if (cell.column == 1 && cell.row == 4) return underHeader;
  const IntRect cell = CellRect(g, 1, 4);
  return {cell.Left + 10, cell.Top + 10, cell.Right - 10, cell.Bottom - 10};
}

// The smallest type a judged figure is still read by at print size, and the
// type of the strip that is made when the block's own place is too small.
constexpr int kLegibleQcSize = 7;
constexpr int kStripQcSize = 8;

struct QcPlace {
  IntRect area;
  Grid graphs;  // the grid the graphs are drawn in
};

// The block's own place while the whole block fits there at legible type;
// else a strip across the page's foot, as high as the block at strip type,
// for which the graph rows below the header give up height.
QcPlace PlaceQcBlock(Canvas& canvas, const Grid& g, const TFrmFile& rec, const IntRect& room,
                     const QcOutcome& outcome) {
  const IntRect own = QcArea(g, rec, room);
  if (QcBlockSize(canvas, own, outcome) >= kLegibleQcSize) return {own, g};
  Grid shrunk = g;
  const int strip = QcBlockHeight(canvas, outcome, kStripQcSize);
  shrunk.h = std::max(0, (g.B - g.T - 128 - g.h0 - strip - 16) / 4);
  const int top = CellRect(shrunk, 0, 4).Bottom + 16;
  return {{g.xl, top, g.R - 16, g.B - 16}, shrunk};
}

// The colour key beside a Harmonics graph: one line per order shown.
void DrawHarmonicsKey(Canvas& canvas, const IntRect& cell, const TGrWin& w) {
  static const char* const kOrders[] = {"", "2", "3", "4", "5"};
  const int x = cell.Right - (cell.Right - cell.Left) / 5;
  const int lineStart = x + canvas.TextWidth(Text(TextId::ReportKeyAll)) + 4;
  const int lineEnd = cell.Right - canvas.TextWidth("AAA");
  int y = cell.Top + (5 * canvas.TextWidth("A")) / 2;
  for (int k = 0; k < 5; ++k) {
    const std::string text = k == 0 ? Text(TextId::ReportKeyAll) : kOrders[k];
    const int th = canvas.TextHeight(text);
    canvas.PutText(x, y, text);
    canvas.SetPenColour(w.Curves[k].Colour);
    canvas.MoveTo(lineStart, y + th / 2);
    canvas.LineTo(lineEnd, y + th / 2);
    y += th;
  }
}

// Every cell of the grid, drawn from one print window.
void DrawGraphs(Canvas& canvas, const Grid& g, const AnalysisContext& ctx, bool colour) {
  const std::unique_ptr<TGrWin> window = TAllWindows::CreatePrintWindow(canvas.TextWidth("R"));
  window->RecordingMode = ctx.rec.Mode;
  const CanvasFont base = canvas.Font();
  CanvasFont bold = Styled(base, base.size, true);
  for (const ReportCell& cell : ReportCells(ctx.rec)) {
    const IntRect rect = CellRect(g, cell.column, cell.row);
    SetTypeWithDefaults(ctx, *window, cell.type, cell.option);
    DrawRequest request;
    request.colour = colour;
    request.outer = &rect;
    canvas.SetFont(base);
    DrawGraph(*window, canvas, ctx, request);
    canvas.SetFont(bold);
    canvas.PutText(rect.Left + 10, rect.Top + 4, cell.title);
    canvas.SetFont(base);
    if (cell.type == Harmonics && colour && ctx.rec.Mode != Similarity)
      DrawHarmonicsKey(canvas, rect, *window);
  }
  canvas.SetFont(base);
}

// A 10 × 10 picture: a dark blue square with a white sweep (a chirp's
// rising frequency) across it over an orange baseplate bar. Drawn five times
// enlarged it stays above the header's first line on every page.
CanvasImage MakeLogo() {
  static const char* const kRows[] = {
      "..........",  //
      ".W.....W.W",  //
      "W.W...W.W.",  //
      "...W.W....",  //
      "....W.....",  //
      "..........",  //
      "..........",  //
      ".OOOOOOOO.",  //
      ".OOOOOOOO.",  //
      "..........",  //
  };
  constexpr int side = 10;
  CanvasImage image{side, side, std::vector<std::int32_t>(side * side)};
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const char c = kRows[y][x];
      image.pixels[y * side + x] = c == 'W' ? 0xFFFFFF : c == 'O' ? 0xF28C28 : 0x1F3A68;
    }
  return image;
}

}  // namespace

ReportValues BitmapReportValues(bool colour) {
  ReportValues v;
  v.Parameter = "-no";
  v.SignalType = "Lin";
  v.DriveLevel = "80";
  v.VibNumber = "12";
  v.Duration = "10";
  v.EndHz = "100";
  v.StartHz = "1";
  v.Colour = colour;
  return v;
}

IntRect ReportPageRect(PageSize physical, int offsetX, int offsetY) {
  return {offsetX * 8 / 3, offsetY * 5 / 3, physical.width - 4 * offsetX,
          physical.height - 2 * (offsetY * 5 / 3)};
}

PageSize ReportBitmapSize(int mode) {
  return {1500, mode == Similarity || mode == Ombrel16 ? 900 : 1200};
}

IntRect ReportBitmapPage(PageSize bitmap) {
  return {5, 5, bitmap.width - 5, bitmap.height - 5};
}

std::optional<TextId> ReportRefusal(const TFrmFile& rec) {
  if (rec.Mode == NoSignal || rec.SweepLength == 0) return TextId::ReportNoSamples;
  const int channels = ChannelCount(rec.Mode);
  for (int k = 0; k < channels; ++k)
    if (!rec.Channels[k] || rec.Channels[k]->Count <= 0) return TextId::ReportNoSamples;
  return std::nullopt;
}

std::string CutSeconds(const std::string& dateTime, const std::string& timeSeparator) {
  if (timeSeparator.empty()) return dateTime;
  const std::size_t last = dateTime.rfind(timeSeparator);
  return last == std::string::npos ? dateTime : dateTime.substr(0, last);
}

bool ReportDrawsReversed(const TFrmFile& rec) {
  return rec.PolarityPositive && rec.Channels[0] && rec.Mode != Similarity;
}

std::string ProposedReportName(const std::string& recordingName, const std::string& extension) {
  std::string stem = recordingName.substr(recordingName.find_last_of("/\\") + 1);
  stem = stem.substr(0, stem.rfind('.'));
  return (stem.empty() ? "report" : stem) + extension;
}

bool DrawReport(Canvas& canvas, const IntRect& page, const ReportValues& values,
                const std::string& vibModelName, const AnalysisContext& ctx,
                const ReportSteps& steps) {
  if (ReportRefusal(ctx.rec)) return false;
  BusyScope busy;
  PolarityReversal polarity(ctx, steps);
  if (steps.beginJob && !steps.beginJob()) return false;
  const Grid g = GridOf(page);
  const CanvasFont base = canvas.Font();
  const TitleMetrics metrics = DrawTitle(canvas, g, ctx.rec.Mode);
  const IntRect room = DrawHeader(canvas, g, values, vibModelName, ctx, steps, metrics);
  Grid graphs = g;
  if (values.Qc) {
    const QcPlace place = PlaceQcBlock(canvas, g, ctx.rec, room, *values.Qc);
    DrawQcBlock(canvas, place.area, *values.Qc, values.Colour);
    graphs = place.graphs;
  }
  canvas.SetPenWidth(1);
  DrawGraphs(canvas, graphs, ctx, values.Colour);
  canvas.SetFont(base);
  if (steps.endJob) steps.endJob();
  return true;
}

const CanvasImage& ReportLogo() {
  static const CanvasImage logo = MakeLogo();
  return logo;
}

}  // namespace kalvex

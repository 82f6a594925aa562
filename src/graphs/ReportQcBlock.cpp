#include "graphs/ReportQcBlock.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace kalvex {
namespace {

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kFailRed = 0xC00000;
constexpr std::int32_t kPassGreen = 0x007000;

std::int32_t VerdictColour(QcOverall overall, bool colour) {
  if (!colour) return kBlack;
  return overall == QcOverall::Pass ? kPassGreen : overall == QcOverall::Fail ? kFailRed : kBlack;
}

std::string VerdictLine(const QcOutcome& outcome) {
  return FormatText(TextId::QcVerdictLine, {OverallText(outcome.Overall()), outcome.profile.name});
}

// The program's version with the file's whole SHA-256, then the settings.
std::array<std::string, 2> ProvenanceLines(const QcOutcome& outcome) {
  const QcProvenance& p = outcome.provenance;
  return {"Kalvex " + p.version + "; SHA-256 " + (p.sha256.empty() ? "-" : p.sha256), p.settings};
}

// The failed figures as "VIB1: phase_rms" pieces, for the shortest form.
std::string FailedSummary(const QcOutcome& outcome) {
  std::string text;
  for (const QcChannelFigures& c : outcome.figures.channels) {
    const std::string keys = outcome.FailedKeys(c);
    if (keys.empty()) continue;
    text += (text.empty() ? "" : "; ") + c.name + ": " + keys;
  }
  return text;
}

class BlockLayout {
 public:
  BlockLayout(Canvas& canvas, const IntRect& area, const QcOutcome& outcome, bool colour)
      : canvas_(canvas), area_(area), outcome_(outcome), colour_(colour), base_(canvas.Font()) {}

  void RestoreFont() { canvas_.SetFont(base_); }

  // Lines of the full block: verdict, titles, limits, channels, provenance.
  int FullLines() const { return 5 + static_cast<int>(outcome_.figures.channels.size()); }

  int LineHeight(int size) {
    canvas_.SetFont(Styled(base_, size, true));
    return canvas_.TextHeight("Ag");
  }

  // Whether the whole block fits at `size` points: its lines in the height,
  // and each figure column's widest text (in bold) in the column's width.
  bool Fits(int size) {
    if (FullLines() * LineHeight(size) > area_.Bottom - area_.Top) return false;
    const std::vector<int> x = Columns();
    const int room = x[2] - x[1] - canvas_.TextWidth("  ");
    for (const QcFigureKind& k : QcFigureKinds()) {
      int widest = std::max(canvas_.TextWidth(Text(k.title)), canvas_.TextWidth(LimitCell(k)));
      for (const QcChannelFigures& c : outcome_.figures.channels)
        widest = std::max(widest, canvas_.TextWidth(ValueCell(c, k)));
      if (widest > room) return false;
    }
    return true;
  }

  void DrawFull(int size) {
    const int h = LineHeight(size);
    int y = area_.Top;
    Verdict(size, y);
    y += h;
    canvas_.SetFont(Styled(base_, size, false));
    const std::vector<int> x = Columns();
    Row(x, y, "", [](const QcFigureKind& k) { return Text(k.title); });
    y += h;
    Row(x, y, Text(TextId::QcLimitRow), [this](const QcFigureKind& k) { return LimitCell(k); });
    y += h;
    for (const QcChannelFigures& c : outcome_.figures.channels) {
      ChannelRow(x, y, c);
      y += h;
    }
    // The provenance lines are the longest: smaller type until they fit.
    const std::array<std::string, 2> provenance = ProvenanceLines(outcome_);
    for (int s = size - 1; s >= 5; --s) {
      canvas_.SetFont(Styled(base_, s, false));
      if (std::max(canvas_.TextWidth(provenance[0]), canvas_.TextWidth(provenance[1])) <=
          area_.Right - area_.Left)
        break;
    }
    canvas_.PutText(area_.Left, y, provenance[0]);
    canvas_.PutText(area_.Left, y + canvas_.TextHeight("Ag"), provenance[1]);
    canvas_.SetFont(base_);
  }

  void DrawShort(int size) {
    int y = area_.Top;
    Verdict(size, y);
    const std::string failed = FailedSummary(outcome_);
    if (!failed.empty() && y + 2 * LineHeight(size) <= area_.Bottom) {
      canvas_.SetFont(Styled(base_, size, false));
      canvas_.PutText(area_.Left, y + LineHeight(size), failed);
    }
    canvas_.SetFont(base_);
  }

 private:
  void Verdict(int size, int y) {
    canvas_.SetFont(Styled(base_, size, true, false, VerdictColour(outcome_.Overall(), colour_)));
    canvas_.PutText(area_.Left, y, VerdictLine(outcome_));
  }

  // Left edges: the channel column, seven figure columns, the verdict.
  std::vector<int> Columns() {
    int first = canvas_.TextWidth(Text(TextId::QcLimitRow));
    for (const QcChannelFigures& c : outcome_.figures.channels)
      first = std::max(first, canvas_.TextWidth(c.name));
    first += canvas_.TextWidth("  ");
    const int verdict = canvas_.TextWidth("UNDECIDED");
    const int each = (area_.Right - area_.Left - first - verdict) / QcFigureCount;
    std::vector<int> x{area_.Left};
    for (int k = 0; k <= QcFigureCount; ++k) x.push_back(area_.Left + first + k * each);
    return x;
  }

  std::string LimitCell(const QcFigureKind& k) const {
    const FigureLimit& l = outcome_.profile.Of(k.id);
    return (l.Any() ? LimitText(l) + " " : std::string()) + k.unit;
  }

  std::string ValueCell(const QcChannelFigures& c, const QcFigureKind& k) const {
    return FigureText(c, k.id) + (Failed(c, k) ? " *" : "");
  }

  bool Failed(const QcChannelFigures& c, const QcFigureKind& k) const {
    return outcome_.VerdictOf(c, k.id) == QcVerdict::Fail;
  }

  template <typename CellText>
  void Row(const std::vector<int>& x, int y, const std::string& head, CellText cell) {
    if (!head.empty()) canvas_.PutText(x[0], y, head);
    for (const QcFigureKind& k : QcFigureKinds())
      canvas_.PutText(x[1 + static_cast<int>(k.id)], y, cell(k));
  }

  void ChannelRow(const std::vector<int>& x, int y, const QcChannelFigures& c) {
    const CanvasFont normal = canvas_.Font();
    canvas_.PutText(x[0], y, c.name);
    for (const QcFigureKind& k : QcFigureKinds()) {
      const bool failed = Failed(c, k);
      canvas_.SetFont(
          Styled(normal, normal.size, failed, false, failed && colour_ ? kFailRed : kBlack));
      canvas_.PutText(x[1 + static_cast<int>(k.id)], y, ValueCell(c, k));
    }
    const QcOverall overall = outcome_.ChannelOverall(c);
    canvas_.SetFont(Styled(normal, normal.size, true, false, VerdictColour(overall, colour_)));
    canvas_.PutText(x.back(), y, OverallText(overall));
    canvas_.SetFont(normal);
  }

  Canvas& canvas_;
  const IntRect area_;
  const QcOutcome& outcome_;
  bool colour_;
  const CanvasFont base_;
};

}  // namespace

int QcBlockSize(Canvas& canvas, const IntRect& area, const QcOutcome& outcome) {
  BlockLayout block(canvas, area, outcome, false);
  int size = 9;
  while (size >= 5 && !block.Fits(size)) --size;
  block.RestoreFont();
  return size < 5 ? 0 : size;
}

int QcBlockHeight(Canvas& canvas, const QcOutcome& outcome, int size) {
  BlockLayout block(canvas, {}, outcome, false);
  const int height = block.FullLines() * block.LineHeight(size);
  block.RestoreFont();
  return height;
}

void DrawQcBlock(Canvas& canvas, const IntRect& area, const QcOutcome& outcome, bool colour) {
  const int size = QcBlockSize(canvas, area, outcome);
  BlockLayout block(canvas, area, outcome, colour);
  if (size > 0)
    block.DrawFull(size);
  else
    block.DrawShort(5);
}

}  // namespace kalvex

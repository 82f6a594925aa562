#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <iostream>

#include "CliSession.h"
#include "Commands.h"
#include "HistoryOutputs.h"
#include "graphs/HistoryPlot.h"
#include "platform/QcHistoryStore.h"
#include "platform/QtCanvas.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

constexpr const char* kUsage =
    "usage: kalvex-cli history DB [--vibrator V] [--figure F] [--since DATE] [--until DATE] "
    "[--json OUT | --csv OUT] [--png OUT | --pdf OUT]";
// The picture of --png; the PDF's page is A4 landscape at screen resolution,
// so that the plot's fonts and lines are those of the picture.
constexpr int kPngWidth = 1200, kPngHeight = 800;
constexpr int kPdfResolution = 96, kPdfMargin = 24;

HistoryQuery QueryOf(const CliArgs& args) {
  HistoryQuery q{args.Get("--vibrator"), args.Get("--figure"), args.Get("--since"),
                 args.Get("--until")};
  if (!q.figure.empty()) {
    bool known = false;
    for (const QcFigureKind& k : QcFigureKinds()) known |= q.figure == k.key;
    if (!known) throw CliExit{ExitUsage, "--figure: unknown figure " + q.figure};
  }
  for (const auto& [option, day] : {std::pair{"--since", q.since}, std::pair{"--until", q.until}})
    if (!day.empty() && !DayNumber(day))
      throw CliExit{ExitUsage, std::string(option) + " is a date YYYY-MM-DD: " + day};
  return q;
}

// The one vibrator a picture shows: the one asked for, or the only one.
std::string PictureVibrator(const HistoryReport& r, const CliArgs& args) {
  if (args.Has("--vibrator")) return args.Get("--vibrator");
  if (r.vibrators.size() == 1) return r.vibrators[0].vibrator;
  throw CliExit{ExitUsage, "--png shows one vibrator: name it with --vibrator (the history holds " +
                               std::to_string(r.vibrators.size()) + ")"};
}

void WritePng(const std::string& path, const HistoryReport& r, const std::string& vibrator) {
  ImageCanvas image(kPngWidth, kPngHeight);
  if (!image.Valid())
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {path, "the image could not be made"})};
  DrawHistoryPlot(image.Surface(), kPngWidth, kPngHeight, nullptr, vibrator, r.daily, r.drift);
  const std::string reason = image.SavePng(path);
  if (!reason.empty()) throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {path, reason})};
}

// One page per vibrator.
void WritePdf(const std::string& path, const HistoryReport& r) {
  QByteArray pdf;
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(kPdfResolution);
  writer.setCreator(QStringLiteral("Kalvex"));
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                   QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  if (!painter.begin(&writer))
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {path, "no PDF page"})};
  const QRect full = writer.pageLayout().fullRectPixels(writer.resolution());
  const IntRect page{kPdfMargin, kPdfMargin, full.width() - kPdfMargin, full.height() - kPdfMargin};
  {
    QtCanvas canvas(painter);
    for (std::size_t i = 0; i < std::max<std::size_t>(r.vibrators.size(), 1); ++i) {
      if (i > 0) {
        canvas.Flush();
        writer.newPage();
      }
      const std::string vibrator = r.vibrators.empty() ? "" : r.vibrators[i].vibrator;
      DrawHistoryPlot(canvas, full.width(), full.height(), &page, vibrator, r.daily, r.drift);
    }
    canvas.Flush();
  }
  painter.end();
  SaveOutput(path, {reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                    static_cast<std::size_t>(pdf.size())});
}

int ExitCodeOf(const HistoryReport& r) {
  for (const VibratorVerdict& v : r.vibrators)
    if (v.overall != QcOverall::Pass) return 4;
  for (const DriftLine& d : r.drift)
    if (d.drifting) return 4;
  return ExitOk;
}

}  // namespace

int RunHistory(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert({"--vibrator", "--figure", "--since", "--until", "--json", "--csv", "--png", "--pdf"});
  CliArgs args(words, options, CliSession::SettingsFlags());
  if (args.Positional().size() != 1) throw CliExit{ExitUsage, kUsage};
  if (args.Has("--json") && args.Has("--csv")) throw CliExit{ExitUsage, "--json or --csv, not both"};
  if (args.Has("--png") && args.Has("--pdf")) throw CliExit{ExitUsage, "--png or --pdf, not both"};
  CliSession session(executablePath);
  session.ApplyOptions(args);  // the language of the messages and the plot
  const HistoryQuery query = QueryOf(args);

  HistoryReport report;
  report.database = args.Positional()[0];
  std::string error;
  const auto store = QcHistoryStore::OpenForReading(report.database, error);
  std::vector<HistoryFigure> figures;
  if (!store || !store->Read(query, figures, error)) throw CliExit{ExitIo, error};
  report.vibrators = LatestVerdicts(figures);
  report.daily = DailyStatistics(figures);
  report.drift = DriftLines(report.daily);

  if (args.Get("--json") != "-" && args.Get("--csv") != "-") std::cout << HistoryTable(report);
  if (args.Has("--json")) SaveTextOutput(args.Get("--json"), HistoryJson(report));
  if (args.Has("--csv")) SaveTextOutput(args.Get("--csv"), HistoryCsv(report));
  if (args.Has("--png")) WritePng(args.Get("--png"), report, PictureVibrator(report, args));
  if (args.Has("--pdf")) WritePdf(args.Get("--pdf"), report);
  return ExitCodeOf(report);
}

}  // namespace kalvex::cli

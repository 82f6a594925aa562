#include "platform/ReportOutput.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "platform/QtCanvas.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

// The PDF page: A4 at this many dots per inch, with the page rectangle kept
// clear of a margin like a printer's unprintable one (a twelfth of an inch).
constexpr int kPdfResolution = 300;
constexpr int kPdfOffset = kPdfResolution / 12;

}  // namespace

QString RenderReportPdf(QByteArray& pdf, const ReportValues& values, const std::string& vibModel,
                        const AnalysisContext& ctx, const ReportSteps& steps) {
  pdf.clear();
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(kPdfResolution);
  writer.setCreator(QStringLiteral("Kalvex"));
  writer.setPageLayout(QPageLayout(
      QPageSize(QPageSize::A4), values.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(0, 0, 0, 0)));
  QPainter painter;
  if (!painter.begin(&writer)) return QStringLiteral("no PDF page");
  const QRect full = writer.pageLayout().fullRectPixels(writer.resolution());
  QtCanvas canvas(painter);
  DrawReport(canvas, ReportPageRect({full.width(), full.height()}, kPdfOffset, kPdfOffset), values,
             vibModel, ctx, steps);
  canvas.Flush();
  painter.end();
  return {};
}

QString RenderReportImage(QImage& image, const ReportValues& values, const std::string& vibModel,
                          const AnalysisContext& ctx, const ReportSteps& steps) {
  const PageSize size = ReportBitmapSize(ctx.rec.Mode);
  ImageCanvas canvas(size.width, size.height);
  if (!canvas.Valid()) return QStringLiteral("the image could not be made");
  DrawReport(canvas.Surface(), ReportBitmapPage(size), values, vibModel, ctx, steps);
  image = canvas.Finish();
  return {};
}

bool PrintReport(QPrinter& printer, const ReportValues& values, const std::string& vibModel,
                 const AnalysisContext& ctx, ReportSteps steps) {
  printer.setFullPage(true);  // the page rule keeps clear of the margins itself
  printer.setDocName(QStringLiteral("Kalvex"));
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
  const IntRect page =
      ReportPageRect({paper.width(), paper.height()}, printable.left() - paper.left(),
                     printable.top() - paper.top());
  // The job starts before the canvas is made on it, so that the canvas
  // measures its fonts on the printer.
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  QtCanvas canvas(painter);
  steps.endJob = [&] {
    canvas.Flush();
    painter.end();
  };
  return DrawReport(canvas, page, values, vibModel, ctx, steps);
}

}  // namespace kalvex

#include "ReportMenu.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "EquipmentMenu.h"
#include "analysis/AnalysisContext.h"
#include "graphs/ReportPage.h"
#include "platform/FileAccess.h"
#include "platform/ReportOutput.h"
#include "platform/TFPrt.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

constexpr const char* BitmapFileName = "1.bmp";

}  // namespace

ReportMenu::ReportMenu(Context context, QMenu& fileMenu, QMenu& hiddenMenu,
                       QString programDirectory)
    : QObject(&context.window),
      ctx_(std::move(context)),
      directory_(std::move(programDirectory)),
      printer_(QPrinter::HighResolution) {
  QMenuBar* bar = ctx_.window.menuBar();
  auto* report = new QAction(Q(TextId::MenuReport), bar);
  report->setObjectName(QStringLiteral("Report"));
  report->setShortcut(QKeySequence(Qt::Key_F4));
  connect(report, &QAction::triggered, this, &ReportMenu::Print);
  // Before "Окна": the menu bar reads Файл, Аппаратура, Графики, Отчет, Окна, Справка.
  const QList<QAction*> menus = bar->actions();
  bar->insertAction(menus.size() >= 2 ? menus[menus.size() - 2] : nullptr, report);

  auto* pdf = new QAction(Q(TextId::MenuReportPdf), this);
  pdf->setObjectName(QStringLiteral("ReportPdf"));
  connect(pdf, &QAction::triggered, this, &ReportMenu::ToPdf);
  const QList<QAction*> items = fileMenu.actions();
  fileMenu.insertAction(items.isEmpty() ? nullptr : items.back(), pdf);

  QAction* bitmap = hiddenMenu.addAction(Q(TextId::MenuReportBitmap), this, &ReportMenu::ToBitmap);
  bitmap->setObjectName(QStringLiteral("ReportBitmap"));
}

bool ReportMenu::Allowed() {
  const auto refusal = ReportRefusal(ctx_.analysis().rec);
  if (refusal) ctx_.ui.ShowError(Text(*refusal));
  return !refusal;
}

ReportSteps ReportMenu::Steps() const {
  ReportSteps steps;
  steps.recomputeWindows = ctx_.recomputeWindows;
  steps.refreshWindows = ctx_.refreshWindows;
  return steps;
}

std::string ReportMenu::VibModelName() const {
  const int index = ctx_.equipment.Choices().VibModelIndex;
  const auto& list = ctx_.equipment.Lists().Vib;
  return index > 0 && index <= static_cast<int>(list.size()) ? list[index - 1].Name : std::string();
}

ReportValues ReportMenu::WithQc(ReportValues values) const {
  if (ctx_.qcOutcome) values.Qc = ctx_.qcOutcome();
  return values;
}

ReportValues ReportMenu::Accepted(ReportValues values) const {
  if (ctx_.vibratorNumber && !values.VibNumber.empty()) ctx_.vibratorNumber(values.VibNumber);
  return WithQc(std::move(values));
}

void ReportMenu::Print() {
  if (!Allowed()) return;
  if (!printer_.isValid()) {
    ctx_.ui.ShowError(Text(TextId::PrinterUnavailable));
    return;
  }
  const AnalysisContext ctx = ctx_.analysis();
  const auto values = EditReportSettings(&ctx_.window, ctx.rec.Mode, colour_, &printer_, ctx_.ui);
  if (!values) return;  // Cancel prints nothing
  if (!PrintReport(printer_, Accepted(*values), VibModelName(), ctx, Steps()))
    ctx_.ui.ShowError(Text(TextId::PrinterUnavailable));
}

void ReportMenu::ToPdf() {
  if (!Allowed()) return;
  FileDialogRequest request;
  request.filter = Text(TextId::ReportPdfFilter);
  request.defaultExtension = ".pdf";
  request.confirmOverwrite = true;
  const AnalysisContext ctx = ctx_.analysis();
  request.initialName = ProposedReportName(ctx.rec.Name, ".pdf");
  const auto path = ctx_.ui.ChooseFileToSave(request);
  if (!path) return;
  const auto values = EditReportSettings(&ctx_.window, ctx.rec.Mode, colour_, nullptr, ctx_.ui);
  if (!values) return;
  QByteArray pdf;
  const QString reason = RenderReportPdf(pdf, Accepted(*values), VibModelName(), ctx, Steps());
  if (!reason.isEmpty()) {
    ctx_.ui.ShowError(FormatText(TextId::CannotCreateFile, {*path, reason.toStdString()}));
    return;
  }
  Save(QString::fromStdString(*path), pdf);
}

void ReportMenu::ToBitmap() {
  if (!Allowed()) return;
  // Not the system's fixed "d:\1.bmp": "1.bmp" in the program directory,
  // written whole, and the status bar says where.
  const QString path = QDir(directory_).filePath(QString::fromLatin1(BitmapFileName));
  QImage image;
  QString reason = RenderReportImage(image, WithQc(BitmapReportValues(colour_)), VibModelName(),
                                     ctx_.analysis(), Steps());
  QByteArray bmp;
  if (reason.isEmpty()) {
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) reason = QStringLiteral("the image could not be written");
  }
  if (!reason.isEmpty()) {
    ctx_.ui.ShowError(
        FormatText(TextId::CannotCreateFile,
                   {QDir::toNativeSeparators(path).toStdString(), reason.toStdString()}));
    return;
  }
  Save(path, bmp);
}

void ReportMenu::Save(const QString& path, const QByteArray& bytes) {
  const std::string reason = SaveFileAtomically(
      NativePath(path), {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size())});
  const std::string shown = QDir::toNativeSeparators(path).toStdString();
  if (!reason.empty()) {
    ctx_.ui.ShowError(FormatText(TextId::CannotCreateFile, {shown, reason}));
    return;
  }
  ctx_.statusText.setText(QString::fromStdString(FormatText(TextId::ReportBitmapWritten, {shown})));
}

}  // namespace kalvex

#pragma once
// The report page on the platform's devices, with the one drawing of the
// core: a PDF page of vectors (A4, portrait or landscape), the bitmap of the
// hidden "В файл" item, and the printer. User-interface thread only.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <string>

#include "graphs/ReportPage.h"

class QPrinter;

namespace kalvex {

// The page as a one-page PDF in memory; the reason of a failure, or empty.
QString RenderReportPdf(QByteArray& pdf, const ReportValues& values, const std::string& vibModel,
                        const AnalysisContext& ctx, const ReportSteps& steps = {});

// The page in the bitmap of the recording's mode (1500 wide); the reason of
// a failure, or empty.
QString RenderReportImage(QImage& image, const ReportValues& values, const std::string& vibModel,
                          const AnalysisContext& ctx, const ReportSteps& steps = {});

// The page on `printer` as one print job; false when the job did not start.
bool PrintReport(QPrinter& printer, const ReportValues& values, const std::string& vibModel,
                 const AnalysisContext& ctx, ReportSteps steps = {});

}  // namespace kalvex

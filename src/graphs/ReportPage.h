#pragma once
// The one-page test report drawn on a canvas: frame, logo, title, the header
// block (date, vibrator, sweep, comment, drive level and weights) and the
// graphs of the report grid, each set up with the report's defaults and drawn
// by the plot renderer. The same drawing goes to a printer, a PDF page or an
// image. Used on the user-interface thread.

#include <functional>
#include <optional>
#include <string>

#include "analysis/AnalysisContext.h"
#include "graphs/Canvas.h"
#include "graphs/ReportDialog.h"
#include "graphs/TGrWin.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

class TFrmFile;
struct LocalDateTime;

// The values the hidden "В файл" item draws the page with.
ReportValues BitmapReportValues(bool colour);

struct PageSize {
  int width = 0;
  int height = 0;
  bool operator==(const PageSize&) const = default;
};

// The page rectangle on a printer from its physical page size and physical
// offsets (device units): the frame keeps clear of the unprintable margins.
IntRect ReportPageRect(PageSize physical, int offsetX, int offsetY);

// The bitmap the page is drawn into without a printer: 1500 wide, 900 high
// for recording modes 2 and 4, else 1200; its page rectangle lies 5 pixels
// inside each edge.
PageSize ReportBitmapSize(int mode);
IntRect ReportBitmapPage(PageSize bitmap);

// Why no report can be drawn for the recording (no recording yet, or one
// without samples); nothing when it can.
std::optional<TextId> ReportRefusal(const TFrmFile& rec);

// The date line's text: the platform's short date and long time form with
// the seconds cut off (everything from the last `timeSeparator` on).
std::string CutSeconds(const std::string& dateTime, const std::string& timeSeparator);

// The file name a report is proposed under: the recording's file name with
// `extension` in place of its own (a record taken is named by its time,
// "Rec_2026-12-09_18-31-49"), "report" when the recording has no name.
// Whether the report draws the recording with channels 1.. reversed: polarity
// "Positive", REF present, any mode but Similarity. A positive recording
// holds those channels reversed against the vibrator's signals, as they
// arrive from the unit; the page shows them turned back.
bool ReportDrawsReversed(const TFrmFile& rec);

std::string ProposedReportName(const std::string& recordingName, const std::string& extension);

// What the caller does around the drawing. Every member may be left empty.
struct ReportSteps {
  // Starts the print job before anything is drawn; false: cancelled.
  std::function<bool()> beginJob;
  std::function<void()> endJob;
  // Every graph window of the program recomputed from the recording, and
  // repainted (after the recording's polarity is back).
  std::function<void()> recomputeWindows;
  std::function<void()> refreshWindows;
  // The date and time in the platform's short date and long time form;
  // empty: "DD.MM.YYYY H:MM:SS".
  std::function<std::string(const LocalDateTime&)> formatDate;
  std::string timeSeparator = ":";
};

// Draws the report of `ctx.rec` on `page` with the dialog's values and the
// name of the selected vibrator model (empty: none selected). A recording of positive polarity
// (mode other than 2, channel 0 present) is drawn with its polarity reversed
// and given back as it was afterwards, also when drawing fails part-way or
// the job is cancelled. Returns false, drawing nothing, when the recording is
// refused (ReportRefusal) or the job did not start.
bool DrawReport(Canvas& canvas, const IntRect& page, const ReportValues& values,
                const std::string& vibModelName, const AnalysisContext& ctx,
                const ReportSteps& steps = {});

// The program's logo: a square picture (its side is its width).
const CanvasImage& ReportLogo();

// The version shown beside the report's title.
inline constexpr const char* ReportVersionNumber = "1.1.32";

}  // namespace kalvex

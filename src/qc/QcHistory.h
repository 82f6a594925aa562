#pragma once
// A fleet's QC history read back: per vibrator and day the count, mean and
// worst of each figure and the fails; per vibrator and figure a drift line,
// the robust (Theil–Sen) slope of the daily means over the last days, and
// the day the line would cross the figure's limit when it heads toward it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "qc/LimitProfile.h"
#include "qc/QcVerdict.h"
#include "recordings/ProcessValues.h"

namespace kalvex {

// Days of daily means a drift line is fitted to, counted back from the last
// day of the history read.
inline constexpr int DriftWindowDays = 14;
// A vibrator is named as drifting on a figure when its line, fitted to at
// least DriftLeastDays daily means, crosses the limit within this many days
// after the last day (or has crossed it), and the means rise or fall
// beyond what day-to-day scatter gives (a Mann–Kendall trend, |Z| of at
// least DriftTrendZ, two-sided 5 %). Fewer days are a line through the
// noise of a sweep or two.
inline constexpr int DriftHorizonDays = 30;
inline constexpr int DriftLeastDays = 5;
inline constexpr double DriftTrendZ = 1.96;

// One judged figure of one channel, as the history keeps it.
struct HistoryFigure {
  long long run = 0;  // the judgement it came from (later ones have larger numbers)
  int channel = 0;
  std::string vibrator;
  std::string day;  // YYYY-MM-DD, the day the recording was made
  QcFigureId figure = QcFigureId::PhasePeak;
  std::optional<double> value;  // none: not available
  FigureLimit limit;
  QcVerdict verdict = QcVerdict::NotJudged;
};

struct DailyFigure {
  std::string vibrator;
  std::string day;
  QcFigureId figure = QcFigureId::PhasePeak;
  int count = 0;      // judged channels of that day with the figure available
  int missing = 0;    // ... without it
  double mean = 0;    // of the available values
  double worst = 0;   // the largest, or the smallest for the level figures
  int fails = 0;
  FigureLimit limit;  // the limit of the day's last judgement
};

struct DriftLine {
  std::string vibrator;
  QcFigureId figure = QcFigureId::PhasePeak;
  int days = 0;              // daily means fitted
  std::string firstDay, lastDay;
  double slopePerDay = 0;
  double level = 0;          // the line's value on the last day
  double trendZ = 0;         // Mann–Kendall: the means' rise (+) or fall (-) against scatter
  FigureLimit limit;
  bool heading = false;      // toward a limit it has
  std::optional<std::string> crossingDay;  // the first day at or beyond that limit
  bool drifting = false;     // DriftLeastDays or more, crossing within DriftHorizonDays
};

// True for the figures where a smaller value is the worse one.
bool LowerIsWorse(QcFigureId figure);

// Daily statistics, ordered by vibrator, figure, day.
std::vector<DailyFigure> DailyStatistics(std::span<const HistoryFigure> figures);

// One line per vibrator and figure with daily means on at least two of the
// DriftWindowDays days up to the last day of `daily` (all vibrators' days).
std::vector<DriftLine> DriftLines(std::span<const DailyFigure> daily);

// Each vibrator's latest judgement (its latest day, the last run of that day):
// FAIL when a figure of it failed, UNDECIDED when a limited one was not
// available, else PASS; ordered by vibrator.
struct VibratorVerdict {
  std::string vibrator;
  std::string day;
  QcOverall overall = QcOverall::Undecided;
};
std::vector<VibratorVerdict> LatestVerdicts(std::span<const HistoryFigure> figures);

struct LineFit {
  double slope = 0;
  double intercept = 0;
};
// Theil–Sen: the median of the slopes between every two points of distinct
// x, and the median of y - slope·x; none with fewer than two distinct x.
std::optional<LineFit> TheilSen(std::span<const double> x, std::span<const double> y);

// When a recording was made: its header's date and time ("MM/DD/YY",
// "HH:MM:SS"; two-digit years 80..99 are 1980..1999, the others 2000..), or
// the file's date and time where the header has none.
struct RecordedAt {
  std::string day;   // YYYY-MM-DD; empty when neither is known
  std::string time;  // HH:MM:SS
};
RecordedAt RecordedAtOf(const std::array<std::uint8_t, 256>& header, const LocalDateTime& file);

// The Mann–Kendall statistic of y in the order given, as a normal score
// (continuity-corrected, ties of y counted); 0 with fewer than three points.
double MannKendallZ(std::span<const double> y);

// "YYYY-MM-DD HH:MM:SS", the time of a judgement as the history keeps it.
std::string DateTimeText(const LocalDateTime& t);

// Days since 1970-01-01 of "YYYY-MM-DD", and back; none for a text that is
// not a date.
std::optional<int> DayNumber(const std::string& day);
std::string DayText(int dayNumber);

}  // namespace kalvex

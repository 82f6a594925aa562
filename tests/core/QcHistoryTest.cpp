// The fleet history read back: daily statistics, robust drift lines and
// their crossing day, each vibrator's latest verdict, the recording's date,
// and which vibrator a channel belongs to.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "qc/QcHistory.h"
#include "qc/VibratorName.h"
#include "recordings/RecordingHeader.h"
#include "recordings/RecordingModes.h"

namespace kalvex {
namespace {

using Id = QcFigureId;

HistoryFigure Judged(const std::string& vibrator, const std::string& day, Id figure,
                     std::optional<double> value, QcVerdict verdict = QcVerdict::Pass,
                     long long run = 1) {
  FigureLimit limit;
  limit.max = 10;
  return {run, 1, vibrator, day, figure, value, limit, verdict};
}

// Daily means of `vibrator` for days 1..n of December 2026.
std::vector<DailyFigure> Days(const std::string& vibrator, const std::vector<double>& means) {
  std::vector<HistoryFigure> figures;
  for (std::size_t d = 0; d < means.size(); ++d)
    figures.push_back(Judged(vibrator, DayText(*DayNumber("2026-12-01") + static_cast<int>(d)),
                             Id::PhasePeak, means[d]));
  return DailyStatistics(figures);
}

TEST(QcHistoryTest, DailyStatisticsCountMeanWorstFailsAndLatestVerdicts) {
  const std::vector<HistoryFigure> figures = {
      Judged("V1", "2026-12-01", Id::PhasePeak, 2, QcVerdict::Pass, 1),
      Judged("V1", "2026-12-01", Id::PhasePeak, 12, QcVerdict::Fail, 2),
      Judged("V1", "2026-12-01", Id::PhasePeak, std::nullopt, QcVerdict::NotAvailable, 3),
      Judged("V1", "2026-12-01", Id::LevelMin, 60, QcVerdict::Pass, 1),
      Judged("V1", "2026-12-01", Id::LevelMin, 40, QcVerdict::Pass, 2),
      Judged("V2", "2026-12-02", Id::PhasePeak, 3, QcVerdict::Pass, 4),
      Judged("V2", "2026-12-01", Id::PhasePeak, 30, QcVerdict::Fail, 5),
  };
  const std::vector<DailyFigure> daily = DailyStatistics(figures);
  ASSERT_EQ(daily.size(), 4u);
  // Ordered by vibrator, figure, day; the worst level is the lowest.
  EXPECT_EQ(daily[0].figure, Id::PhasePeak);
  EXPECT_EQ(daily[0].count, 2);
  EXPECT_EQ(daily[0].missing, 1);
  EXPECT_DOUBLE_EQ(daily[0].mean, 7);
  EXPECT_DOUBLE_EQ(daily[0].worst, 12);
  EXPECT_EQ(daily[0].fails, 1);
  EXPECT_DOUBLE_EQ(daily[1].worst, 40);
  EXPECT_EQ(daily[2].day, "2026-12-01");
  EXPECT_EQ(daily[3].day, "2026-12-02");
  // V1's latest run (3) left a limited figure unavailable; V2's latest day
  // passed although an earlier run of a larger number failed.
  const std::vector<VibratorVerdict> latest = LatestVerdicts(figures);
  ASSERT_EQ(latest.size(), 2u);
  EXPECT_EQ(latest[0].overall, QcOverall::Undecided);
  EXPECT_EQ(latest[1].day, "2026-12-02");
  EXPECT_EQ(latest[1].overall, QcOverall::Pass);
}

TEST(QcHistoryTest, DriftLineIsRobustNamesATrendAndItsCrossingDay) {
  // One bad sweep on day 3 does not swing the slope of a 1°/day drift.
  const std::vector<DailyFigure> drifting = Days("V3", {1, 2, 25, 4, 5, 6, 7, 8});
  const std::vector<DriftLine> lines = DriftLines(drifting);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0].slopePerDay, 1.0, 1e-12);
  EXPECT_NEAR(lines[0].level, 8.0, 1e-9);
  EXPECT_TRUE(lines[0].heading);
  EXPECT_TRUE(lines[0].drifting);
  EXPECT_EQ(lines[0].crossingDay, "2026-12-10");  // 8 on the 8th, 10 on the 10th
  EXPECT_GT(lines[0].trendZ, DriftTrendZ);

  // Scatter without a trend, a trend away from the limit, too few days, and
  // a crossing beyond the horizon are not drifting.
  EXPECT_FALSE(DriftLines(Days("V1", {3, 5, 2.5, 4.5, 3, 2, 4.2}))[0].drifting);
  const DriftLine away = DriftLines(Days("V2", {9, 8, 7, 6, 5, 4, 3}))[0];
  EXPECT_FALSE(away.heading);
  EXPECT_FALSE(away.crossingDay);
  EXPECT_FALSE(DriftLines(Days("V4", {3, 5, 7, 9}))[0].drifting);
  const DriftLine slow = DriftLines(Days("V5", {1, 1.125, 1.25, 1.375, 1.5, 1.625, 1.75}))[0];
  EXPECT_TRUE(slow.heading);
  EXPECT_EQ(slow.crossingDay, "2027-02-11");
  EXPECT_FALSE(slow.drifting);
  // Only the last DriftWindowDays days count: an old level far below does
  // not flatten a recent climb.
  std::vector<double> long_run(20, 0.0);
  for (int d = 6; d < 20; ++d) long_run[d] = d - 10.0;
  EXPECT_NEAR(DriftLines(Days("V6", long_run))[0].slopePerDay, 1.0, 1e-12);
  EXPECT_FALSE(TheilSen(std::vector<double>{1, 1}, std::vector<double>{2, 3}));
  EXPECT_DOUBLE_EQ(MannKendallZ(std::vector<double>{1, 1, 1}), 0);
}

TEST(QcHistoryTest, DaysAndTheRecordingsDateFromItsHeader) {
  EXPECT_EQ(DayNumber("1970-01-01"), 0);
  for (int n : {-1, 0, 59, 60, 365, 11016, 20797, 51000}) EXPECT_EQ(DayNumber(DayText(n)), n);
  for (const char* bad : {"2026-02-29", "2026-13-01", "2026-1-01", "26-12-01", "2026-12-01x", ""})
    EXPECT_FALSE(DayNumber(bad)) << bad;

  std::array<std::uint8_t, 256> header{};
  auto put = [&](std::size_t at, const std::string& text) {
    std::copy(text.begin(), text.end(), header.begin() + at);
  };
  put(header::Date, "12/03/26  ");
  put(header::Time, "07:05:09  ");
  const LocalDateTime file{2027, 1, 2, 3, 4, 5};
  EXPECT_EQ(RecordedAtOf(header, file).day, "2026-12-03");
  EXPECT_EQ(RecordedAtOf(header, file).time, "07:05:09");
  put(header::Date, "04/30/98  ");
  EXPECT_EQ(RecordedAtOf(header, file).day, "1998-04-30");
  // No date in the header: the file's.
  put(header::Date, "          ");
  EXPECT_EQ(RecordedAtOf(header, file).day, "2027-01-02");
  EXPECT_EQ(RecordedAtOf(header, file).time, "03:04:05");
  EXPECT_EQ(RecordedAtOf(header, LocalDateTime{}).day, "");
}

TEST(QcHistoryTest, VibratorOfAChannel) {
  using Source = VibratorNaming::Source;
  const std::string pattern = "[Vv]ib\\.? ?№? ?([0-9]+)";
  const VibratorNaming byName{Source::FileName, {}, {}};
  EXPECT_EQ(VibratorOf(byName, Dodida, "GF", "", "/data/day 1/morning.test.qrm"), "morning.test");
  EXPECT_EQ(VibratorOf(byName, Similarity, "VIB2", "Vib 7", "x.qrm"), "VIB2");
  EXPECT_EQ(VibratorOf({Source::Given, "V9", {}}, Dodida, "GF", "Vib 7", "x.qrm"), "V9");
  const VibratorNaming comment{Source::Comment, {}, pattern};
  // "№?" is one optional character, not its last byte.
  EXPECT_EQ(VibratorOf(comment, Dodida, "GF", "утро, Vib №12, песок", "x.qrm"), "12");
  EXPECT_EQ(VibratorOf(comment, Dodida, "GF", "vib.3", "x.qrm"), "3");
  EXPECT_EQ(VibratorOf(comment, Dodida, "GF", "no number here", "C:\\t\\x.qrm"), "x");
  EXPECT_EQ(VibratorOf({Source::Name, {}, pattern}, Dodida, "GF", "Vib 1", "d/Vib 4 am.qrm"), "4");
  EXPECT_EQ(VibratorOf({Source::Name, {}, "am"}, Dodida, "GF", "", "d/Vib 4 am.qrm"), "am");
  EXPECT_FALSE(PatternError(pattern));
  EXPECT_TRUE(PatternError("([0-9]"));
}

}  // namespace
}  // namespace kalvex

#include "qc/QcHistory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "recordings/RecordingHeader.h"

namespace kalvex {
namespace {

double Median(std::vector<double> v) {
  const std::size_t h = v.size() / 2;
  std::nth_element(v.begin(), v.begin() + h, v.end());
  if (v.size() % 2 == 1) return v[h];
  const double upper = v[h];
  return (*std::max_element(v.begin(), v.begin() + h) + upper) / 2;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// The limit the line moves toward, when it has one on that side.
std::optional<double> TargetOf(const FigureLimit& limit, double slope) {
  if (slope > 0 && limit.max) return limit.max;
  if (slope < 0 && limit.min) return limit.min;
  return std::nullopt;
}

void Judge(DriftLine& line, const LineFit& fit, int first, int last) {
  line.slopePerDay = fit.slope;
  line.level = fit.intercept + fit.slope * last;
  const std::optional<double> target = TargetOf(line.limit, fit.slope);
  line.heading = target.has_value();
  if (!target) return;
  // The line is at or beyond the target from x* on, whichever its side.
  const double x = (*target - fit.intercept) / fit.slope;
  const int day = std::max(first, static_cast<int>(std::ceil(x)));
  line.crossingDay = DayText(day);
  const bool trend = fit.slope > 0 ? line.trendZ >= DriftTrendZ : line.trendZ <= -DriftTrendZ;
  line.drifting = line.days >= DriftLeastDays && trend && day <= last + DriftHorizonDays;
}

}  // namespace

RecordedAt RecordedAtOf(const std::array<std::uint8_t, 256>& header, const LocalDateTime& file) {
  auto field = [&](std::size_t at) { return std::string(header.begin() + at, header.begin() + at + 8); };
  RecordedAt r;
  int m = 0, d = 0, y = 0, hh = 0, mm = 0, ss = 0;
  char text[48];
  const std::string date = field(header::Date), time = field(header::Time);
  if (std::sscanf(date.c_str(), "%2d/%2d/%2d", &m, &d, &y) == 3) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y < 80 ? 2000 + y : 1900 + y, m, d);
    if (DayNumber(text)) r.day = text;
  }
  if (std::sscanf(time.c_str(), "%2d:%2d:%2d", &hh, &mm, &ss) == 3 && hh < 24 && mm < 60 &&
      ss < 61) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hh, mm, ss);
    r.time = text;
  }
  if (r.day.empty() && file.Year > 0) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", file.Year, file.Month, file.Day);
    r.day = text;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", file.Hour, file.Minute, file.Second);
    r.time = text;
  }
  return r;
}

std::string DateTimeText(const LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                t.Minute, t.Second);
  return text;
}

bool LowerIsWorse(QcFigureId figure) {
  return figure == QcFigureId::LevelMin || figure == QcFigureId::LevelAvg;
}

std::optional<int> DayNumber(const std::string& day) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (day.size() != 10 || std::sscanf(day.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3)
    return std::nullopt;
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  const int n = DaysFromCivil(y, m, d);
  if (DayText(n) != day) return std::nullopt;  // 31 April and the like
  return n;
}

std::string DayText(int n) {
  n += 719468;
  const int era = (n >= 0 ? n : n - 146096) / 146097;
  const int doe = n - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp < 10 ? mp + 3 : mp - 9;
  const int y = yoe + era * 400 + (m <= 2);
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

std::vector<DailyFigure> DailyStatistics(std::span<const HistoryFigure> figures) {
  std::map<std::tuple<std::string, int, std::string>, DailyFigure> days;
  std::map<std::tuple<std::string, int, std::string>, double> sums;
  for (const HistoryFigure& f : figures) {
    const auto key = std::make_tuple(f.vibrator, static_cast<int>(f.figure), f.day);
    DailyFigure& d = days[key];
    d.vibrator = f.vibrator;
    d.day = f.day;
    d.figure = f.figure;
    d.limit = f.limit;
    if (f.verdict == QcVerdict::Fail) ++d.fails;
    if (!f.value) {
      ++d.missing;
      continue;
    }
    const double v = *f.value;
    const bool worse = d.count == 0 || (LowerIsWorse(f.figure) ? v < d.worst : v > d.worst);
    if (worse) d.worst = v;
    sums[key] += v;
    ++d.count;
  }
  std::vector<DailyFigure> out;
  for (auto& [key, d] : days) {
    if (d.count > 0) d.mean = sums[key] / d.count;
    out.push_back(d);
  }
  return out;
}

std::vector<DriftLine> DriftLines(std::span<const DailyFigure> daily) {
  std::optional<int> last;
  for (const DailyFigure& d : daily)
    if (const auto n = DayNumber(d.day); n && d.count > 0) last = std::max(last.value_or(*n), *n);
  if (!last) return {};
  const int first = *last - DriftWindowDays + 1;
  // Daily statistics come ordered by vibrator, figure and day: one run each.
  std::vector<DriftLine> lines;
  for (std::size_t i = 0; i < daily.size();) {
    std::size_t end = i;
    std::vector<double> x, y;
    FigureLimit limit;
    while (end < daily.size() && daily[end].vibrator == daily[i].vibrator &&
           daily[end].figure == daily[i].figure) {
      const auto n = DayNumber(daily[end].day);
      if (n && *n >= first && daily[end].count > 0) {
        x.push_back(*n);
        y.push_back(daily[end].mean);
        limit = daily[end].limit;
      }
      ++end;
    }
    if (const auto fit = TheilSen(x, y)) {
      DriftLine line;
      line.vibrator = daily[i].vibrator;
      line.figure = daily[i].figure;
      line.days = static_cast<int>(x.size());
      line.firstDay = DayText(static_cast<int>(x.front()));
      line.lastDay = DayText(static_cast<int>(x.back()));
      line.limit = limit;
      line.trendZ = MannKendallZ(y);
      Judge(line, *fit, static_cast<int>(x.front()), static_cast<int>(x.back()));
      lines.push_back(line);
    }
    i = end;
  }
  return lines;
}

std::vector<VibratorVerdict> LatestVerdicts(std::span<const HistoryFigure> figures) {
  // The latest (day, run, channel) of each vibrator, then its figures' verdicts.
  std::map<std::string, std::tuple<std::string, long long, int>> latest;
  for (const HistoryFigure& f : figures) {
    const auto at = std::make_tuple(f.day, f.run, f.channel);
    auto [it, added] = latest.emplace(f.vibrator, at);
    if (!added && it->second < at) it->second = at;
  }
  std::map<std::string, VibratorVerdict> verdicts;
  for (const auto& [vibrator, at] : latest)
    verdicts[vibrator] = {vibrator, std::get<0>(at), QcOverall::Pass};
  for (const HistoryFigure& f : figures) {
    if (std::make_tuple(f.day, f.run, f.channel) != latest[f.vibrator]) continue;
    QcOverall& overall = verdicts[f.vibrator].overall;
    if (f.verdict == QcVerdict::Fail) overall = QcOverall::Fail;
    if (f.verdict == QcVerdict::NotAvailable && overall == QcOverall::Pass)
      overall = QcOverall::Undecided;
  }
  std::vector<VibratorVerdict> out;
  for (auto& [vibrator, verdict] : verdicts) out.push_back(verdict);
  return out;
}

double MannKendallZ(std::span<const double> y) {
  const std::size_t n = y.size();
  if (n < 3) return 0;
  long long s = 0;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j) s += (y[j] > y[i]) - (y[j] < y[i]);
  // Each group of t equal values takes t(t-1)(2t+5) from the variance.
  std::vector<double> sorted(y.begin(), y.end());
  std::sort(sorted.begin(), sorted.end());
  double ties = 0;
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i;
    while (j < n && sorted[j] == sorted[i]) ++j;
    const double t = static_cast<double>(j - i);
    ties += t * (t - 1) * (2 * t + 5);
    i = j;
  }
  const double nn = static_cast<double>(n);
  const double variance = (nn * (nn - 1) * (2 * nn + 5) - ties) / 18;
  if (variance <= 0 || s == 0) return 0;
  return (static_cast<double>(s) - (s > 0 ? 1 : -1)) / std::sqrt(variance);
}

std::optional<LineFit> TheilSen(std::span<const double> x, std::span<const double> y) {
  std::vector<double> slopes;
  const std::size_t n = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j)
      if (x[j] != x[i]) slopes.push_back((y[j] - y[i]) / (x[j] - x[i]));
  if (slopes.empty()) return std::nullopt;
  LineFit fit;
  fit.slope = Median(slopes);
  std::vector<double> intercepts;
  for (std::size_t i = 0; i < n; ++i) intercepts.push_back(y[i] - fit.slope * x[i]);
  fit.intercept = Median(intercepts);
  return fit;
}

}  // namespace kalvex

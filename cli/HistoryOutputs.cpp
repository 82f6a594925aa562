#include "HistoryOutputs.h"

#include <cstdio>
#include <set>

#include "JsonWriter.h"
#include "QcOutputs.h"

namespace kalvex::cli {
namespace {

std::string Fixed(double v, int digits, bool sign = false) {
  char text[64];
  std::snprintf(text, sizeof text, sign ? "%+.*f" : "%.*f", digits, v);
  return text;
}

std::string Full(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

const char* KeyOf(QcFigureId id) {
  return KindOf(id).key;
}

void LimitJson(JsonWriter& j, const FigureLimit& l) {
  j.Key("limit").BeginObject();
  j.Key("min");
  l.min ? j.Number(*l.min) : j.Null();
  j.Key("max");
  l.max ? j.Number(*l.max) : j.Null();
  j.EndObject();
}

std::string Days(const HistoryReport& r) {
  std::set<std::string> days;
  for (const DailyFigure& d : r.daily) days.insert(d.day);
  if (days.empty()) return "no judgements";
  return std::to_string(days.size()) + " days (" + *days.begin() + ".." + *days.rbegin() + ")";
}

}  // namespace

std::string HistoryTable(const HistoryReport& r) {
  std::string t = "QC history " + r.database + ": " + std::to_string(r.vibrators.size()) +
                  " vibrators, " + Days(r) + "\n";
  if (r.vibrators.empty()) return t;
  t += "\n" + Padded("Vibrator", 12) + Padded("Latest", 12) + "Verdict\n";
  for (const VibratorVerdict& v : r.vibrators)
    t += Padded(v.vibrator, 12) + Padded(v.day, 12) + OverallText(v.overall) + "\n";
  t += "\n" + Padded("Vibrator", 12) + Padded("Day", 12) + Padded("Figure", 17) +
       Padded("Count", 7, true) + Padded("Mean", 10, true) + Padded("Worst", 10, true) +
       Padded("Fails", 7, true) + "\n";
  for (const DailyFigure& d : r.daily)
    t += Padded(d.vibrator, 12) + Padded(d.day, 12) + Padded(KeyOf(d.figure), 17) +
         Padded(std::to_string(d.count), 7, true) +
         Padded(d.count ? Fixed(d.mean, 2) : "n/a", 10, true) +
         Padded(d.count ? Fixed(d.worst, 2) : "n/a", 10, true) +
         Padded(std::to_string(d.fails), 7, true) + "\n";
  t += "\nDrift over the last " + std::to_string(DriftWindowDays) +
       " days (Theil-Sen slope of the daily means):\n" + Padded("Vibrator", 12) +
       Padded("Figure", 17) + Padded("Days", 5, true) + Padded("Slope/day", 11, true) +
       Padded("Level", 10, true) + "  " + Padded("Limit", 10) + "Crosses\n";
  for (const DriftLine& d : r.drift)
    t += Padded(d.vibrator, 12) + Padded(KeyOf(d.figure), 17) +
         Padded(std::to_string(d.days), 5, true) + Padded(Fixed(d.slopePerDay, 3, true), 11, true) +
         Padded(Fixed(d.level, 2), 10, true) + "  " + Padded(LimitText(d.limit), 10) +
         (d.crossingDay ? *d.crossingDay : "-") + (d.drifting ? "  DRIFTING" : "") + "\n";
  return t;
}

std::string HistoryJson(const HistoryReport& r) {
  JsonWriter j;
  j.BeginObject().Key("database").String(r.database);
  j.Key("driftWindowDays").Integer(DriftWindowDays).Key("driftHorizonDays").Integer(DriftHorizonDays);
  j.Key("vibrators").BeginArray();
  for (const VibratorVerdict& v : r.vibrators)
    j.BeginObject().Key("vibrator").String(v.vibrator).Key("latestDay").String(v.day)
        .Key("verdict").String(OverallText(v.overall)).EndObject();
  j.EndArray().Key("daily").BeginArray();
  for (const DailyFigure& d : r.daily) {
    j.BeginObject().Key("vibrator").String(d.vibrator).Key("day").String(d.day);
    j.Key("figure").String(KeyOf(d.figure)).Key("count").Integer(d.count);
    j.Key("missing").Integer(d.missing).Key("mean");
    d.count ? j.Number(d.mean) : j.Null();
    j.Key("worst");
    d.count ? j.Number(d.worst) : j.Null();
    j.Key("fails").Integer(d.fails);
    LimitJson(j, d.limit);
    j.EndObject();
  }
  j.EndArray().Key("drift").BeginArray();
  for (const DriftLine& d : r.drift) {
    j.BeginObject().Key("vibrator").String(d.vibrator).Key("figure").String(KeyOf(d.figure));
    j.Key("days").Integer(d.days).Key("firstDay").String(d.firstDay).Key("lastDay").String(d.lastDay);
    j.Key("slopePerDay").Number(d.slopePerDay).Key("level").Number(d.level);
    j.Key("trendZ").Number(d.trendZ);
    LimitJson(j, d.limit);
    j.Key("heading").Bool(d.heading).Key("crossingDay");
    d.crossingDay ? j.String(*d.crossingDay) : j.Null();
    j.Key("drifting").Bool(d.drifting).EndObject();
  }
  j.EndArray().EndObject();
  return j.Text() + "\n";
}

std::string HistoryCsv(const HistoryReport& r) {
  std::string t =
      "kind,vibrator,day,figure,count,mean,worst,fails,slope_per_day,level,crossing_day,drifting\n";
  for (const DailyFigure& d : r.daily)
    t += "daily," + CsvField(d.vibrator) + "," + d.day + "," + KeyOf(d.figure) + "," +
         std::to_string(d.count) + "," + (d.count ? Full(d.mean) : "") + "," +
         (d.count ? Full(d.worst) : "") + "," + std::to_string(d.fails) + ",,,,\n";
  for (const DriftLine& d : r.drift)
    t += "drift," + CsvField(d.vibrator) + "," + d.lastDay + "," + KeyOf(d.figure) + "," +
         std::to_string(d.days) + ",,,," + Full(d.slopePerDay) + "," + Full(d.level) + "," +
         d.crossingDay.value_or("") + "," + (d.drifting ? "yes" : "no") + "\n";
  return t;
}

}  // namespace kalvex::cli

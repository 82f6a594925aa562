#pragma once
// What `history` writes: the table on standard output, the JSON document and
// the CSV rows, of the daily statistics, the drift lines and each vibrator's
// latest verdict.

#include <string>
#include <vector>

#include "qc/QcHistory.h"

namespace kalvex::cli {

struct HistoryReport {
  std::string database;
  std::vector<VibratorVerdict> vibrators;
  std::vector<DailyFigure> daily;
  std::vector<DriftLine> drift;
};

std::string HistoryTable(const HistoryReport& report);
std::string HistoryJson(const HistoryReport& report);
std::string HistoryCsv(const HistoryReport& report);

}  // namespace kalvex::cli

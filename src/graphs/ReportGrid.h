#pragma once
// The graphs of the one-page report: which type, with which default option
// and title, in which cell of the two-column grid, by recording mode.

#include <string>
#include <vector>

namespace kalvex {

class TFrmFile;

struct ReportCell {
  int column;  // 0 left, 1 right
  int row;     // 0..4; cell (left, 0) holds the header
  int type;
  int option;
  std::string title;
};

std::vector<ReportCell> ReportCells(const TFrmFile& rec);

}  // namespace kalvex

// Number formats of the plot's labels and read-outs.

#include <cmath>
#include <string>

#include "graphs/GraphTypes.h"
#include "graphs/PlotRenderer.h"
#include "recordings/FormatNumber.h"
#include "recordings/NoValue.h"

namespace kalvex {
namespace {

bool Usable(double x) {
  return std::isfinite(x) && x != NoValue;
}

// Digits after the point that the axis scale shows; `exactOnly` keeps the
// power of ten only when x per unit is (nearly) one.
int AxisDigits(double xPerUnit, bool exactOnly) {
  const double l = std::log10(xPerUnit);
  const double t = std::trunc(l);
  if (exactOnly && std::fabs(l - t) >= 0.0001) return static_cast<int>(t) + 1;
  return static_cast<int>(t);
}

std::string AxisText(double index, double xPerUnit, bool readout) {
  if (!(xPerUnit > 0) || !std::isfinite(xPerUnit)) return "0.0";
  const int d = AxisDigits(xPerUnit, readout);
  std::string s = FormatNumber(index / xPerUnit, d);
  if (!readout && d >= 2 && s.find('.') != std::string::npos)
    while (s.size() >= 2 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

}  // namespace

std::string FormatXLabel(int index, double xPerUnit) {
  return AxisText(index, xPerUnit, false);
}

std::string FormatXLabel(double index, double xPerUnit) {
  return AxisText(index, xPerUnit, false);
}

std::string FormatXReadout(int index, double xPerUnit) {
  return AxisText(index, xPerUnit, true);
}

std::string FormatYLabel(double value) {
  if (!Usable(value)) return "";
  const double a = std::fabs(value);
  if (a < 1e-8) return "0.0";
  int digits;
  if (a >= 100)
    digits = 1;
  else if (a >= 10)
    digits = 2;
  else if (a >= 1)
    digits = 3;
  else
    digits = 3 - static_cast<int>(std::trunc(std::log10(a)));
  std::string s = FormatNumber(value, digits);
  while (s.size() >= 4 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s;
}

std::string FormatReadoutValue(double value, int graphType) {
  if (!Usable(value)) return "";
  const std::size_t k = graphType == Harmonics ? 5 : 6;
  std::string s = FormatNumber(value, static_cast<int>(k) - 2);
  if (s.empty() || s[0] != '-') s.insert(s.begin(), '+');
  if (s.size() > k) s.resize(k);
  if (std::fabs(value) >= 100000) s = s.substr(0, 1) + std::string(k - 1, '*');
  return s;
}

}  // namespace kalvex

#include "recordings/FormatNumber.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "recordings/NoValue.h"

namespace kalvex {
namespace {

// The decimal digits of |x| (18 significant) and the position of the decimal
// point: |x| = 0.d1d2... × 10^point.
struct Decimal {
  std::string digits;
  int point = 0;
};

Decimal ToDecimal(double x) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 17);
  std::string_view text(buf, res.ptr - buf);
  std::size_t e = text.find('e');
  Decimal d;
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  d.point = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  return d;
}

// Keeps `keep` digits, rounding half up; a carry out of the first digit moves
// the decimal point.
void RoundTo(Decimal& d, int keep) {
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  if (keep >= static_cast<int>(d.digits.size())) return;
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  for (int i = keep - 1; up && i >= 0; --i) {
    if (d.digits[i] == '9') {
      d.digits[i] = '0';
    } else {
      ++d.digits[i];
      up = false;
    }
  }
  if (up) {
    // All kept digits were nines (or none was kept): the value becomes one
    // unit of the next place up. Keep that "1" even when no digit was kept.
    d.digits.insert(d.digits.begin(), '1');
    if (d.digits.size() > 1) d.digits.pop_back();
    ++d.point;
  }
}

char DigitAt(const Decimal& d, int i) {
  return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
}

std::string ScientificText(const Decimal& d, bool negative) {
  std::string mantissa = d.digits;
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  std::string s = negative ? "-" : "";
  s += mantissa.substr(0, 1);
  if (mantissa.size() > 1) {
    s += '.';
    s += mantissa.substr(1);
  }
  s += 'E';
  s += std::to_string(d.point - 1);
  return s;
}

}  // namespace

std::string FixedText(double x, int precision, int decimals) {
  Decimal d = ToDecimal(x);
  RoundTo(d, std::min(precision, d.point + decimals));
  bool nonZero = d.digits.find_first_not_of('0') != std::string::npos;
  bool negative = std::signbit(x) && nonZero;
  if (nonZero && d.point > precision) return ScientificText(d, negative);
  std::string s = negative ? "-" : "";
  if (!nonZero || d.point <= 0) {
    s += '0';
  } else {
    for (int i = 0; i < d.point; ++i) s += DigitAt(d, i);
  }
  if (decimals > 0) {
    s += '.';
    for (int i = 0; i < decimals; ++i) s += nonZero ? DigitAt(d, d.point + i) : '0';
  }
  return s;
}

std::string FormatNumber(double x, int digits) {
  if (x == NoValue) return "";
  int places = digits >= 1 ? digits : (digits == 0 ? 2 : 1);
  std::string s;
  if (std::isfinite(x)) {
    s = FixedText(x, 10, places);
  } else if (x < 1E-6) {
    s = "0.0";
  } else {
    s = std::isnan(x) ? "NAN" : "INF";
  }
  if (digits < 0) {
    s.resize(s.size() >= 2 ? s.size() - 2 : 0);
  } else if (digits == 0 && !s.empty() && s.back() == '0') {
    s.pop_back();
    if (!s.empty() && s.back() == '0') s.resize(s.size() >= 2 ? s.size() - 2 : 0);
  }
  return s;
}

}  // namespace kalvex

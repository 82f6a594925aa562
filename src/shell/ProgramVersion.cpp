#include "shell/ProgramVersion.h"

#include <cstdio>
#include <cstring>

namespace kalvex {

std::string ProgramVersion() {
  return KALVEX_VERSION;
}

std::string IsoDateOfCompilerDate(const std::string& date) {
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  char month[4] = {};
  int day = 0, year = 0;
  if (std::sscanf(date.c_str(), "%3s %d %d", month, &day, &year) != 3) return date;
  const char* at = std::strstr(kMonths, month);
  if (!at || std::strlen(month) != 3 || (at - kMonths) % 3 != 0) return date;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, int(at - kMonths) / 3 + 1, day);
  return text;
}

std::string BuildDate() {
  return IsoDateOfCompilerDate(__DATE__);
}

std::string ProgramVersionAndBuild() {
  return ProgramVersion() + " (" + BuildDate() + ")";
}

}  // namespace kalvex

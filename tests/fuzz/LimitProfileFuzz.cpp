// libFuzzer target: the limit profile reader. Any text either is refused
// with a line inside the text and a reason, or gives a profile whose limits
// are finite with min never above max.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "qc/LimitProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kalvex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ProfileReading r = ReadLimitProfile(text, "fuzz.ini");
  if (!r.profile) {
    const long lines = 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    if (r.error.line < 1 || r.error.line > lines || r.error.reason.empty()) std::abort();
    return 0;
  }
  for (const FigureLimit& l : r.profile->limits) {
    if ((l.min && !std::isfinite(*l.min)) || (l.max && !std::isfinite(*l.max))) std::abort();
    if (l.min && l.max && *l.min > *l.max) std::abort();
  }
  return 0;
}

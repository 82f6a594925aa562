#include "shell/DecimalText.h"

#include <charconv>
#include <system_error>

namespace kalvex {

bool ParseDecimalText(std::string_view text, double& value) {
  // from_chars takes a '-' but not a '+', and reads "inf", "nan" and the like,
  // which the program never treats as numbers.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  for (char c : text) {
    const bool allowed =
        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
    if (!allowed) return false;
  }
  double parsed = 0;
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(text.data(), last, parsed, std::chars_format::general);
  if (ec != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

}  // namespace kalvex

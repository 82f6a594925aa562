#include "CliArgs.h"

#include <charconv>

namespace kalvex::cli {

CliArgs::CliArgs(const std::vector<std::string>& words, const std::set<std::string>& valued,
                 const std::set<std::string>& flags) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.rfind("--", 0) == 0) {
      if (flags.count(w)) {
        options_[w] = "";
      } else if (valued.count(w)) {
        if (i + 1 >= words.size()) throw CliExit{ExitUsage, "option " + w + " needs a value"};
        options_[w] = words[++i];
      } else {
        throw CliExit{ExitUsage, "unknown option " + w};
      }
    } else if (w == "-o" && valued.count("-o")) {
      if (i + 1 >= words.size()) throw CliExit{ExitUsage, "option -o needs a value"};
      options_["-o"] = words[++i];
    } else {
      positional_.push_back(w);
    }
  }
}

bool CliArgs::Has(const std::string& name) const {
  return options_.count(name) > 0;
}

std::string CliArgs::Get(const std::string& name, const std::string& fallback) const {
  auto it = options_.find(name);
  return it == options_.end() ? fallback : it->second;
}

int CliArgs::GetInt(const std::string& name, int fallback) const {
  return Has(name) ? ParseInt(Get(name), name) : fallback;
}

int CliArgs::GetIntInRange(const std::string& name, int lo, int hi, int fallback) const {
  const int v = GetInt(name, fallback);
  if (v < lo || v > hi)
    throw CliExit{ExitUsage, name + " is " + std::to_string(lo) + ".." + std::to_string(hi)};
  return v;
}

double CliArgs::GetDouble(const std::string& name, double fallback) const {
  return Has(name) ? ParseDouble(Get(name), name) : fallback;
}

namespace {

// The whole text as one number of type T, or a usage error naming `kind`.
template <typename T>
T ParseWhole(const std::string& text, const std::string& what, const char* kind) {
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    throw CliExit{ExitUsage, what + ": not " + kind + ": " + text};
  return value;
}

}  // namespace

int ParseInt(const std::string& text, const std::string& what) {
  return ParseWhole<int>(text, what, "an integer");
}

double ParseDouble(const std::string& text, const std::string& what) {
  return ParseWhole<double>(text, what, "a number");
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    parts.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return parts;
}

}  // namespace kalvex::cli

#pragma once
// Command-line words of one subcommand: positional arguments, "--name value"
// options and "--flag" switches. Unknown options are a usage error.

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace kalvex::cli {

// Ends the program with an exit code and a message for stderr.
struct CliExit {
  int code;
  std::string message;
};

inline constexpr int ExitOk = 0;
inline constexpr int ExitUsage = 1;
inline constexpr int ExitRefused = 2;
inline constexpr int ExitIo = 3;

class CliArgs {
 public:
  // `valued` options take the next word; `flags` take none.
  CliArgs(const std::vector<std::string>& words, const std::set<std::string>& valued,
          const std::set<std::string>& flags);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const;
  std::string Get(const std::string& name, const std::string& fallback = "") const;
  int GetInt(const std::string& name, int fallback) const;
  // A usage error naming the allowed range when the value lies outside lo..hi.
  int GetIntInRange(const std::string& name, int lo, int hi, int fallback) const;
  double GetDouble(const std::string& name, double fallback) const;

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> options_;
};

int ParseInt(const std::string& text, const std::string& what);
double ParseDouble(const std::string& text, const std::string& what);
std::vector<std::string> SplitList(const std::string& text);

}  // namespace kalvex::cli

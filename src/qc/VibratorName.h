#pragma once
// Which vibrator a judged channel belongs to: in Similarity the channel's
// own name (VIB1, ...); otherwise a name given for the run, or the first
// match of a pattern in the recording's comment or file name, else the file
// name without its extension.

#include <optional>
#include <string>

namespace kalvex {

struct VibratorNaming {
  enum class Source { FileName, Given, Comment, Name };
  Source source = Source::FileName;
  std::string given;    // Source::Given
  std::string pattern;  // Source::Comment, Source::Name: a regular expression (ECMAScript)
};

// Why a pattern cannot be used; none when it can.
std::optional<std::string> PatternError(const std::string& pattern);

// The vibrator of a channel. A pattern's first group is the name when it has
// one, else the whole match; patterns see characters, not bytes, so "№?"
// means an optional "№".
std::string VibratorOf(const VibratorNaming& naming, int mode, const std::string& channelName,
                       const std::string& comment, const std::string& filePath);

}  // namespace kalvex

#pragma once
// A limit profile: the contract's thresholds for the QC figures, read from a
// small INI text (one section per figure with "min" and/or "max", an
// optional [profile] section with a "name"), or the built-in one. A figure
// without a limit is shown but not judged.

#include <array>
#include <optional>
#include <string>

#include "qc/QcFigures.h"

namespace kalvex {

struct FigureLimit {
  std::optional<double> min;
  std::optional<double> max;
  bool Any() const { return min || max; }
};

struct LimitProfile {
  std::string name;
  std::array<FigureLimit, QcFigureCount> limits{};

  const FigureLimit& Of(QcFigureId id) const { return limits[static_cast<int>(id)]; }
};

// The profile used when none is chosen.
const LimitProfile& BuiltInLimitProfile();

// Why a profile text was refused: the line (from 1) and the reason.
struct ProfileError {
  int line = 0;
  std::string reason;
};

struct ProfileReading {
  std::optional<LimitProfile> profile;
  ProfileError error;
};

// Reads a profile text (UTF-8, with or without a byte-order mark, or else
// Windows-1251). Anything not understood, a key given twice, or a profile
// without any limit refuses the whole profile (nothing is judged against half
// of one); the last refusal is reported at the last line. `defaultName` names
// a profile without a [profile] name.
ProfileReading ReadLimitProfile(const std::string& text, const std::string& defaultName);

// "FILE:LINE: REASON", the message a refused profile is reported with.
std::string ProfileErrorText(const std::string& file, const ProfileError& error);

}  // namespace kalvex

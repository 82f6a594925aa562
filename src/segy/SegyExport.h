#pragma once
// A recording as SEG-Y traces: one trace per channel the first Signal Traces
// window shows (the derived ground force too), in the units that window
// shows them in, with a textual header that names the mode, the channels and
// their units, the comment and the test's parameters.

#include <string>
#include <vector>

#include "analysis/AnalysisContext.h"
#include "segy/SegyImage.h"

namespace kalvex {

// The first line of every textual header the program writes; an import
// recognises its own files by it.
inline constexpr const char* SegyOwnMark = "C 1 KALVEX VIBRATOR TEST RECORD";

struct SegyExportChoices {
  std::string fileName;  // the recording's file name, for the textual header
  int sweepStartHz = 0;  // 0: not known
  int sweepEndHz = 0;
  int sweepTypeCode = 0;  // 1 linear, 2 parabolic, 3 exponential, 4 other; 0 not known
};

// Channel slots exported, in order: every held channel of the mode (in
// Similarity the reference and the present channels), then the derived
// channel where the mode computes one.
std::vector<int> ExportedChannels(const TFrmFile& rec);

SegyImage RecordingAsSegy(const AnalysisContext& ctx, const SegyExportChoices& choices);

// The printable-ASCII form of a UTF-8 text: Cyrillic letters transliterated,
// other characters outside ASCII as '?'.
std::string AsciiText(const std::string& utf8);

}  // namespace kalvex

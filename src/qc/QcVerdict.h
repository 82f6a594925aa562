#pragma once
// The QC figures judged against a limit profile: each figure passes, fails,
// is not judged (no limit) or is not available; a channel and a recording
// pass only when every limited figure is available and within its limits.

#include <string>
#include <vector>

#include "qc/LimitProfile.h"
#include "qc/QcFigures.h"

namespace kalvex {

enum class QcVerdict { Pass, Fail, NotJudged, NotAvailable };
// The overall verdict: a limited figure that is not available leaves the
// recording undecided, never passed.
enum class QcOverall { Pass, Fail, Undecided };

// "PASS", "FAIL", "-" (no limit), "n/a".
const char* VerdictText(QcVerdict verdict);
// "PASS", "FAIL", "UNDECIDED".
const char* OverallText(QcOverall overall);

QcVerdict Judge(const QcChannelFigures& figures, QcFigureId id, const FigureLimit& limit);

// What changes the figures besides the recording, and where the judgement
// came from.
struct QcProvenance {
  std::string version;
  std::string sha256;    // of the recording file; empty for a record not read from a file
  std::string settings;  // frame, step, FFT size, calibration, floors
};

struct QcOutcome {
  QcFigures figures;
  LimitProfile profile;
  QcProvenance provenance;

  QcVerdict VerdictOf(const QcChannelFigures& channel, QcFigureId id) const;
  QcOverall ChannelOverall(const QcChannelFigures& channel) const;
  QcOverall Overall() const;
  // Keys of the channel's failed figures, joined by ",".
  std::string FailedKeys(const QcChannelFigures& channel) const;
};

struct ProgramSettings;
// "frame 512, step 100, FFT nearest, calibration 1,1,1,1,1,1, spectrum floor
// -40 dB, correlation floor -90 dB".
std::string SettingsProvenance(const ProgramSettings& settings);

// A value as the table and the report print it: two decimals, "n/a" when
// not available.
std::string FigureText(const QcChannelFigures& channel, QcFigureId id);
// A limit as "<= 10", ">= 50", "50..150" or "-".
std::string LimitText(const FigureLimit& limit);

}  // namespace kalvex

#pragma once
// One recording file checked by `qc`: read, hashed, its QC figures computed
// with the session's settings, its PDF report drawn when asked; and the
// one-line form in which a worker process hands the result to `qc`.

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "qc/QcHistory.h"
#include "qc/QcVerdict.h"
#include "qc/VibratorName.h"
#include "shell/ProgramSettings.h"

namespace kalvex::cli {

struct QcFileResult {
  std::string path;
  std::string sha256;
  int refusedCode = 0;    // 0 checked; otherwise the exit code of the refusal (2, 3)
  bool abnormal = false;  // not refused: the worker checking it ended abnormally
  std::string reason;     // why the file was refused, or why its report was not written
  int mode = -1;
  std::string modeName;
  std::string comment;
  RecordedAt recorded;  // from the header, else the file's date
  QcFigures figures;
};

// Where a file's report goes: "<stem>.pdf" for number 1, "<stem>-N.pdf" for
// N > 1. A report is never written over a file that is already there (one
// of another run, say): the next free number is taken.
struct ReportName {
  std::string stem;  // the folder joined with the name; empty: no report
  int number = 1;
  std::string PathOf(int n) const;
};

// What every file of one run is checked with.
struct QcRun {
  const CliArgs* args = nullptr;  // the settings options
  LimitProfile profile;
  std::string profileSource;      // the profile file, or "built-in"
  std::string profilePath;        // the profile file; empty for the built-in one
  ProgramSettings settings;       // as the options set them
  std::string settingsText;       // SettingsProvenance(settings)
  bool reports = false;           // each file's PDF report to its report path
  int workerTimeoutSeconds = 60;  // the longest a worker may stay silent
  std::string historyPath;        // the QC history the judgements go to; empty: none
  VibratorNaming naming;          // which vibrator each judged channel belongs to
  QcProvenance Provenance(const std::string& sha256) const;
};

// The profile of --limits (the built-in one without it) into the run;
// exits 2 with "FILE:LINE: REASON" for a malformed profile.
void ReadLimitProfileOption(const CliArgs& args, QcRun& run);
void ReadLimitProfilePath(const std::string& path, QcRun& run);

// Never throws for the file's own faults: a refused or unreadable file comes
// back with its code and reason; a report that cannot be written exits 3.
QcFileResult CheckRecordingFile(const std::string& path, const ReportName& report, const QcRun& run,
                                const QString& executablePath);

// The result as one line of JSON, and back.
QByteArray ResultLine(const QcFileResult& result);
bool ParseResultLine(const QByteArray& line, QcFileResult& result);

}  // namespace kalvex::cli

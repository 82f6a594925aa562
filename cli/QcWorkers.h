#pragma once
// `qc` on every core: the files are shared among worker processes of this
// program (each with its own FFT plans and recording), handed over on their
// standard input and reported back one result line each; the results come
// back in input order whatever order they finish in.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "QcCheck.h"

namespace kalvex::cli {

struct QcTask {
  std::string path;
  ReportName report;
};

// Called after each finished file with the count finished so far.
using QcProgress = std::function<void(int done)>;

struct QcResults {
  std::vector<QcFileResult> files;  // in input order
  // A worker did not start, ended abnormally or was stopped after a silence
  // of the run's worker time-out (its message, if any, is on standard error;
  // its unfinished files are marked as ended abnormally).
  bool workerFailed = false;
};

// Checks the tasks in `jobs` worker processes started with `workerWords`
// (the subcommand's words that set up a run); one at a time in this process
// when jobs is 1.
QcResults CheckAll(const std::vector<QcTask>& tasks, const QcRun& run, int jobs,
                   const std::vector<std::string>& workerWords, const QString& executablePath,
                   const QcProgress& progress);

// The worker's side: the profile file, whether to keep the FFT wisdom, and
// the tasks from standard input; result lines to standard output. The
// standard input stays open while the run lasts: its end (the run's process
// gone) ends the worker at once.
int RunQcWorker(QcRun run, const QString& executablePath);

}  // namespace kalvex::cli

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>

#include "CliSession.h"
#include "Commands.h"
#include "QcHistoryRecords.h"
#include "QcOutputs.h"
#include "QcWorkers.h"
#include "analysis/ParallelBlocks.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: kalvex-cli qc PATH... [--limits FILE] [--report-dir DIR] [--json OUT] [--csv OUT] "
    "[--jobs N] [--worker-timeout S] [--history DB [--vibrator NAME | --vibrator-from "
    "comment|name --pattern REGEX]]";

// Paths are UTF-8 on Windows and the system's bytes elsewhere: std::filesystem
// takes and gives them as UTF-8 (a plain std::string would be the ANSI code
// page on Windows).
fs::path FsPath(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string PathString(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

bool IsRecordingName(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".qrm" || ext == ".fmr";
}

// Files as given; folders searched (with their subfolders) for recordings,
// in name order. A path that is neither is kept, to be refused as unreadable.
std::vector<std::string> RecordingFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const std::string& p : paths) {
    std::error_code ec;
    if (!fs::is_directory(FsPath(p), ec)) {
      files.push_back(p);
      continue;
    }
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(
             FsPath(p), fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
      if (it->is_regular_file(ec) && IsRecordingName(it->path()))
        found.push_back(PathString(it->path()));
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// One report per file in the folder, named after the file ("dodida.pdf");
// a name already taken in this run gets "-2", "-3", ..
std::vector<QcTask> Tasks(const std::vector<std::string>& files, const std::string& reportDir) {
  std::vector<QcTask> tasks;
  std::set<std::string> taken;
  for (const std::string& f : files) {
    QcTask t{f, {}};
    if (!reportDir.empty()) {
      std::string stem = PathString(FsPath(f).stem());
      if (stem.empty()) stem = "report";
      t.report.stem = PathString(FsPath(reportDir) / FsPath(stem));
      while (!taken.insert(t.report.PathOf(t.report.number)).second) ++t.report.number;
    }
    tasks.push_back(t);
  }
  return tasks;
}

// The words a worker needs to check files exactly as this run does.
std::vector<std::string> WorkerWords(const CliArgs& args) {
  std::vector<std::string> words;
  for (const std::string& o : CliSession::SettingsOptions())
    if (args.Has(o)) words.insert(words.end(), {o, args.Get(o)});
  if (args.Has("--use-settings")) words.push_back("--use-settings");
  if (args.Has("--report-dir")) words.push_back("--reports");
  return words;
}

// "qc: 37/100 files checked" on standard error for runs of several files: a
// line rewritten in place on a terminal, every tenth of the run otherwise.
QcProgress ProgressLine(int total) {
  if (total < 2) return {};
  const bool terminal = isatty(STDERR_FILENO);
  return [total, terminal](int done) {
    const std::string text =
        "qc: " + std::to_string(done) + "/" + std::to_string(total) + " files checked";
    if (terminal)
      std::cerr << "\r" << text << (done == total ? "\n" : "") << std::flush;
    else if (done == total || done % std::max(1, total / 10) == 0)
      std::cerr << text << "\n";
  };
}

int ExitCodeOf(const std::vector<QcFileResult>& results, const QcRun& run) {
  int code = ExitOk;
  for (const QcFileResult& r : results) {
    if (r.refusedCode) return ExitRefused;
    if (FileOverall(r, run) != QcOverall::Pass) code = 4;
  }
  return code;
}

}  // namespace

int RunQc(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert({"--limits", "--report-dir", "--json", "--csv", "--jobs", "--worker-timeout",
                  "--history", "--vibrator", "--vibrator-from", "--pattern"});
  auto flags = CliSession::SettingsFlags();
  flags.insert({"--worker", "--reports"});
  CliArgs args(words, options, flags);
  QcRun run;
  run.args = &args;
  CliSession settingsOnly(executablePath);
  settingsOnly.ApplyOptions(args);  // the language, too, which the profile's messages use
  ReadLimitProfileOption(args, run);
  run.settings = settingsOnly.settings;
  run.settingsText = SettingsProvenance(run.settings);
  if (args.Has("--worker")) {
    run.reports = args.Has("--reports");
    return RunQcWorker(run, executablePath);
  }
  if (args.Positional().empty()) throw CliExit{ExitUsage, kUsage};
  const int jobs = args.GetIntInRange("--jobs", 1, 64, WorkerCount());
  run.workerTimeoutSeconds = args.GetIntInRange("--worker-timeout", 1, 86400, 60);
  const std::string reportDir = args.Get("--report-dir");
  run.reports = args.Has("--report-dir");
  if (run.reports && reportDir.empty()) throw CliExit{ExitUsage, "--report-dir needs a folder"};
  std::error_code ec;
  if (run.reports && !fs::is_directory(FsPath(reportDir), ec) &&
      !fs::create_directories(FsPath(reportDir), ec))
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {reportDir, ec.message()})};
  ReadVibratorOptions(args, run);
  const std::vector<QcTask> tasks = Tasks(RecordingFiles(args.Positional()), reportDir);
  if (tasks.empty()) throw CliExit{ExitRefused, "no recording file (*.qrm, *.fmr) found"};
  const std::unique_ptr<QcHistoryStore> history = OpenHistoryOption(args, run);
  settingsOnly.LoadFft(true);

  const QcResults checked = CheckAll(tasks, run, jobs, WorkerWords(args), executablePath,
                                     ProgressLine(static_cast<int>(tasks.size())));
  const std::vector<QcFileResult>& results = checked.files;
  // JSON or CSV asked on standard output takes the table's place there.
  if (args.Get("--json") != "-" && args.Get("--csv") != "-") std::cout << QcTable(results, run);
  if (args.Has("--json")) SaveTextOutput(args.Get("--json"), QcJson(results, run));
  if (args.Has("--csv")) SaveTextOutput(args.Get("--csv"), QcCsv(results, run));
  const bool kept = !history || StoreJudgements(*history, results, run);
  // A worker that failed has said why on standard error.
  return checked.workerFailed || !kept ? ExitIo : ExitCodeOf(results, run);
}

}  // namespace kalvex::cli

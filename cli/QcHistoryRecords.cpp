#include "QcHistoryRecords.h"

#include <cstdio>
#include <iostream>

#include "platform/FileAccess.h"

namespace kalvex::cli {
namespace {

JudgedRecording JudgedOf(const QcFileResult& f, const QcRun& run, const std::string& judgedAt) {
  JudgedRecording j;
  j.sha256 = f.sha256;
  j.path = f.path;
  j.mode = f.mode;
  j.modeName = f.modeName;
  j.recordedDay = f.recorded.day;
  j.recordedTime = f.recorded.time;
  j.comment = f.comment;
  j.judgedAt = judgedAt;
  j.outcome = {f.figures, run.profile, run.Provenance(f.sha256)};
  j.profileSha256 = ProfileDigest(run.profile, run.profilePath);
  for (const QcChannelFigures& c : f.figures.channels)
    j.vibrators.push_back(VibratorOf(run.naming, f.mode, c.name, f.comment, f.path));
  return j;
}

}  // namespace

void ReadVibratorOptions(const CliArgs& args, QcRun& run) {
  const bool given = args.Has("--vibrator"), from = args.Has("--vibrator-from");
  if ((given || from || args.Has("--pattern")) && !args.Has("--history"))
    throw CliExit{ExitUsage, "--vibrator, --vibrator-from and --pattern need --history"};
  if (given && from) throw CliExit{ExitUsage, "--vibrator and --vibrator-from exclude each other"};
  if (given) {
    run.naming = {VibratorNaming::Source::Given, args.Get("--vibrator"), {}};
    if (run.naming.given.empty()) throw CliExit{ExitUsage, "--vibrator needs a name"};
    return;
  }
  if (args.Has("--pattern") && !from) throw CliExit{ExitUsage, "--pattern needs --vibrator-from"};
  if (!from) return;
  const std::string source = args.Get("--vibrator-from");
  if (source != "comment" && source != "name")
    throw CliExit{ExitUsage, "--vibrator-from is comment or name"};
  if (!args.Has("--pattern")) throw CliExit{ExitUsage, "--vibrator-from needs --pattern"};
  const std::string pattern = args.Get("--pattern");
  if (const auto error = PatternError(pattern))
    throw CliExit{ExitUsage, "--pattern: " + *error};
  run.naming = {source == "comment" ? VibratorNaming::Source::Comment : VibratorNaming::Source::Name,
                {}, pattern};
}

std::unique_ptr<QcHistoryStore> OpenHistoryOption(const CliArgs& args, QcRun& run) {
  if (!args.Has("--history")) return nullptr;
  run.historyPath = args.Get("--history");
  if (run.historyPath.empty()) throw CliExit{ExitUsage, "--history needs a database file"};
  std::string error;
  auto store = QcHistoryStore::OpenForWriting(run.historyPath, error);
  if (!store) throw CliExit{ExitIo, error};
  return store;
}

bool StoreJudgements(QcHistoryStore& store, const std::vector<QcFileResult>& files,
                     const QcRun& run) {
  const std::string judgedAt = DateTimeText(CurrentLocalTime());
  int stored = 0, kept = 0;
  for (const QcFileResult& f : files) {
    if (f.refusedCode || f.abnormal) continue;
    bool added = false;
    std::string error;
    if (!store.Store(JudgedOf(f, run, judgedAt), added, error)) {
      std::cerr << error << "\n";
      return false;
    }
    (added ? stored : kept)++;
  }
  std::cerr << "history: " << stored << " stored, " << kept << " kept already, in "
            << run.historyPath << "\n";
  return true;
}

}  // namespace kalvex::cli

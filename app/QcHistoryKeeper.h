#pragma once
// The desktop's QC history: every verdict the QC panel shows (a limit
// profile chosen) is kept in the history database of the user's data
// folder, each channel under its vibrator: the number typed in the report
// dialog for that recording when one was, else the similarity channel's
// name or the file's name. A history that cannot be written is said once
// per run, and left as it is.

#include <map>
#include <memory>
#include <string>

#include "platform/QcHistoryStore.h"

namespace kalvex {

class UserInteraction;
struct AnalysisContext;

class QcHistoryKeeper {
 public:
  QcHistoryKeeper(UserInteraction& ui, std::string path) : ui_(ui), path_(std::move(path)) {}

  // The history of the user's data folder ("qc-history.sqlite"), or the file
  // the environment variable KALVEX_QC_HISTORY names.
  static std::string DefaultPath();

  const std::string& Path() const { return path_; }

  // Keeps a verdict of the current recording, judged against the profile
  // read from `profilePath` (empty: a profile not read from a file).
  void Keep(const QcOutcome& outcome, const AnalysisContext& ctx, const std::string& profilePath);
  // The report dialog's vibrator number for the recording kept last: its
  // judgements move under it, and later ones of it are kept under it.
  void NumberVibrator(const std::string& number);

  // The history opened for writing, or null (the reason said once).
  std::unique_ptr<QcHistoryStore> OpenForWriting();

 private:
  void Refused(const std::string& error);

  UserInteraction& ui_;
  std::string path_;
  std::string lastSha_;
  std::map<std::string, std::string> numbers_;  // recording SHA-256 → vibrator number
  bool refusalShown_ = false;
};

// The SHA-256 a recording is kept under: of its file while it is the file's
// content (the verdict's own), else of its header and samples.
std::string RecordingDigest(const QcOutcome& outcome, const AnalysisContext& ctx);

}  // namespace kalvex

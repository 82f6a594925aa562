#pragma once
// The QC history database (SQLite): every judged recording once per profile
// and settings, with its runs, channels, vibrators and figures. A write is
// one transaction, so a failed one (a full disk, say) leaves the database as
// it was; writers of several processes wait for each other (WAL journal,
// busy time-out and retry). A file that is not a history, is damaged, or
// was made by a newer schema is refused as it stands, never changed.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qc/QcHistory.h"
#include "qc/QcVerdict.h"
#include "shell/TextCatalogue.h"

struct sqlite3;

namespace kalvex {

// The schema this program reads and writes (PRAGMA user_version).
inline constexpr int QcHistorySchema = 1;

// One judged recording as the history keeps it.
struct JudgedRecording {
  std::string sha256;  // of the recording file
  std::string path;
  int mode = 0;
  std::string modeName;
  std::string recordedDay;   // YYYY-MM-DD, the file's date; empty when unknown
  std::string recordedTime;  // the header's time of day
  std::string comment;
  std::string judgedAt;  // local date and time of the judgement, YYYY-MM-DD HH:MM:SS
  QcOutcome outcome;     // figures, profile, provenance (version, settings)
  std::string profileSha256;
  std::vector<std::string> vibrators;  // one per channel of outcome.figures
};

// What a query reads back; empty texts do not restrict.
struct HistoryQuery {
  std::string vibrator;
  std::string figure;  // a figure key ("phase_peak")
  std::string since, until;  // YYYY-MM-DD, both included
};

class QcHistoryStore {
 public:
  ~QcHistoryStore();
  QcHistoryStore(const QcHistoryStore&) = delete;
  QcHistoryStore& operator=(const QcHistoryStore&) = delete;

  // Opens the database for writing, creating it (and its folder's file) when
  // it does not exist; null with `error` (naming the file) when it cannot.
  static std::unique_ptr<QcHistoryStore> OpenForWriting(const std::string& path, std::string& error);
  // Opens an existing database for reading only.
  static std::unique_ptr<QcHistoryStore> OpenForReading(const std::string& path, std::string& error);

  // Stores a judgement in one transaction. False with `error` when it could
  // not be stored (nothing of it is); `stored` is false when the same
  // recording was already kept under the same profile and settings.
  bool Store(const JudgedRecording& judged, bool& stored, std::string& error);

  // Puts every channel judged of the recording `sha256` (all its runs) under
  // `vibrator`, Similarity channels apart (they are their own vibrators).
  bool AssignVibrator(const std::string& sha256, const std::string& vibrator, std::string& error);
  // Puts everything kept under vibrator `from` under `to` (a wrong name
  // corrected; a name already kept merges the two).
  bool RenameVibrator(const std::string& from, const std::string& to, std::string& error);

  // Every kept figure the query selects, ordered by day.
  bool Read(const HistoryQuery& query, std::vector<HistoryFigure>& figures, std::string& error);

  // The most pages the file may grow to (0: no bound beyond SQLite's own):
  // a volume quota, and the way tests make a write run out of room.
  void LimitPages(long long pages);

 private:
  QcHistoryStore(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
  static std::unique_ptr<QcHistoryStore> Open(const std::string& path, bool write,
                                              std::string& error);
  bool Prepare(bool write, std::string& error);
  bool Migrate(int version, std::string& error);
  bool UseWriteAheadLog(std::string& error);
  bool CopyAside(const std::string& aside, std::string& error);
  bool Exec(const char* sql, std::string& error);
  bool Update(const char* sql, const std::string& first, const std::string& second,
              std::string& error);
  std::string Failure(TextId id, const std::string& reason) const;

  sqlite3* db_;
  std::string path_;
};

// The digest a profile is kept under: of its file's bytes, or of its limits
// as text for the built-in profile.
std::string ProfileDigest(const LimitProfile& profile, const std::string& profilePath);

}  // namespace kalvex

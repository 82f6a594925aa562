#include "platform/QcHistoryStore.h"

#include <sqlite3.h>

#include <cstdlib>
#include <chrono>
#include <thread>

#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "recordings/RecordingModes.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// Another writer holds the database longer than this only when it hangs;
// each wait is retried a few times before the write is given up.
constexpr int kBusyMilliseconds = 20000;
constexpr int kWriteAttempts = 3;
constexpr int kRetryMilliseconds = 20;
// A profile file larger than this is not a profile.
constexpr std::size_t kLargestProfile = 1 << 20;

// The schema, step by step: step k takes a database of version k to k + 1.
const char* const kMigrations[] = {
    "CREATE TABLE recordings("
    "  id INTEGER PRIMARY KEY,"
    "  sha256 TEXT NOT NULL UNIQUE,"
    "  path TEXT NOT NULL,"
    "  mode INTEGER NOT NULL,"
    "  mode_name TEXT NOT NULL,"
    "  recorded_day TEXT NOT NULL,"
    "  recorded_time TEXT NOT NULL,"
    "  comment TEXT NOT NULL);"
    "CREATE TABLE runs("
    "  id INTEGER PRIMARY KEY,"
    "  recording_id INTEGER NOT NULL REFERENCES recordings(id),"
    "  judged_at TEXT NOT NULL,"
    "  program_version TEXT NOT NULL,"
    "  profile_name TEXT NOT NULL,"
    "  profile_sha256 TEXT NOT NULL,"
    "  profile_limits TEXT NOT NULL,"
    "  settings TEXT NOT NULL,"
    "  overall TEXT NOT NULL,"
    "  UNIQUE(recording_id, profile_sha256, settings));"
    "CREATE TABLE channels("
    "  run_id INTEGER NOT NULL REFERENCES runs(id),"
    "  channel INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  vibrator TEXT NOT NULL,"
    "  overall TEXT NOT NULL,"
    "  PRIMARY KEY(run_id, channel));"
    "CREATE INDEX channels_by_vibrator ON channels(vibrator);"
    "CREATE TABLE figures("
    "  run_id INTEGER NOT NULL,"
    "  channel INTEGER NOT NULL,"
    "  figure TEXT NOT NULL,"
    "  value REAL,"
    "  limit_min REAL,"
    "  limit_max REAL,"
    "  verdict TEXT NOT NULL,"
    "  PRIMARY KEY(run_id, channel, figure),"
    "  FOREIGN KEY(run_id, channel) REFERENCES channels(run_id, channel));",
};
static_assert(std::size(kMigrations) == QcHistorySchema);

// A prepared statement, finalised when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
  ~Statement() { sqlite3_finalize(s_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ready() const { return s_ != nullptr; }
  Statement& Text(int i, const std::string& v) {
    sqlite3_bind_text(s_, i, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Int(int i, long long v) {
    sqlite3_bind_int64(s_, i, v);
    return *this;
  }
  Statement& Real(int i, std::optional<double> v) {
    if (v)
      sqlite3_bind_double(s_, i, *v);
    else
      sqlite3_bind_null(s_, i);
    return *this;
  }
  int Step() { return s_ ? sqlite3_step(s_) : SQLITE_ERROR; }
  bool Done() { return Step() == SQLITE_DONE; }
  long long IntAt(int c) const { return sqlite3_column_int64(s_, c); }
  std::string TextAt(int c) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s_, c));
    return t ? t : "";
  }
  std::optional<double> RealAt(int c) const {
    if (sqlite3_column_type(s_, c) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(s_, c);
  }

 private:
  sqlite3_stmt* s_ = nullptr;
};

std::string LimitsText(const LimitProfile& profile) {
  std::string text;
  for (const QcFigureKind& k : QcFigureKinds()) {
    const FigureLimit& l = profile.Of(k.id);
    if (!l.Any()) continue;
    if (!text.empty()) text += ", ";
    text += std::string(k.key) + " " + LimitText(l);
  }
  return text;
}

std::optional<QcFigureId> FigureOfKey(const std::string& key) {
  for (const QcFigureKind& k : QcFigureKinds())
    if (key == k.key) return k.id;
  return std::nullopt;
}

QcVerdict VerdictOfText(const std::string& text) {
  for (QcVerdict v : {QcVerdict::Pass, QcVerdict::Fail, QcVerdict::NotJudged})
    if (text == VerdictText(v)) return v;
  return QcVerdict::NotAvailable;
}

}  // namespace

QcHistoryStore::~QcHistoryStore() {
  sqlite3_close(db_);
}

std::unique_ptr<QcHistoryStore> QcHistoryStore::OpenForWriting(const std::string& path,
                                                               std::string& error) {
  return Open(path, true, error);
}

std::unique_ptr<QcHistoryStore> QcHistoryStore::OpenForReading(const std::string& path,
                                                               std::string& error) {
  return Open(path, false, error);
}

std::unique_ptr<QcHistoryStore> QcHistoryStore::Open(const std::string& path, bool write,
                                                     std::string& error) {
  sqlite3* db = nullptr;
  const int flags = write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  std::unique_ptr<QcHistoryStore> store(new QcHistoryStore(db, path));
  if (rc != SQLITE_OK) {
    error = store->Failure(write ? TextId::QcHistoryCannotWrite : TextId::QcHistoryUnreadable,
                           db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyMilliseconds);
  if (!store->Prepare(write, error)) return nullptr;
  return store;
}

std::string QcHistoryStore::Failure(TextId id, const std::string& reason) const {
  return FormatText(id, {path_, reason});
}

bool QcHistoryStore::Exec(const char* sql, std::string& error) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  error = message ? message : sqlite3_errmsg(db_);
  sqlite3_free(message);
  return false;
}

// Reads the schema version and what the file holds, in one read, before
// anything is written: a file that is not a history of this program stays as
// it is, and one another process is creating is seen whole or not at all.
bool QcHistoryStore::Prepare(bool write, std::string& error) {
  const TextId refusal = write ? TextId::QcHistoryCannotWrite : TextId::QcHistoryUnreadable;
  // Each statement ends before the next: a finished read leaves no
  // statement open for the transaction's end or the journal mode to wait on.
  auto scalar = [&](const char* sql) -> std::optional<std::string> {
    Statement s(db_, sql);
    if (!s.Ready() || s.Step() != SQLITE_ROW) return std::nullopt;
    return s.TextAt(0);
  };
  std::string reason;
  if (!Exec("BEGIN", reason)) {
    error = Failure(refusal, reason);
    return false;
  }
  const std::optional<std::string> version = scalar("PRAGMA user_version");
  const std::optional<std::string> tables = scalar("SELECT count(*) FROM sqlite_master");
  const bool empty = tables == "0";
  const std::optional<std::string> check =
      version && tables && !empty ? scalar("PRAGMA quick_check") : std::nullopt;
  const std::string failure = sqlite3_errmsg(db_);
  Exec("COMMIT", reason);
  const int schema = version ? std::atoi(version->c_str()) : 0;
  if (!version || !tables) {
    error = Failure(refusal, Text(TextId::QcHistoryNotHistory) + " (" + failure + ")");
    return false;
  }
  if (schema == 0 && (!empty || !write)) {
    error = Failure(refusal, Text(TextId::QcHistoryNotHistory));
    return false;
  }
  if (schema > QcHistorySchema) {
    error = Failure(refusal, FormatText(TextId::QcHistoryNewer, {std::to_string(schema)}));
    return false;
  }
  if (!empty && check != "ok") {
    error = Failure(refusal, Text(TextId::QcHistoryDamaged) + " (" + check.value_or(failure) + ")");
    return false;
  }
  if (!write) return true;
  if (!Migrate(schema, reason) || !UseWriteAheadLog(reason) ||
      !Exec("PRAGMA foreign_keys=ON", reason)) {
    error = Failure(refusal, reason);
    return false;
  }
  return true;
}

// The write-ahead log lets readers and a writer work at once; it is kept in
// the file, so only the first writer of a new history switches to it, and
// while another connection reads that switch is refused as busy: it is
// tried again for as long as a busy writer is waited for.
bool QcHistoryStore::UseWriteAheadLog(std::string& error) {
  for (int waited = 0;; waited += kRetryMilliseconds) {
    {
      Statement mode(db_, "PRAGMA journal_mode=WAL");
      if (mode.Step() == SQLITE_ROW && mode.TextAt(0) == "wal") return true;
    }
    if (waited >= kBusyMilliseconds) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMilliseconds));
  }
  error = sqlite3_errmsg(db_);
  return false;
}

// Brings the schema up to date in one transaction; a database that holds
// records is first copied aside ("<file>.schema<N>.bak", a consistent copy
// through SQLite's backup), so that nothing of it is lost should a step go
// wrong in a way SQLite cannot roll back.
bool QcHistoryStore::Migrate(int version, std::string& error) {
  if (version == QcHistorySchema) return true;
  if (version > 0 && !CopyAside(path_ + ".schema" + std::to_string(version) + ".bak", error))
    return false;
  if (!Exec("BEGIN IMMEDIATE", error)) return false;
  int now = version;
  {
    Statement current(db_, "PRAGMA user_version");
    if (current.Step() == SQLITE_ROW) now = static_cast<int>(current.IntAt(0));
  }
  // Another process may have brought it up to date while this one waited.
  for (; now < QcHistorySchema; ++now)
    if (!Exec(kMigrations[now], error)) {
      std::string ignored;
      Exec("ROLLBACK", ignored);
      return false;
    }
  const std::string set = "PRAGMA user_version=" + std::to_string(QcHistorySchema);
  if (!Exec(set.c_str(), error) || !Exec("COMMIT", error)) {
    std::string ignored;
    Exec("ROLLBACK", ignored);
    return false;
  }
  return true;
}

bool QcHistoryStore::CopyAside(const std::string& aside, std::string& error) {
  sqlite3* copy = nullptr;
  int rc = sqlite3_open_v2(aside.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", db_, "main");
    rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(copy);
    if (backup) sqlite3_backup_finish(backup);
  }
  if (rc != SQLITE_DONE) error = copy ? sqlite3_errmsg(copy) : sqlite3_errstr(rc);
  sqlite3_close(copy);
  return rc == SQLITE_DONE;
}

void QcHistoryStore::LimitPages(long long pages) {
  const std::string sql = "PRAGMA max_page_count=" + std::to_string(pages > 0 ? pages : 1073741823);
  std::string ignored;
  Exec(sql.c_str(), ignored);
}

bool QcHistoryStore::Store(const JudgedRecording& j, bool& stored, std::string& error) {
  stored = false;
  std::string reason;
  bool begun = false;
  for (int attempt = 0; attempt < kWriteAttempts && !begun; ++attempt)
    begun = Exec("BEGIN IMMEDIATE", reason);
  if (!begun) {
    error = Failure(TextId::QcHistoryCannotWrite, reason);
    return false;
  }
  auto fail = [&] {
    error = Failure(TextId::QcHistoryCannotWrite, sqlite3_errmsg(db_));
    std::string ignored;
    Exec("ROLLBACK", ignored);
    return false;
  };
  Statement recording(db_,
                      "INSERT OR IGNORE INTO recordings(sha256, path, mode, mode_name, "
                      "recorded_day, recorded_time, comment) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  if (!recording.Text(1, j.sha256).Text(2, j.path).Int(3, j.mode).Text(4, j.modeName)
           .Text(5, j.recordedDay).Text(6, j.recordedTime).Text(7, j.comment).Done())
    return fail();
  Statement recordingId(db_, "SELECT id FROM recordings WHERE sha256 = ?1");
  if (recordingId.Text(1, j.sha256).Step() != SQLITE_ROW) return fail();
  const QcOutcome& o = j.outcome;
  Statement run(db_,
                "INSERT OR IGNORE INTO runs(recording_id, judged_at, program_version, "
                "profile_name, profile_sha256, profile_limits, settings, overall) "
                "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  if (!run.Int(1, recordingId.IntAt(0)).Text(2, j.judgedAt).Text(3, o.provenance.version)
           .Text(4, o.profile.name).Text(5, j.profileSha256).Text(6, LimitsText(o.profile))
           .Text(7, o.provenance.settings).Text(8, OverallText(o.Overall())).Done())
    return fail();
  if (sqlite3_changes(db_) == 0) {
    // Judged before under the same profile and settings: kept once.
    Exec("ROLLBACK", reason);
    return true;
  }
  const long long runId = sqlite3_last_insert_rowid(db_);
  for (std::size_t c = 0; c < o.figures.channels.size(); ++c) {
    const QcChannelFigures& ch = o.figures.channels[c];
    Statement channel(db_,
                      "INSERT INTO channels(run_id, channel, name, vibrator, overall) "
                      "VALUES(?1, ?2, ?3, ?4, ?5)");
    const std::string vibrator = c < j.vibrators.size() ? j.vibrators[c] : ch.name;
    if (!channel.Int(1, runId).Int(2, ch.channel).Text(3, ch.name).Text(4, vibrator)
             .Text(5, OverallText(o.ChannelOverall(ch))).Done())
      return fail();
    for (const QcFigureKind& k : QcFigureKinds()) {
      Statement figure(db_,
                       "INSERT INTO figures(run_id, channel, figure, value, limit_min, "
                       "limit_max, verdict) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
      const FigureLimit& limit = o.profile.Of(k.id);
      const std::optional<double> value =
          ch.Available(k.id) ? std::optional<double>(ch.Value(k.id)) : std::nullopt;
      if (!figure.Int(1, runId).Int(2, ch.channel).Text(3, k.key).Real(4, value)
               .Real(5, limit.min).Real(6, limit.max)
               .Text(7, VerdictText(o.VerdictOf(ch, k.id))).Done())
        return fail();
    }
  }
  if (!Exec("COMMIT", reason)) return fail();
  stored = true;
  return true;
}

bool QcHistoryStore::Update(const char* sql, const std::string& first, const std::string& second,
                            std::string& error) {
  Statement update(db_, sql);
  if (update.Ready() && update.Text(1, first).Text(2, second).Done()) return true;
  error = Failure(TextId::QcHistoryCannotWrite, sqlite3_errmsg(db_));
  return false;
}

bool QcHistoryStore::AssignVibrator(const std::string& sha256, const std::string& vibrator,
                                    std::string& error) {
  static const std::string sql =
      "UPDATE channels SET vibrator = ?1 WHERE run_id IN (SELECT runs.id FROM runs JOIN recordings "
      "ON recordings.id = runs.recording_id WHERE recordings.sha256 = ?2 AND recordings.mode <> " +
      std::to_string(Similarity) + ")";
  return Update(sql.c_str(), vibrator, sha256, error);
}

bool QcHistoryStore::RenameVibrator(const std::string& from, const std::string& to,
                                    std::string& error) {
  return Update("UPDATE channels SET vibrator = ?2 WHERE vibrator = ?1", from, to, error);
}

bool QcHistoryStore::Read(const HistoryQuery& q, std::vector<HistoryFigure>& figures,
                          std::string& error) {
  Statement rows(db_,
                 "SELECT runs.id, channels.channel, channels.vibrator, "
                 "  CASE WHEN recordings.recorded_day <> '' THEN recordings.recorded_day "
                 "  ELSE substr(runs.judged_at, 1, 10) END AS day, "
                 "  figures.figure, figures.value, figures.limit_min, figures.limit_max, "
                 "  figures.verdict "
                 "FROM figures JOIN channels USING(run_id, channel) "
                 "JOIN runs ON runs.id = figures.run_id "
                 "JOIN recordings ON recordings.id = runs.recording_id "
                 "WHERE (?1 = '' OR channels.vibrator = ?1) AND (?2 = '' OR figures.figure = ?2) "
                 "  AND (?3 = '' OR day >= ?3) AND (?4 = '' OR day <= ?4) "
                 "ORDER BY day, runs.id, channels.channel");
  if (!rows.Ready()) {
    error = Failure(TextId::QcHistoryUnreadable, sqlite3_errmsg(db_));
    return false;
  }
  rows.Text(1, q.vibrator).Text(2, q.figure).Text(3, q.since).Text(4, q.until);
  int rc;
  while ((rc = rows.Step()) == SQLITE_ROW) {
    const std::optional<QcFigureId> id = FigureOfKey(rows.TextAt(4));
    if (!id) continue;  // a figure this program does not know
    HistoryFigure f;
    f.run = rows.IntAt(0);
    f.channel = static_cast<int>(rows.IntAt(1));
    f.vibrator = rows.TextAt(2);
    f.day = rows.TextAt(3);
    f.figure = *id;
    f.value = rows.RealAt(5);
    f.limit.min = rows.RealAt(6);
    f.limit.max = rows.RealAt(7);
    f.verdict = VerdictOfText(rows.TextAt(8));
    figures.push_back(f);
  }
  if (rc != SQLITE_DONE) {
    error = Failure(TextId::QcHistoryUnreadable, sqlite3_errmsg(db_));
    return false;
  }
  return true;
}

std::string ProfileDigest(const LimitProfile& profile, const std::string& profilePath) {
  if (!profilePath.empty()) {
    const FileReadResult file = ReadFileBytes(profilePath, kLargestProfile);
    if (file.ok()) return Sha256Hex(file.bytes);
  }
  const std::string text = profile.name + "\n" + LimitsText(profile);
  return Sha256Hex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

}  // namespace kalvex

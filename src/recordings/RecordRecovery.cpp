#include "recordings/RecordRecovery.h"

#include <algorithm>
#include <cstdio>

#include "recordings/FileCommands.h"
#include "recordings/FileStore.h"
#include "recordings/RecordingHeader.h"
#include "recordings/RecordingModes.h"
#include "recordings/RecordingReader.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

constexpr std::string_view kPrefix = "Rec_";
constexpr std::string_view kExtension = ".qrm";
// "Rec_" + "2026-12-09_18-31-49"
constexpr std::size_t kStampedLength = kPrefix.size() + 19;

bool IsKeptRecordName(const std::string& name) {
  return name.size() >= kStampedLength + kExtension.size() && name.starts_with(kPrefix) &&
         name.ends_with(kExtension);
}

// The folder's records, newest first: the names sort by time, and a name
// taken twice in one second gets "_2", which sorts after the plain one.
std::vector<FolderEntry> KeptEntries(FileStore& store, const std::string& folder) {
  std::vector<FolderEntry> entries = store.ListFolder(folder);
  std::erase_if(entries, [](const FolderEntry& e) { return !IsKeptRecordName(e.name); });
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name > b.name; });
  return entries;
}

void RemoveBeyondLimits(FileStore& store, const std::string& folder, const std::string& kept,
                        const RecoveryLimits& limits) {
  std::uint64_t total = 0;
  int count = 0;
  for (const FolderEntry& e : KeptEntries(store, folder)) {
    total += e.size;
    ++count;
    if (e.path != kept && (count > limits.maxRecords || total > limits.maxBytes))
      store.Remove(e.path);
  }
}

// "2026-12-09 18:31:49" from "Rec_2026-12-09_18-31-49…".
std::string TimeOfName(const std::string& name) {
  std::string time = name.substr(kPrefix.size(), kStampedLength - kPrefix.size());
  time[10] = ' ';
  time[13] = time[16] = ':';
  return time;
}

}  // namespace

std::string KeptRecordName(const LocalDateTime& t) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", t.Year % 10000,
                t.Month % 100, t.Day % 100, t.Hour % 100, t.Minute % 100, t.Second % 100);
  return std::string(kPrefix) + stamp + std::string(kExtension);
}

KeepOutcome KeepRecordFile(FileStore& store, const std::string& folder,
                           std::span<const std::uint8_t> file, const LocalDateTime& time,
                           const RecoveryLimits& limits) {
  if (std::string reason = store.MakeFolder(folder); !reason.empty()) return {folder, reason};
  const std::string name = KeptRecordName(time);
  const std::string stem = folder + "/" + name.substr(0, name.size() - kExtension.size());
  std::string path = stem + std::string(kExtension);
  for (int n = 2; store.Exists(path); ++n)
    path = stem + "_" + std::to_string(n) + std::string(kExtension);
  if (std::string reason = store.SaveAtomically(path, file); !reason.empty())
    return {path, reason};
  RemoveBeyondLimits(store, folder, path, limits);
  return {path, {}};
}

std::vector<KeptRecord> ListKeptRecords(FileStore& store, const std::string& folder) {
  std::vector<KeptRecord> records;
  for (const FolderEntry& e : KeptEntries(store, folder)) {
    KeptRecord r{e.path, TimeOfName(e.name), {}, {}, e.size};
    const StoredFile head = store.Read(e.path, FileHeaderSize);
    if (head.ok() && head.bytes.size() >= FileHeaderSize) {
      if (const auto mode = ModeFromFileCode(head.bytes[header::ModeCode]))
        r.mode = std::string(ModeName(*mode));
      r.comment = HeaderComment(head.bytes);
    }
    records.push_back(std::move(r));
  }
  return records;
}

ListRequest KeptRecordsList(const std::vector<KeptRecord>& records) {
  ListRequest list{Text(TextId::RecentRecordsTitle),
                   {Text(TextId::RecentRecordsTime), Text(TextId::RecentRecordsMode),
                    Text(TextId::RecentRecordsComment), Text(TextId::RecentRecordsSize)},
                   {}};
  for (const KeptRecord& r : records)
    list.rows.push_back({r.time, r.mode, r.comment,
                         FormatText(TextId::RecentRecordsKiB, {std::to_string((r.size + 1023) / 1024)})});
  return list;
}

std::vector<std::uint8_t> RecoveryCommands::FileImage(const LocalDateTime& now) {
  const auto header = rec_.FileHeader;
  const int currentMode = values_.CurrentMode;
  std::vector<std::uint8_t> bytes;
  // A record the unit sent always fits: its lengths came from the same rule.
  if (!WriteRecording(rec_, values_, true, now, bytes)) bytes.clear();
  rec_.FileHeader = header;
  values_.CurrentMode = currentMode;
  return bytes;
}

void RecoveryCommands::KeepReceivedRecord(const LocalDateTime& now) {
  const std::vector<std::uint8_t> bytes = FileImage(now);
  if (bytes.empty()) return;
  const KeepOutcome kept = KeepRecordFile(store_, folder_, bytes, now);
  lastKept_ = kept.error.empty() ? kept.path : std::string();
  if (!kept.error.empty()) ui_.ShowError(FormatText(TextId::CannotCreateFile, {kept.path, kept.error}));
}

void RecoveryCommands::UpdateKeptRecord(const LocalDateTime& now) {
  if (lastKept_.empty()) return;
  const std::vector<std::uint8_t> bytes = FileImage(now);
  if (bytes.empty()) return;
  if (std::string reason = store_.SaveAtomically(lastKept_, bytes); !reason.empty())
    ui_.ShowError(FormatText(TextId::CannotCreateFile, {lastKept_, reason}));
}

bool RecoveryCommands::OpenKeptRecordCommand() {
  const std::vector<KeptRecord> records = ListKeptRecords(store_, folder_);
  if (records.empty()) {
    ui_.ShowInformation(FormatText(TextId::NoKeptRecords, {folder_}));
    return false;
  }
  if (!commands_.ConfirmDiscard()) return false;
  const std::optional<int> row = ui_.ChooseFromList(KeptRecordsList(records));
  if (!row || *row < 0 || *row >= static_cast<int>(records.size())) return false;
  return commands_.OpenRecordingFile(records[*row].path);
}

}  // namespace kalvex

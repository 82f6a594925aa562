#pragma once
// The recovery folder: every record received from the unit is also kept
// there as a recording file, whatever the unsaved-data setting says, so that
// a field record is never lost because a question was not asked. The folder
// keeps the newest records within a count and a size; "Последние записи…"
// lists them. Called on the user-interface thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "recordings/ProcessValues.h"

namespace kalvex {

class FileCommands;
class FileStore;
class TFrmFile;
class UserInteraction;
struct ListRequest;

// How much the folder keeps: the newest records, at most this many and at
// most this many bytes together (the record just kept always stays).
struct RecoveryLimits {
  int maxRecords = 500;
  std::uint64_t maxBytes = std::uint64_t{1} << 30;
};

// A kept record as the list shows it.
struct KeptRecord {
  std::string path;
  std::string time;  // "2026-12-09 18:31:49", from the file name
  std::string mode;  // the mode's name, empty when the header names none
  std::string comment;
  std::uint64_t size = 0;
};

// "Rec_2026-12-09_18-31-49.qrm": sorts by time, and the "Rec_" tells the
// save commands that the record was never saved elsewhere.
std::string KeptRecordName(const LocalDateTime& time);

// Writes `file` into `folder` (created when missing) under the name of
// `time`, or of `time` with "-2", "-3", … when that name is taken, then
// removes the oldest records beyond `limits`. The path written, or the
// platform's reason with the path it tried.
struct KeepOutcome {
  std::string path;
  std::string error;  // empty when kept
};
KeepOutcome KeepRecordFile(FileStore& store, const std::string& folder,
                           std::span<const std::uint8_t> file, const LocalDateTime& time,
                           const RecoveryLimits& limits = {});

// The records in `folder`, newest first.
std::vector<KeptRecord> ListKeptRecords(FileStore& store, const std::string& folder);

// The list dialog of the records: time, mode, comment and size in KiB.
ListRequest KeptRecordsList(const std::vector<KeptRecord>& records);

// The main window's side of the folder: keeping each received record and
// "Последние записи…".
class RecoveryCommands {
 public:
  RecoveryCommands(FileCommands& commands, TFrmFile& recording, ProcessValues& values,
                   FileStore& store, UserInteraction& ui, std::string folder)
      : commands_(commands),
        rec_(recording),
        values_(values),
        store_(store),
        ui_(ui),
        folder_(std::move(folder)) {}

  const std::string& Folder() const { return folder_; }

  // A record just received: a copy of it goes into the folder as a new file;
  // the recording itself stays as it is (named "Rec_…", unsaved). A copy that
  // cannot be written shows why.
  void KeepReceivedRecord(const LocalDateTime& now);
  // The record kept last is written again (its comment was just entered).
  void UpdateKeptRecord(const LocalDateTime& now);

  // "Последние записи…": the unsaved-data question, then the list, newest
  // first; the record chosen opens as a file does. True when one was opened.
  bool OpenKeptRecordCommand();

 private:
  // The recording as a recording file of its own, leaving its header image
  // and the current mode as they were.
  std::vector<std::uint8_t> FileImage(const LocalDateTime& now);

  FileCommands& commands_;
  TFrmFile& rec_;
  ProcessValues& values_;
  FileStore& store_;
  UserInteraction& ui_;
  std::string folder_;
  std::string lastKept_;
};

}  // namespace kalvex

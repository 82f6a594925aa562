// The recovery folder: every received record kept under its time, the
// newest within a count and a size, listed newest first and opened again.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recordings/RecordRecovery.h"
#include "shell/UserInteraction.h"
#include "support/FileCommandsRig.h"
#include "support/RecordingFileImage.h"

namespace kalvex {
namespace {

constexpr LocalDateTime kNow{2026, 12, 9, 18, 31, 49};
const std::string kFolder = "/home/op/records";

std::vector<std::string> Names(test::FakeFileStore& store) {
  std::vector<std::string> names;
  for (const FolderEntry& e : store.ListFolder(kFolder)) names.push_back(e.name);
  return names;
}

TEST(RecordRecoveryTest, RecordsAreKeptUnderTheirTimeWithinTheCountAndTheSize) {
  test::FakeFileStore store;
  const std::vector<std::uint8_t> file(1000, 7);
  const RecoveryLimits limits{3, 2500};
  KeepOutcome kept = KeepRecordFile(store, kFolder, file, kNow, limits);
  EXPECT_EQ(kept.path, kFolder + "/Rec_2026-12-09_18-31-49.qrm");
  EXPECT_TRUE(kept.error.empty());
  // The same second again: never replaced.
  EXPECT_EQ(KeepRecordFile(store, kFolder, file, kNow, limits).path,
            kFolder + "/Rec_2026-12-09_18-31-49_2.qrm");
  store.Put(kFolder + "/notes.txt", file);  // not a kept record: left alone
  // A third record passes the size: the oldest goes.
  KeepRecordFile(store, kFolder, file, {2026, 12, 9, 18, 35, 0}, limits);
  EXPECT_EQ(Names(store), (std::vector<std::string>{"Rec_2026-12-09_18-31-49_2.qrm",
                                                    "Rec_2026-12-09_18-35-00.qrm", "notes.txt"}));
  // One record larger than the limit still stays; the count limit holds too.
  KeepRecordFile(store, kFolder, std::vector<std::uint8_t>(3000), {2027, 1, 1, 0, 0, 0}, limits);
  EXPECT_EQ(Names(store), (std::vector<std::string>{"Rec_2027-01-01_00-00-00.qrm", "notes.txt"}));

  store.failing[kFolder] = "Permission denied";
  kept = KeepRecordFile(store, kFolder, file, kNow, limits);
  EXPECT_EQ(kept.error, "Permission denied");
  EXPECT_EQ(kept.path, kFolder);
}

class RecoveryCommandsTest : public ::testing::Test, protected test::FileCommandsRig {
 protected:
  RecoveryCommandsTest() : FileCommandsRig(kNow) {
    settings.NoSaveConfirmation = false;
    test::RecordingFileImage image(Dodida, 2500);
    store.Put("/data/base.qrm", image.Bytes());
    EXPECT_TRUE(commands.OpenRecordingFile("/data/base.qrm"));
    rec.Name = "Rec_18:31:49  ";
    rec.Comment = "полевая";
    rec.Origin = OriginAcquired;
    rec.Modified = true;
  }

  RecoveryCommands recovery{commands, rec, values, store, ui, kFolder};
};

TEST_F(RecoveryCommandsTest, AReceivedRecordIsKeptAsItIsAndTheRecordingStaysUnsaved) {
  const auto header = rec.FileHeader;
  recovery.KeepReceivedRecord(kNow);
  const std::string path = kFolder + "/Rec_2026-12-09_18-31-49.qrm";
  ASSERT_TRUE(store.Exists(path));
  EXPECT_EQ(store.Bytes(path).size(), 256u + 2 * 3 * 2500);
  EXPECT_EQ(rec.FileHeader, header);
  EXPECT_EQ(rec.Name, "Rec_18:31:49  ");
  EXPECT_TRUE(rec.Modified);

  // The comment entered afterwards goes into the same file.
  rec.Comment = "вибратор 2";
  recovery.UpdateKeptRecord(kNow);
  EXPECT_EQ(Names(store).size(), 1u);
  std::vector<KeptRecord> listed = ListKeptRecords(store, kFolder);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].time, "2026-12-09 18:31:49");
  EXPECT_EQ(listed[0].mode, "Dodida");
  EXPECT_EQ(listed[0].comment, "вибратор 2");

  // Listed newest first, opened as a file after the unsaved-data question.
  recovery.KeepReceivedRecord({2026, 12, 10, 7, 0, 0});
  ui.threeWayAnswers = {YesNoCancel::No};
  ui.listChoices = {1};
  ASSERT_TRUE(recovery.OpenKeptRecordCommand());
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Сохранить данные в памяти?"});
  ASSERT_EQ(ui.lists.size(), 1u);
  EXPECT_EQ(ui.lists[0].rows[0][0], "2026-12-10 07:00:00");
  EXPECT_EQ(ui.lists[0].rows[1], (std::vector<std::string>{"2026-12-09 18:31:49", "Dodida",
                                                             "вибратор 2", "15 КБ"}));
  EXPECT_EQ(rec.Name, path);
  EXPECT_EQ(rec.Comment, "вибратор 2");
  EXPECT_FALSE(rec.Modified);
}

TEST_F(RecoveryCommandsTest, AFolderThatCannotBeWrittenOrHoldsNothingIsSaid) {
  store.failing[kFolder] = "Permission denied";
  recovery.KeepReceivedRecord(kNow);
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Cannot create file \"" + kFolder +
                                                "\". Permission denied"});
  EXPECT_FALSE(recovery.OpenKeptRecordCommand());
  EXPECT_EQ(ui.infos.back(), "В папке \"" + kFolder + "\" нет сохраненных записей");
  EXPECT_TRUE(ui.lists.empty());
}

}  // namespace
}  // namespace kalvex

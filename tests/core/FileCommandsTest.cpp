// The file commands: the unsaved-data question, open, save and save as, the
// comment editor, and what a failed save or a refused file leaves behind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recordings/FileCommands.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"
#include "support/FileCommandsRig.h"
#include "support/RecordingFileImage.h"

namespace kalvex {
namespace {

using test::RecordingFileImage;

constexpr LocalDateTime kNow{2024, 3, 5, 14, 5, 33};
const std::string kRecName = "Rec_14:05:33  ";

class FileCommandsTest : public ::testing::Test, protected test::FileCommandsRig {
 protected:
  FileCommandsTest() : FileCommandsRig(kNow) {
    settings.NoSaveConfirmation = false;
    FileWindowSteps steps;
    steps.anyAccumulating = [this] { return accumulating; };
    steps.activeAccumulating = [this] { return activeAccumulating; };
    steps.resetModelSelections = [this] { log.push_back("models"); };
    steps.setTitle = [this](const std::string& t) { log.push_back("title " + t); };
    steps.dropAccumulation = [this] {
      accumulating = false;
      log.push_back("drop");
    };
    steps.adoptRecordLength = [this] { log.push_back("length"); };
    steps.accumulateOpened = [this] { log.push_back("accumulate"); };
    steps.closeAllWindows = [this] { log.push_back("close"); };
    steps.showOpened = [this] { log.push_back("show"); };
    steps.refreshCaptions = [this] { log.push_back("captions"); };
    commands.SetWindowSteps(steps);
  }

  // A mode 0 file at `path`: 2500 samples at 1000 Hz, a 2 s sweep. Byte 160
  // is one the writer keeps unless it rebuilds the header.
  static RecordingFileImage Image(int mode = Velnarund, std::uint16_t n = 2500) {
    RecordingFileImage image(mode, n);
    image.bytes[160] = 0x5A;
    return image;
  }
  void OpenImage(const std::string& path, const RecordingFileImage& image) {
    store.Put(path, image.Bytes());
    ASSERT_TRUE(commands.OpenRecordingFile(path));
    log.clear();
  }
  // The opened file as a record just acquired and not saved.
  void MakeUnsavedRecord() {
    OpenImage("/data/base.qrm", Image());
    rec.Name = kRecName;
    rec.Origin = OriginAcquired;
    rec.Modified = true;
  }

  bool accumulating = false;
  bool activeAccumulating = false;
  std::vector<std::string> log;
};

TEST_F(FileCommandsTest, UnsavedDataQuestionCancelStopsAndNoGoesOnWithoutSaving) {
  OpenImage("/data/a.qrm", Image());
  EXPECT_TRUE(commands.ConfirmDiscard());  // not modified: no question
  rec.Modified = true;
  settings.NoSaveConfirmation = true;
  EXPECT_TRUE(commands.ConfirmDiscard());
  EXPECT_TRUE(ui.questions.empty());

  settings.NoSaveConfirmation = false;
  ui.threeWayAnswers = {YesNoCancel::Cancel, YesNoCancel::No};
  EXPECT_FALSE(commands.ConfirmDiscard());
  EXPECT_TRUE(commands.ConfirmDiscard());
  EXPECT_EQ(ui.questions, (std::vector<std::string>(2, "Сохранить данные в памяти?")));
  EXPECT_EQ(store.saves, 0);
  EXPECT_TRUE(rec.Modified);

  // Cancel at the question: "Открыть" shows no dialog.
  ui.threeWayAnswers = {YesNoCancel::Cancel};
  EXPECT_FALSE(commands.OpenCommand());
  EXPECT_TRUE(ui.openDialogs.empty());
}

TEST_F(FileCommandsTest, YesSavesToTheFileItCameFromOrAsksForANewName) {
  // Read from a file: saved over it, header image kept, no dialog.
  OpenImage("/data/a.qrm", Image());
  rec.Comment = "edited";
  rec.Modified = true;
  ui.threeWayAnswers = {YesNoCancel::Yes};
  EXPECT_TRUE(commands.ConfirmDiscard());
  EXPECT_TRUE(ui.saveDialogs.empty());
  EXPECT_EQ(test::TextAt(store.Bytes("/data/a.qrm"), 16, 6), "edited");
  EXPECT_EQ(store.Bytes("/data/a.qrm")[160], 0x5A);
  EXPECT_FALSE(rec.Modified);

  // Acquired: the save dialog, a rebuilt header, and the recording becomes
  // that file.
  MakeUnsavedRecord();
  ui.threeWayAnswers = {YesNoCancel::Yes};
  ui.saveChoices = {"/data/new.qrm"};
  EXPECT_TRUE(commands.ConfirmDiscard());
  ASSERT_EQ(ui.saveDialogs.size(), 1u);
  EXPECT_EQ(ui.saveDialogs[0].initialName, "");
  const std::vector<std::uint8_t> written = store.Bytes("/data/new.qrm");
  EXPECT_EQ(written.size(), Image().bytes.size());
  EXPECT_EQ(written[160], 0);
  EXPECT_EQ(rec.Name, "/data/new.qrm");
  EXPECT_EQ(rec.Origin, OriginFile);
  EXPECT_FALSE(rec.Modified);

  // What was written reads back with the same samples.
  const auto samples = rec.Channels[3]->Samples;
  ASSERT_TRUE(commands.OpenRecordingFile("/data/new.qrm"));
  EXPECT_EQ(rec.Channels[3]->Samples, samples);
}

TEST_F(FileCommandsTest, YesWithACancelledDialogGoesOnButAFailedSaveStops) {
  MakeUnsavedRecord();
  ui.threeWayAnswers = {YesNoCancel::Yes, YesNoCancel::Yes};
  ui.saveChoices = {std::nullopt, "/ro/x.qrm"};
  store.failing["/ro/x.qrm"] = "Permission denied";
  EXPECT_TRUE(commands.ConfirmDiscard());   // cancelled in the dialog
  EXPECT_FALSE(commands.ConfirmDiscard());  // the data would be lost after the error
  EXPECT_EQ(ui.errors, (std::vector<std::string>{"Cannot create file \"/ro/x.qrm\". "
                                                 "Permission denied"}));
  EXPECT_TRUE(rec.Modified);
}

TEST_F(FileCommandsTest, DialogsOfferBothFileKindsAndSaveDialogsAskBeforeOverwriting) {
  ui.threeWayAnswers = {};
  ui.openChoices = {std::nullopt, "/data/missing.qrm"};
  EXPECT_FALSE(commands.OpenCommand());
  EXPECT_FALSE(commands.OpenCommand());  // a path that does not exist opens nothing
  ASSERT_EQ(ui.openDialogs.size(), 2u);
  EXPECT_EQ(ui.openDialogs[0].filter, "ФайлыQuorimeter (*.qrm)|*.qrm|Файлы Pelton (*.fmr)|*.fmr");
  EXPECT_EQ(ui.openDialogs[0].defaultExtension, ".QRM");
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(log.empty());

  OpenImage("/data/a.qrm", Image());
  rec.Modified = true;
  EXPECT_EQ(commands.SaveAsCommand(), SaveOutcome::Cancelled);
  MakeUnsavedRecord();
  EXPECT_EQ(commands.SaveCommand(), SaveOutcome::Cancelled);
  ASSERT_EQ(ui.saveDialogs.size(), 2u);
  for (const FileDialogRequest& d : ui.saveDialogs) {
    EXPECT_EQ(d.filter, ui.openDialogs[0].filter);
    EXPECT_EQ(d.defaultExtension, ".QRM");
    EXPECT_TRUE(d.confirmOverwrite);
  }
  EXPECT_EQ(ui.saveDialogs[0].initialName, "/data/a.qrm");
  EXPECT_EQ(store.saves, 0);
  EXPECT_TRUE(rec.Modified);
  EXPECT_EQ(rec.Name, kRecName);
}

TEST_F(FileCommandsTest, SaveTreatsAnyRecInTheNameAsUnsavedWhileSaveAsKeepsTheHeader) {
  const std::string path = "/data/Rec_2023/a.qrm";
  OpenImage(path, Image());
  ui.saveChoices = {"/data/b.qrm", "/data/c.qrm"};
  EXPECT_EQ(commands.SaveCommand(), SaveOutcome::Saved);
  EXPECT_EQ(store.Bytes("/data/b.qrm")[160], 0);  // rebuilt
  EXPECT_EQ(store.Bytes(path)[160], 0x5A);        // the file itself untouched

  OpenImage(path, Image());
  EXPECT_EQ(commands.SaveAsCommand(), SaveOutcome::Saved);
  EXPECT_EQ(store.Bytes("/data/c.qrm")[160], 0x5A);
  EXPECT_EQ(ui.saveDialogs.size(), 2u);
}

TEST_F(FileCommandsTest, SaveAsOfARecordingWithoutNameRebuildsTheHeader) {
  // Kept header image of a record that never had a file: a header of zero
  // samples and nothing after it.
  OpenImage("/data/a.qrm", Image());
  rec.Name.clear();
  rec.FileHeader = {};
  ui.saveChoices = {"/data/named.qrm"};
  EXPECT_EQ(commands.SaveAsCommand(), SaveOutcome::Saved);
  EXPECT_EQ(store.Bytes("/data/named.qrm").size(), Image().bytes.size());
  EXPECT_TRUE(commands.OpenRecordingFile("/data/named.qrm"));
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndTheRecording) {
  OpenImage("/data/a.qrm", Image());
  const std::vector<std::uint8_t> old = store.Bytes("/data/a.qrm");
  const auto header = rec.FileHeader;
  rec.Modified = true;
  rec.Comment = "new";
  store.failing["/data/a.qrm"] = "Disk full";
  EXPECT_EQ(commands.SaveCommand(), SaveOutcome::Failed);
  EXPECT_EQ(ui.errors, (std::vector<std::string>{"Cannot create file \"/data/a.qrm\". Disk full"}));
  EXPECT_EQ(store.Bytes("/data/a.qrm"), old);
  EXPECT_EQ(rec.FileHeader, header);
  EXPECT_TRUE(rec.Modified);
  EXPECT_EQ(rec.Name, "/data/a.qrm");
  EXPECT_TRUE(log.empty());  // no caption refresh

  // A record too long for its 16-bit sample count is not written at all.
  ui.Clear();
  MakeUnsavedRecord();
  rec.SweepSeconds = 40;  // 40 s at 2000 Hz
  values.SampleRateIndex = 2;
  ui.saveChoices = {"/data/long.qrm"};
  EXPECT_EQ(commands.SaveCommand(), SaveOutcome::Failed);
  EXPECT_EQ(ui.errors, (std::vector<std::string>{Text(TextId::RecordTooLong)}));
  EXPECT_FALSE(store.Exists("/data/long.qrm"));
  EXPECT_EQ(rec.Name, kRecName);

  // Nothing read or acquired: nothing to write, and nothing to ask about.
  TFrmFile empty;
  empty.Name = "/data/a.qrm";  // as the project file restores it
  empty.Modified = true;
  FileCommands emptyCommands{empty, values, settings, files, store, ui, [] { return kNow; }};
  store.failing.clear();
  EXPECT_EQ(emptyCommands.SaveCommand(), SaveOutcome::Failed);
  EXPECT_EQ(store.Bytes("/data/a.qrm"), old);
  EXPECT_TRUE(emptyCommands.ConfirmDiscard());
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(FileCommandsTest, MarkSavedRenamesTheLastSnapshotOnlyForAnAccumulatingWindow) {
  MakeUnsavedRecord();
  files.AddSnapshot(rec);
  commands.MarkSaved("/data/one.qrm");
  EXPECT_EQ(rec.Name, "/data/one.qrm");
  EXPECT_FALSE(rec.Modified);
  EXPECT_EQ(rec.Origin, OriginFile);
  EXPECT_EQ(log, (std::vector<std::string>{"captions"}));
  EXPECT_EQ(files.Last()->Name, kRecName);

  activeAccumulating = true;
  commands.MarkSaved("/data/two.qrm");
  EXPECT_EQ(files.Last()->Name, "/data/two.qrm");
}

TEST_F(FileCommandsTest, CommentEditor) {
  OpenImage("/data/a.qrm", Image());
  files.AddSnapshot(rec);
  const std::string long97 = std::string(95, 'x') + "яю";
  ui.editedTexts = {std::nullopt, long97, "from a new record"};

  EXPECT_FALSE(commands.EditComment(true));  // cancelled
  EXPECT_FALSE(rec.Modified);
  EXPECT_TRUE(commands.EditComment(true));
  EXPECT_EQ(rec.Comment, std::string(95, 'x') + "я");
  EXPECT_TRUE(rec.Modified);
  EXPECT_EQ(files.Last()->Comment, rec.Comment);
  ASSERT_EQ(ui.textEdits.size(), 2u);
  EXPECT_EQ(ui.textEdits[0].title, "Редактирование комментария");
  EXPECT_EQ(ui.textEdits[0].label, "Введите комменатрий:");
  EXPECT_EQ(ui.textEdits[0].maxChars, 96);

  // A new record's comment leaves the snapshot alone.
  EXPECT_TRUE(commands.EditComment(false));
  EXPECT_EQ(rec.Comment, "from a new record");
  EXPECT_EQ(files.Last()->Comment, std::string(95, 'x') + "я");

  // The menu does nothing over an accumulating window.
  activeAccumulating = true;
  EXPECT_FALSE(commands.EditComment(true));
  EXPECT_EQ(ui.textEdits.size(), 3u);
}

TEST_F(FileCommandsTest, RefusedOrUnreadableFileShowsItsMessageAndKeepsTheRecording) {
  OpenImage("/data/good.qrm", Image());
  const auto samples = rec.Channels[1]->Samples;
  RecordingFileImage bad = Image();
  bad.bytes[152] = 5;
  store.Put("/data/bad.qrm", bad.Bytes());

  EXPECT_FALSE(commands.OpenRecordingFile("/data/bad.qrm"));
  EXPECT_FALSE(commands.OpenRecordingFile("/data/gone.qrm"));
  EXPECT_EQ(ui.errors, (std::vector<std::string>{"Неверное значение временного интервала",
                                                 "Cannot open file \"/data/gone.qrm\". "
                                                 "No such file or directory"}));
  EXPECT_EQ(rec.Name, "/data/good.qrm");
  EXPECT_EQ(rec.Channels[1]->Samples, samples);
  EXPECT_EQ(log, (std::vector<std::string>{"models"}));  // windows and title untouched
}

TEST_F(FileCommandsTest, OpenedFileReachesTheWindowsByModeAndLength) {
  OpenImage("/data/a.qrm", Image());
  ui.threeWayAnswers = {};
  ui.openChoices = {"/data/b.qrm"};
  store.Put("/data/b.qrm", Image().Bytes(), {2022, 1, 2, 3, 4, 5});
  EXPECT_TRUE(commands.OpenCommand());
  EXPECT_EQ(log, (std::vector<std::string>{"models",
                                           "title Программа обработки сигналов: Quorimeter [" +
                                               std::string(ModeName(Velnarund)) + "]",
                                           "show"}));
  EXPECT_EQ(values.RecordingDate, (LocalDateTime{2022, 1, 2, 3, 4, 5}));

  // Same mode and length while accumulating: the file joins the group.
  accumulating = true;
  log.clear();
  ASSERT_TRUE(commands.OpenRecordingFile("/data/b.qrm"));
  EXPECT_EQ(log.at(2), "accumulate");

  // Another length: the groups go, the windows take the new range.
  store.Put("/data/long.qrm", Image(Velnarund, 3000).Bytes());
  log.clear();
  ASSERT_TRUE(commands.OpenRecordingFile("/data/long.qrm"));
  EXPECT_EQ(std::vector<std::string>(log.begin() + 2, log.end()),
            (std::vector<std::string>{"drop", "length", "show"}));

  // Another mode: every window closes.
  store.Put("/data/d.qrm", Image(Dodida, 4500).Bytes());
  log.clear();
  ASSERT_TRUE(commands.OpenRecordingFile("/data/d.qrm"));
  EXPECT_EQ(std::vector<std::string>(log.begin() + 2, log.end()),
            (std::vector<std::string>{"close", "show"}));
}

}  // namespace
}  // namespace kalvex

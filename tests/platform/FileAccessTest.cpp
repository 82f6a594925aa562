// Whole-file reads and saves that never destroy the file they replace.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/FileAccess.h"

namespace kalvex {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
  return {v.begin(), v.end()};
}

class FileAccessTest : public ::testing::Test {
 protected:
  QString Path(const char* name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(FileAccessTest, SaveReplacesTheWholeFileAndReadsBack) {
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({1, 2, 3, 4, 5})), "");
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({9, 8})), "");
  FileReadResult r = ReadWholeFile(Path("a.qrm"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, Bytes({9, 8}));
  // No temporary file is left beside it.
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(FileAccessTest, FailedSaveReportsAReasonAndKeepsWhatWasThere) {
  QDir(dir_.path()).mkdir("folder");
  EXPECT_NE(SaveFileAtomically(Path("folder"), Bytes({1})), "");
  EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
  EXPECT_NE(SaveFileAtomically(Path("missing/x.qrm"), Bytes({1})), "");
  EXPECT_FALSE(QFile::exists(Path("missing/x.qrm")));
}

TEST_F(FileAccessTest, ReadingMissingFilesAndFoldersFailsWithAReason) {
  EXPECT_FALSE(ReadWholeFile(Path("none.qrm")).ok());
  EXPECT_FALSE(ReadWholeFile(dir_.path()).ok());
  EXPECT_EQ(LastWriteTime(Path("none.qrm")), LocalDateTime{});
  EXPECT_EQ(LastWriteTime(dir_.path()), LocalDateTime{});
}

TEST_F(FileAccessTest, LastWriteTimeOfAFileIsItsLocalModificationTime) {
  ASSERT_EQ(SaveFileAtomically(Path("t.qrm"), Bytes({0})), "");
  LocalDateTime t = LastWriteTime(Path("t.qrm"));
  LocalDateTime now = CurrentLocalTime();
  EXPECT_EQ(t.Year, now.Year);
  EXPECT_GE(t.Month, 1);
  EXPECT_LE(t.Month, 12);
}

}  // namespace
}  // namespace kalvex

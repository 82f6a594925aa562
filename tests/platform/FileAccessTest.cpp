// Bounded reads and saves that never destroy the file they replace, on
// every system.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "support/FileAccessFixture.h"

namespace kalvex {
namespace {

using test::Bytes;
using test::FileAccessTest;

TEST_F(FileAccessTest, SaveReplacesTheWholeFileAndReadsBack) {
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({1, 2, 3, 4, 5})), "");
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({9, 8})), "");
  FileReadResult r = ReadFileBytes(Path("a.qrm"), 100);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, Bytes({9, 8}));
  // No temporary file is left beside it.
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
}

// A file saved piece by piece is the pieces in order; a producer that fails
// part way leaves the old file as it was and nothing beside it.
TEST_F(FileAccessTest, SaveInPiecesReplacesOnlyWhenEveryPieceIsWritten) {
  const auto pieces = [](const ChunkWriter& write) {
    for (int k = 1; k <= 3; ++k) write(Bytes({k, k}));
  };
  ASSERT_EQ(SaveFileAtomically(Path("p.json"), pieces), "");
  EXPECT_EQ(ReadFileBytes(Path("p.json"), 100).bytes, Bytes({1, 1, 2, 2, 3, 3}));
  const auto failing = [](const ChunkWriter& write) {
    write(Bytes({7}));
    throw std::runtime_error("no more values");
  };
  EXPECT_THROW(SaveFileAtomically(Path("p.json"), failing), std::runtime_error);
  EXPECT_EQ(ReadFileBytes(Path("p.json"), 100).bytes, Bytes({1, 1, 2, 2, 3, 3}));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(FileAccessTest, FailedSaveReportsAReasonAndKeepsWhatWasThere) {
  QDir(dir_.path()).mkdir("folder");
  EXPECT_NE(SaveFileAtomically(Path("folder"), Bytes({1})), "");
  EXPECT_TRUE(QFileInfo(dir_.filePath("folder")).isDir());
  EXPECT_NE(SaveFileAtomically(Path("missing/x.qrm"), Bytes({1})), "");
  EXPECT_FALSE(IsFile(Path("missing/x.qrm")));
}

TEST_F(FileAccessTest, ReadingMissingFilesAndFoldersFailsWithAReason) {
  EXPECT_FALSE(ReadFileBytes(Path("none.qrm"), 100).ok());
  EXPECT_EQ(ReadFileBytes(dir_.path().toStdString(), 100).error, "Is a directory");
  EXPECT_EQ(LastWriteTime(Path("none.qrm")), LocalDateTime{});
  EXPECT_EQ(LastWriteTime(dir_.path().toStdString()), LocalDateTime{});
}

TEST_F(FileAccessTest, LastWriteTimeOfAFileIsItsLocalModificationTime) {
  ASSERT_EQ(SaveFileAtomically(Path("t.qrm"), Bytes({0})), "");
  LocalDateTime t = LastWriteTime(Path("t.qrm"));
  LocalDateTime now = CurrentLocalTime();
  EXPECT_EQ(t.Year, now.Year);
  EXPECT_GE(t.Month, 1);
  EXPECT_LE(t.Month, 12);
}

TEST_F(FileAccessTest, ReadsStopOneBytePastWhatTheCallerCanUse) {
  ASSERT_EQ(SaveFileAtomically(Path("big"), std::vector<std::uint8_t>(5000, 7)), "");
  EXPECT_EQ(ReadFileBytes(Path("big"), 10).bytes.size(), 11u);
  EXPECT_EQ(ReadFileBytes(Path("big"), 5000).bytes.size(), 5000u);
}

}  // namespace
}  // namespace kalvex

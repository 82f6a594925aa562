// Bounded reads and saves that never destroy the file they replace, on names
// of any bytes, links and special files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <thread>

#include "platform/FileAccess.h"

namespace kalvex {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> v) {
  return {v.begin(), v.end()};
}

class FileAccessTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
  QTemporaryDir dir_;
};

TEST_F(FileAccessTest, SaveReplacesTheWholeFileAndReadsBack) {
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({1, 2, 3, 4, 5})), "");
  ASSERT_EQ(SaveFileAtomically(Path("a.qrm"), Bytes({9, 8})), "");
  FileReadResult r = ReadFileBytes(Path("a.qrm"), 100);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.bytes, Bytes({9, 8}));
  // No temporary file is left beside it.
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

TEST_F(FileAccessTest, OnlyRegularFilesAreReadAndNothingElseIsWaitedOn) {
  // A device without end, a pipe without writer (opening it would wait for
  // one), a folder: refused with the reason, nothing read.
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  ASSERT_EQ(::symlink(Path("pipe").c_str(), Path("to-pipe").c_str()), 0);
  for (const std::string& path : {std::string("/dev/zero"), Path("pipe"), Path("to-pipe")}) {
    const FileReadResult read = ReadFileBytes(path, 4096);
    EXPECT_EQ(read.error, "Not a regular file") << path;
    EXPECT_TRUE(read.bytes.empty()) << path;
  }
  EXPECT_EQ(ReadFileBytes(Path(""), 10).error, "Is a directory");
}

TEST_F(FileAccessTest, ANewFileNeverReplacesWhatIsThere) {
  ASSERT_EQ(SaveFileAtomically(Path("r.pdf"), Bytes({1})), "");
  ASSERT_EQ(::symlink(Path("gone").c_str(), Path("dangling.pdf").c_str()), 0);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.pdf"));
  for (const char* name : {"r.pdf", "dangling.pdf", "folder.pdf"}) {
    const NewFileResult taken = CreateNewFile(Path(name), Bytes({2}));
    EXPECT_TRUE(taken.existed) << name;
    EXPECT_EQ(taken.error, "") << name;
  }
  EXPECT_EQ(ReadFileBytes(Path("r.pdf"), 10).bytes, Bytes({1}));
  EXPECT_FALSE(IsFile(Path("gone")));
  const NewFileResult created = CreateNewFile(Path("r-2.pdf"), Bytes({2}));
  EXPECT_FALSE(created.existed);
  EXPECT_EQ(created.error, "");
  EXPECT_EQ(ReadFileBytes(Path("r-2.pdf"), 10).bytes, Bytes({2}));
  EXPECT_NE(CreateNewFile(Path("none/r.pdf"), Bytes({2})).error, "");
}

TEST_F(FileAccessTest, NamesOfAnyBytesLinksAndPermissionsSurviveASave) {
  const std::string odd = Path("bad\xffname.qrm");  // not UTF-8
  ASSERT_EQ(SaveFileAtomically(odd, Bytes({1, 2})), "");
  EXPECT_TRUE(IsFile(odd));
  EXPECT_EQ(ReadFileBytes(odd, 10).bytes, Bytes({1, 2}));

  ASSERT_EQ(::chmod(odd.c_str(), 0640), 0);
  ASSERT_EQ(::symlink(odd.c_str(), Path("link.qrm").c_str()), 0);
  ASSERT_EQ(SaveFileAtomically(Path("link.qrm"), Bytes({3})), "");
  struct stat link {
  }, target{};
  ASSERT_EQ(::lstat(Path("link.qrm").c_str(), &link), 0);
  ASSERT_EQ(::stat(odd.c_str(), &target), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode));
  EXPECT_EQ(target.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadFileBytes(odd, 10).bytes, Bytes({3}));
}

TEST_F(FileAccessTest, APipeIsWrittenIntoNotReplaced) {
  const std::string fifo = Path("out.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] {
    std::ifstream in(fifo, std::ios::binary);
    received.assign(std::istreambuf_iterator<char>(in), {});
  });
  EXPECT_EQ(SaveFileAtomically(fifo, Bytes({'o', 'k'})), "");
  reader.join();
  EXPECT_EQ(received, "ok");
  struct stat info {};
  ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  // A device that refuses the bytes is reported, and stays a device.
  EXPECT_EQ(SaveFileAtomically("/dev/full", Bytes({1})), "No space left on device");
}

}  // namespace
}  // namespace kalvex

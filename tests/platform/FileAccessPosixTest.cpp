// Files on a POSIX system: names of any bytes, links, permissions and
// special files (pipes, devices).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <thread>

#include "support/FileAccessFixture.h"

namespace kalvex {
namespace {

using test::Bytes;
using test::FileAccessTest;

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

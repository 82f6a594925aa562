// The file commands' store on real files: what Exists and Read say about
// folders and missing paths, a save that reads back with its time, and two
// programs saving one file at once.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <thread>

#include "platform/QtFileStore.h"

namespace kalvex {
namespace {

TEST(QtFileStoreTest, FilesOnlyAndWholeSavesReadBack) {
  QTemporaryDir dir;
  QDir(dir.path()).mkdir("Rec_2023");
  const std::string folder = dir.filePath("Rec_2023").toStdString();
  const std::string file = dir.filePath("Rec_2023/a.qrm").toStdString();
  QtFileStore store;

  EXPECT_FALSE(store.Exists(folder));
  EXPECT_FALSE(store.Read(folder, 1000).ok());
  EXPECT_FALSE(store.Exists(file));
  EXPECT_FALSE(store.Read(file, 1000).ok());

  const std::vector<std::uint8_t> bytes{1, 2, 3};
  ASSERT_EQ(store.SaveAtomically(file, bytes), "");
  StoredFile read = store.Read(file, 1000);
  ASSERT_TRUE(read.ok());
  EXPECT_TRUE(store.Exists(file));
  EXPECT_EQ(read.bytes, bytes);
  EXPECT_GE(read.lastWrite.Year, 2024);
  EXPECT_NE(store.SaveAtomically(folder, bytes), "");
}

// Two copies of the program closing in one folder: every read sees one of
// the two files whole, and the last save wins.
TEST(QtFileStoreTest, TwoWritersOfOneFileNeverLeaveAMixture) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("Kalvex.prj").toStdString();
  const std::vector<std::uint8_t> a(200000, 'a'), b(300000, 'b');
  auto writer = [&file](const std::vector<std::uint8_t>& bytes) {
    QtFileStore store;
    for (int i = 0; i < 20; ++i) EXPECT_EQ(store.SaveAtomically(file, bytes), "");
  };
  std::thread first(writer, std::cref(a)), second(writer, std::cref(b));
  QtFileStore reader;
  for (int i = 0; i < 200; ++i) {
    const StoredFile read = reader.Read(file, 1 << 20);
    if (read.ok()) {
      EXPECT_TRUE(read.bytes == a || read.bytes == b) << read.bytes.size();
    }
  }
  first.join();
  second.join();
  EXPECT_EQ(reader.Read(file, 1 << 20).bytes.size() % 100000, 0u);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Kalvex.prj"});
}

}  // namespace
}  // namespace kalvex

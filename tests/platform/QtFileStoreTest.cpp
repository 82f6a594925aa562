// The file commands' store on real files: what Exists and Read say about
// folders and missing paths, and a save that reads back with its time.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

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
  EXPECT_FALSE(store.Read(folder).ok());
  EXPECT_FALSE(store.Exists(file));
  EXPECT_FALSE(store.Read(file).ok());

  const std::vector<std::uint8_t> bytes{1, 2, 3};
  ASSERT_EQ(store.SaveAtomically(file, bytes), "");
  StoredFile read = store.Read(file);
  ASSERT_TRUE(read.ok());
  EXPECT_TRUE(store.Exists(file));
  EXPECT_EQ(read.bytes, bytes);
  EXPECT_GE(read.lastWrite.Year, 2024);
  EXPECT_NE(store.SaveAtomically(folder, bytes), "");
}

}  // namespace
}  // namespace kalvex

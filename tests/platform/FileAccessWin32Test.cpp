// Files on Windows: names in any script reach the system as UTF-16, and a
// save over a file that refuses it keeps the old file whole.

#include <gtest/gtest.h>
#include <windows.h>

#include <QDir>

#include "support/FileAccessFixture.h"

namespace kalvex {
namespace {

using test::Bytes;
using test::FileAccessTest;

TEST_F(FileAccessTest, CyrillicNamesSaveReadAndStayNew) {
  const std::string name = Path("Запись вибратора №2.qrm");
  ASSERT_EQ(SaveFileAtomically(name, Bytes({1, 2, 3})), "");
  EXPECT_TRUE(IsFile(name));
  EXPECT_EQ(ReadFileBytes(name, 10).bytes, Bytes({1, 2, 3}));
  EXPECT_TRUE(QDir(dir_.path()).exists(QString::fromUtf8("Запись вибратора №2.qrm")));
  EXPECT_NE(LastWriteTime(name), LocalDateTime{});
  const NewFileResult again = CreateNewFile(name, Bytes({9}));
  EXPECT_TRUE(again.existed);
  EXPECT_EQ(ReadFileBytes(name, 10).bytes, Bytes({1, 2, 3}));
}

TEST_F(FileAccessTest, AReadOnlyFileIsNotReplacedAndNothingIsLeftBeside) {
  const std::string name = Path("locked.qrm");
  ASSERT_EQ(SaveFileAtomically(name, Bytes({5, 5})), "");
  const std::wstring wide = QString::fromStdString(name).toStdWString();
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(SaveFileAtomically(name, Bytes({7})), "");
  EXPECT_EQ(ReadFileBytes(name, 10).bytes, Bytes({5, 5}));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace kalvex

// "О программе" names what a problem report needs: version, build date and
// the library versions in use.

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/AboutText.h"
#include "platform/FftwLoader.h"

namespace kalvex {
namespace {

TEST(AboutTextTest, NamesVersionBuildDateAndTheLibrariesInUse) {
  ASSERT_TRUE(LoadFftLibrary());
  const QString text = AboutText();
  const QStringList lines = text.split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "Программа обработки сигналов");
  EXPECT_TRUE(QRegularExpression(R"(^Версия \d+\.\d+.*, сборка \d{4}-\d{2}-\d{2}$)")
                  .match(lines[1])
                  .hasMatch())
      << lines[1].toStdString();
  EXPECT_TRUE(FftLibraryVersion().startsWith("fftw-3")) << FftLibraryVersion().toStdString();
  EXPECT_EQ(lines[2], "Библиотеки: " + FftLibraryVersion() + ", Qt " + qVersion());
}

}  // namespace
}  // namespace kalvex

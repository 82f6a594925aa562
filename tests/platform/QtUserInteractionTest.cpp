// The file dialogs' filter and default extension in Qt's form.

#include <gtest/gtest.h>

#include <QStringList>

#include "platform/QtUserInteraction.h"
#include "recordings/FileCommands.h"

namespace kalvex {
namespace {

TEST(QtUserInteractionTest, FilterPairsBecomeQtFilters) {
  EXPECT_EQ(QtFileFilter("Text (*.txt)|*.txt|All (*.*)|*.*"), "Text (*.txt);;All (*.*)");
}

TEST(QtUserInteractionTest, DescriptionWithoutPatternsGetsThem) {
  EXPECT_EQ(QtFileFilter("Recordings|*.qrm;*.fmr"), "Recordings (*.qrm *.fmr)");
  EXPECT_EQ(QtFileFilter("Images (*.png)|*.bmp"), "Images (*.png) (*.bmp)");
}

TEST(QtUserInteractionTest, RecordingFilterKeepsBothKinds) {
  const QStringList filters = QtFileFilter(FileCommands::RecordingFilter()).split(";;");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters[0].endsWith("(*.qrm)"));
  EXPECT_TRUE(filters[1].endsWith("(*.fmr)"));
}

TEST(QtUserInteractionTest, EmptyFilterIsEmpty) {
  EXPECT_EQ(QtFileFilter(""), "");
}

TEST(QtUserInteractionTest, DefaultSuffixWithoutDot) {
  EXPECT_EQ(QtDefaultSuffix(".QRM"), "QRM");
  EXPECT_EQ(QtDefaultSuffix("txt"), "txt");
  EXPECT_EQ(QtDefaultSuffix(""), "");
}

}  // namespace
}  // namespace kalvex

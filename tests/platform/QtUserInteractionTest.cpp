// The file dialogs' filter and default extension in Qt's form.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/QtUserInteraction.h"
#include "recordings/FileCommands.h"
#include "support/QtApplication.h"

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
  // Opening: a file named without an extension as typed; a missing one with it.
  QTemporaryDir dir;
  const QString bare = dir.filePath("rec");
  QFile file(bare);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_EQ(NameToOpen(bare, "QRM"), bare);
  EXPECT_EQ(NameToOpen(dir.filePath("new"), "QRM"), dir.filePath("new.QRM"));
  EXPECT_EQ(NameToOpen(dir.filePath("a.fmr"), "QRM"), dir.filePath("a.fmr"));
  // Dialogs start in the folder last chosen, unless the name brings its own.
  EXPECT_EQ(DialogStartPath("", "/d"), "/d");
  EXPECT_EQ(DialogStartPath("r.pdf", "/d"), "/d/r.pdf");
  EXPECT_EQ(DialogStartPath("/e/r.qrm", "/d"), "/e/r.qrm");
  EXPECT_EQ(DialogStartPath("r.pdf", ""), "r.pdf");
}

// Which columns of a list dialog are shown, read while the dialog runs.
std::vector<bool> ShownColumns(const ListRequest& list) {
  std::vector<bool> shown;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (auto* table = dialog->findChild<QTableWidget*>())
      for (int c = 0; c < table->columnCount(); ++c) shown.push_back(!table->isColumnHidden(c));
    dialog->accept();
  });
  QtUserInteraction(nullptr).ShowList(list);
  return shown;
}

// The comments list of a window that does not accumulate keeps its "N"
// column, empty, as for a window that does.
TEST(QtUserInteractionTest, ListShowsTheNumberColumnEvenWhenNoRowHasANumber) {
  test::EnsureApplication();
  ListRequest list{"Комментарии", {"N", "Файл", "Комментарий"}, {{"", "a.qrm", ""}}};
  EXPECT_EQ(ShownColumns(list), (std::vector<bool>{true, true, true}));
  list.rows.push_back({"S2", "b.qrm", ""});
  EXPECT_EQ(ShownColumns(list), (std::vector<bool>{true, true, true}));
}

}  // namespace
}  // namespace kalvex

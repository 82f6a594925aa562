// The four model list dialogs as an operator uses them: fields typed with
// real key presses, rows picked in the table, the buttons pressed, and the
// list and the file that "Да" leaves behind (written through the Qt file
// store into a temporary folder).

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "platform/ModelListFolder.h"
#include "platform/ModelListWidget.h"
#include "platform/QtFileStore.h"
#include "recordings/ModelListFiles.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

class ModelListWidgetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  std::string PathOf(ModelListKind kind) const { return ModelListFilesIn(dir.path()).Of(kind); }
  QByteArray FileBytes(ModelListKind kind) const {
    QFile file(QString::fromStdString(PathOf(kind)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  static void Type(QWidget& dialog, const char* field, const QString& keys) {
    QLineEdit* edit = dialog.findChild<QLineEdit*>(QLatin1String(field));
    ASSERT_NE(edit, nullptr) << field;
    edit->clear();
    QTest::keyClicks(edit, keys);
  }
  static QString TextOf(QWidget& dialog, const char* field) {
    return dialog.findChild<QLineEdit*>(QLatin1String(field))->text();
  }
  static void Press(QWidget& dialog, const char* button) {
    QPushButton* b = dialog.findChild<QPushButton*>(QLatin1String(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }
  static void ClickRow(ModelListWidget& dialog, int row) {
    QTableWidget* table = dialog.Table();
    const QRect cell = table->visualRect(table->model()->index(row, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }

  QTemporaryDir dir;
  QtFileStore store;
  test::FakeUserInteraction ui;
  ModelLists lists;
};

TEST_F(ModelListWidgetTest, EachDialogAddsTypedEntriesAndWritesItsFileOnYes) {
  struct Case {
    ModelListKind kind;
    std::vector<std::pair<const char*, QString>> keys;  // field, keys typed
    QByteArray file;
    int helpTopic;
  };
  const Case cases[] = {
      {ModelListKind::Vib,
       {{"Name", "V-1"},
        {"Value1", "13600"},
        {"Value2", "4200"},
        {"Value3", "1800"},
        {"Note", "abc"}},
       "0.V-1;13600;4200;1800;abc\r\n",
       170},
      // The numeric filter drops the letter and the second separator, and
      // types "," as ".".
      {ModelListKind::Acc,
       {{"Name", "A"}, {"Value1", "1,2x5.7"}, {"Value2", "7"}, {"Note", "x"}},
       "0.A;1.26;7;x\r\n",
       171},
      {ModelListKind::Control,
       {{"Name", "C"}, {"Value1", "-1.5"}, {"Value2", "2.5678"}},
       "0.C;-1.50;2.57;\r\n",
       172},
      {ModelListKind::Source,
       {{"Name", "S"},
        {"Value1", "4000"},
        {"Value2", "1800"},
        {"Value3", "100.5"},
        {"Value4", "99"},
        {"Value5", "1"},
        {"Value6", "2"},
        {"Value7", "0.25"},
        {"Note", "n"}},
       "0.S;4000;1800;100.50;99.00;1.00;2.00;0.25;n\r\n",
       173},
  };
  for (const Case& c : cases) {
    ModelListWidget dialog(c.kind, lists, store, PathOf(c.kind), ui);
    dialog.show();
    for (const auto& [field, keys] : c.keys) Type(dialog, field, keys);
    Press(dialog, "Add");
    EXPECT_EQ(dialog.Table()->rowCount(), 1) << ModelListFileName(c.kind);
    Press(dialog, "Help");
    Press(dialog, "Yes");
    EXPECT_TRUE(dialog.Accepted());
    EXPECT_EQ(FileBytes(c.kind), c.file) << ModelListFileName(c.kind);
    EXPECT_EQ(ui.helpTopics.back(), c.helpTopic);
  }
  EXPECT_TRUE(ui.errors.empty());
  ASSERT_EQ(lists.Vib.size(), 1u);
  EXPECT_EQ(lists.Vib[0].Number, 1);
  EXPECT_EQ(lists.Control[0].Number, 0);
  EXPECT_DOUBLE_EQ(lists.Control[0].TestOut, 2.567);  // five characters

  // The file reads back as the list.
  const ModelLists read = LoadModelLists(store, ModelListFilesIn(dir.path()));
  ASSERT_EQ(read.Source.size(), 1u);
  EXPECT_DOUBLE_EQ(read.Source[0].AccRM, 100.5);
  EXPECT_EQ(read.Acc[0].Note, "x");
}

TEST_F(ModelListWidgetTest, RowsAreChosenChangedAndDeletedAfterTheQuestions) {
  lists.Vib = {{"AB ", 13600, 4200, 1800, "abc", 0}, {"V-2", 1, 2, 3, "", 1}};
  ModelListWidget dialog(ModelListKind::Vib, lists, store, PathOf(ModelListKind::Vib), ui);
  dialog.show();
  ASSERT_EQ(dialog.Table()->rowCount(), 2);
  EXPECT_EQ(dialog.Table()->item(1, 0)->text(), "2.");

  ClickRow(dialog, 1);
  EXPECT_EQ(TextOf(dialog, "Name"), "V-2");
  EXPECT_EQ(TextOf(dialog, "Value3"), "3");

  Type(dialog, "Name", "ab");  // an existing name is refused by "Добавить" only
  Press(dialog, "Add");
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Элемент списка с таким названием уже существует"});
  ui.answers = {true};
  Press(dialog, "Change");
  EXPECT_EQ(dialog.Table()->item(1, 1)->text(), "ab");

  ClickRow(dialog, 0);
  EXPECT_EQ(TextOf(dialog, "Note"), "abc");
  ui.answers = {false};
  Press(dialog, "Delete");
  EXPECT_EQ(dialog.Table()->rowCount(), 2);
  ui.answers = {true};
  Press(dialog, "Delete");
  ASSERT_EQ(dialog.Table()->rowCount(), 1);
  EXPECT_EQ(dialog.Table()->item(0, 0)->text(), "1.");
  EXPECT_EQ(ui.questions.size(), 3u);

  Press(dialog, "Cancel");
  EXPECT_FALSE(dialog.Accepted());
  EXPECT_EQ(lists.Vib.size(), 2u);  // "Отменить" leaves the list
  EXPECT_EQ(FileBytes(ModelListKind::Vib), "<missing>");
}

TEST_F(ModelListWidgetTest, TheTableShowsEveryColumnWithoutScrolling) {
  lists.Source = {{"A long source model name", 40000, 18000, 100.25, 99.5, 1, 2, 3,
                   "a note of some length to see the last column", 0}};
  for (ModelListKind kind :
       {ModelListKind::Vib, ModelListKind::Acc, ModelListKind::Control, ModelListKind::Source}) {
    ModelListWidget dialog(kind, lists, store, PathOf(kind), ui);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.Table()->horizontalScrollBar()->maximum(), 0) << ModelListFileName(kind);
  }
}

}  // namespace
}  // namespace kalvex

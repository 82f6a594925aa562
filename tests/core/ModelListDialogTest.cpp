// The model list dialogs without widgets: the table's texts, the entry check,
// the duplicate-name rule, the two questions, and what "Да" makes of the rows
// (numbers, notes, the file rewritten or kept).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recordings/ModelListDialog.h"
#include "recordings/ModelListFiles.h"
#include "support/FakeFileStore.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

const std::string kDataError = "Ошибка в данных";
const std::string kDuplicate = "Элемент списка с таким названием уже существует";
const std::string kChangeQuestion = "Текущая строка списка будет изменена. Продолжить?";
const std::string kDeleteQuestion = "Текущая строка списка будет удалена. Продолжить?";

std::string FileText(test::FakeFileStore& store, const std::string& path) {
  const auto& bytes = store.Bytes(path);
  return {bytes.begin(), bytes.end()};
}

class ModelListDialogTest : public ::testing::Test {
 protected:
  ModelListDialogTest() {
    lists.Vib = {{"AB ", 13600, 4200, 1800, "abc", 0}, {"V-2", 1, 2, 3, "", 1}};
    lists.Acc = {{"A", 1.25, 7, "x", 3}};
  }
  ModelLists lists;
  test::FakeUserInteraction ui;
  test::FakeFileStore store;
};

TEST_F(ModelListDialogTest, ShowsTheListAsNumberedRowsOfTexts) {
  ModelListDialog acc(ModelListKind::Acc, lists);
  EXPECT_EQ(Text(acc.Caption()), "Список AccModels");
  EXPECT_EQ(acc.HelpTopic(), 171);
  std::vector<std::string> columns;
  for (TextId id : acc.Columns()) columns.push_back(Text(id));
  EXPECT_EQ(columns, (std::vector<std::string>{"№", "Модель", "Коэфф. преобразования (mV/g)",
                                               "Код задержки", "Примечание"}));
  ASSERT_EQ(acc.Rows().size(), 1u);
  EXPECT_EQ(acc.Rows()[0], (std::vector<std::string>{"1.", "A", "1.25", "7", "x"}));
  ASSERT_EQ(acc.Fields().size(), 4u);  // name, two values, note
  EXPECT_EQ(acc.Fields().back().MaxChars, 63);

  ModelListDialog vib(ModelListKind::Vib, lists);
  EXPECT_EQ(Text(vib.Caption()), "Список VibModel ");
  EXPECT_EQ(vib.Rows()[1], (std::vector<std::string>{"2.", "V-2", "1", "2", "3", ""}));
  vib.Select(0);
  EXPECT_EQ(vib.EditTexts, (std::vector<std::string>{"AB ", "13600", "4200", "1800", "abc"}));
  vib.Select(2);  // one past the last row: nothing changes
  EXPECT_EQ(vib.EditTexts, (std::vector<std::string>{"AB ", "13600", "4200", "1800", "abc"}));
}

TEST_F(ModelListDialogTest, AddRefusesDuplicateNamesComparedWithoutBlanksAndLatinCase) {
  ModelListDialog vib(ModelListKind::Vib, lists);
  vib.EditTexts = {"ab", "1", "2", "3", ""};
  EXPECT_FALSE(vib.Add(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kDuplicate});
  vib.EditTexts[0] = "  v-2\t";
  EXPECT_FALSE(vib.Add(ui));
  EXPECT_EQ(vib.Rows().size(), 2u);

  // Only a-z fold: Cyrillic letters of another case are another name.
  EXPECT_FALSE(ModelListDialog::SameName("Вибратор", "вибратор"));
  EXPECT_FALSE(ModelListDialog::SameName("a b", "ab"));
  EXPECT_TRUE(ModelListDialog::SameName(" Вибратор-X ", "Вибратор-x"));

  ui.Clear();
  vib.EditTexts = {"Вибратор", "5", "6", "7", "new"};
  EXPECT_TRUE(vib.Add(ui));
  EXPECT_TRUE(ui.errors.empty());
  ASSERT_EQ(vib.Rows().size(), 3u);
  EXPECT_EQ(vib.Rows()[2], (std::vector<std::string>{"3.", "Вибратор", "5", "6", "7", "new"}));
}

TEST_F(ModelListDialogTest, TheEntryCheckRefusesBlankNamesAndValuesThatDoNotConvert) {
  ModelListDialog source(ModelListKind::Source, lists);
  const std::vector<std::string> good{"S", "4000", "1800", "100", "99,5", "1.5", "2", "-0.5", ""};
  source.EditTexts = good;
  EXPECT_TRUE(source.EntryValid());
  const std::vector<std::pair<std::size_t, std::string>> bad = {
      {0, "  "}, {0, "a;b"},   {1, "12a"}, {1, "1.5"},
      {2, ""},   {3, "1,2,3"}, {7, "x"},   {1, "99999999999"},
      // Two signs; the marker of a value never entered.
      {1, "+-5"}, {3, "-1.789E308"}};
  for (const auto& [field, text] : bad) {
    ui.Clear();
    source.EditTexts = good;
    source.EditTexts[field] = text;
    EXPECT_FALSE(source.Add(ui)) << field << " '" << text << "'";
    EXPECT_EQ(ui.errors, std::vector<std::string>{kDataError}) << field << " '" << text << "'";
  }
  EXPECT_TRUE(source.Rows().empty());
}

TEST_F(ModelListDialogTest, ChangeAndDeleteAskFirstAndActOnlyOnYes) {
  ModelListDialog vib(ModelListKind::Vib, lists);
  vib.EditTexts = {"X", "1", "1", "1", ""};
  EXPECT_FALSE(vib.Change(ui));  // no row selected: no question
  EXPECT_FALSE(vib.Delete(ui));
  EXPECT_TRUE(ui.questions.empty());

  vib.Select(1);
  vib.EditTexts[0] = "ab";  // the name of the other row: no duplicate test here
  vib.EditTexts[1] = "x";
  EXPECT_FALSE(vib.Change(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kDataError});
  EXPECT_TRUE(ui.questions.empty());  // the check comes before the question

  vib.EditTexts[1] = "9";
  ui.answers = {false, true};
  EXPECT_FALSE(vib.Change(ui));
  EXPECT_EQ(vib.Rows()[1][1], "V-2");
  EXPECT_TRUE(vib.Change(ui));
  EXPECT_EQ(vib.Rows()[1], (std::vector<std::string>{"2.", "ab", "9", "2", "3", ""}));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{kChangeQuestion, kChangeQuestion}));

  ui.Clear();
  vib.Select(0);
  ui.answers = {false, true};
  EXPECT_FALSE(vib.Delete(ui));
  EXPECT_EQ(vib.Rows().size(), 2u);
  EXPECT_TRUE(vib.Delete(ui));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{kDeleteQuestion, kDeleteQuestion}));
  ASSERT_EQ(vib.Rows().size(), 1u);
  EXPECT_EQ(vib.Rows()[0][0], "1.");  // renumbered
  EXPECT_EQ(vib.Rows()[0][1], "ab");
  EXPECT_FALSE(vib.Selected());
  EXPECT_FALSE(vib.Delete(ui));  // a second press takes nothing unseen
}

TEST_F(ModelListDialogTest, AcceptRebuildsTheListFromTheRowsAndRewritesTheFile) {
  ModelListDialog vib(ModelListKind::Vib, lists);
  vib.EditTexts = {"V-3", "10", "20", "30", std::string(70, 'n')};
  ASSERT_TRUE(vib.Add(ui));
  ASSERT_TRUE(vib.Accept(lists, store, "VibModels.ini", ui));
  ASSERT_EQ(lists.Vib.size(), 3u);
  EXPECT_EQ(lists.Vib[0].Name, "AB ");  // as shown in the row
  EXPECT_EQ(lists.Vib[0].Number, 1);    // vibrators count from 1
  EXPECT_EQ(lists.Vib[2].Number, 3);
  EXPECT_EQ(lists.Vib[2].BaseplateWeight, 30);
  EXPECT_EQ(lists.Vib[2].Note, std::string(63, 'n'));
  EXPECT_EQ(FileText(store, "VibModels.ini"),
            "0.AB ;13600;4200;1800;abc\r\n1.V-2;1;2;3;\r\n2.V-3;10;20;30;" + std::string(63, 'n') +
                "\r\n");

  lists.Control = {{"C0", 1, 1, "", 7}, {"C1", 1, 1, "", 7}};
  ModelListDialog control(ModelListKind::Control, lists);
  control.EditTexts = {"C2", "1,5", "-2.25", ""};
  ASSERT_TRUE(control.Add(ui));
  ASSERT_TRUE(control.Accept(lists, store, "ControlModels.ini", ui));
  ASSERT_EQ(lists.Control.size(), 3u);
  EXPECT_EQ(lists.Control[0].Number, 0);
  EXPECT_EQ(lists.Control[2].Number, 2);
  EXPECT_DOUBLE_EQ(lists.Control[2].Current, 1.5);
  EXPECT_DOUBLE_EQ(lists.Control[2].TestOut, -2.25);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ModelListDialogTest, AFailedRewriteKeepsTheOldFileButTheListIsReplaced) {
  store.Put("AccModels.ini", std::vector<std::uint8_t>{'o', 'l', 'd'});
  store.failing["AccModels.ini"] = "Disk full";
  ModelListDialog acc(ModelListKind::Acc, lists);
  acc.Select(0);
  ui.answers = {true};
  ASSERT_TRUE(acc.Delete(ui));
  EXPECT_TRUE(acc.Accept(lists, store, "AccModels.ini", ui));
  EXPECT_TRUE(lists.Acc.empty());
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Cannot create file \"AccModels.ini\". Disk full"});
  EXPECT_EQ(FileText(store, "AccModels.ini"), "old");

  // "Отменить" is simply not accepting: the rows are the dialog's own.
  ModelListDialog vib(ModelListKind::Vib, lists);
  vib.EditTexts = {"Z", "1", "2", "3", ""};
  ASSERT_TRUE(vib.Add(ui));
  EXPECT_EQ(lists.Vib.size(), 2u);
}

}  // namespace
}  // namespace kalvex

// The model list files: the line rules of the reader, the writer's line
// formats, a list surviving save and load, reading damaged files, the four
// files through the file store, and what a chosen model fills.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recordings/ModelListFiles.h"
#include "recordings/ModelListReader.h"
#include "recordings/ModelListWriter.h"
#include "recordings/ModelLists.h"
#include "support/FakeFileStore.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::string TextOf(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

ModelLists ListsFrom(ModelListKind kind, std::string_view file) {
  ModelLists lists;
  ReplaceEntries(lists, kind, ReadModelListFile(Bytes(file), kind));
  return lists;
}

std::string Join(std::string_view dir, std::string_view name) {
  return std::string(dir) + "|" + std::string(name);
}

// ---------------------------------------------------------------- reading

TEST(ModelListReaderTest, ReadsTheWorkedLinesAndSkipsTheMalformedOnes) {
  const ModelLists vib = ListsFrom(ModelListKind::Vib,
                                   "0.V-1;13600;4200;1800;abc\r\n"
                                   "0.V-2;13600;4200;1800\r\n"
                                   "0.V-3;13600;4200\r\n"    // a separator short
                                   "x.V-4;1;2;3;\r\n"        // number part not an integer
                                   "1.5.V-5;1;2;3;\r\n"      // "1" then name "5.V-5"
                                   "2.V-6;12a;2;3;\r\n"      // weight not an integer
                                   "3 V-7;1;2;3;\r\n"        // no "."
                                   "4.V-8 1 2 3\r\n"         // no ";"
                                   "-2.V-9;1;2;3;x;y\r\n");  // the note keeps its ";"
  ASSERT_EQ(vib.Vib.size(), 4u);
  const VibModel& v1 = vib.Vib[0];
  EXPECT_EQ(v1.Name, "V-1");
  EXPECT_EQ(v1.HoldDownWeight, 13600);
  EXPECT_EQ(v1.ReactionMassWeight, 4200);
  EXPECT_EQ(v1.BaseplateWeight, 1800);
  EXPECT_EQ(v1.Note, "abc");
  EXPECT_EQ(v1.Number, 0);
  EXPECT_EQ(vib.Vib[1].Name, "V-2");
  EXPECT_EQ(vib.Vib[1].BaseplateWeight, 1800);
  EXPECT_EQ(vib.Vib[1].Note, "");
  EXPECT_EQ(vib.Vib[2].Number, 1);
  EXPECT_EQ(vib.Vib[2].Name, "5.V-5");
  EXPECT_EQ(vib.Vib[3].Number, -2);
  EXPECT_EQ(vib.Vib[3].Note, "x;y");

  const ModelLists acc = ListsFrom(ModelListKind::Acc, "3.A;1,25;7;x\r\n3.B;1,25\r\n4.C;2.5;1\r\n");
  ASSERT_EQ(acc.Acc.size(), 2u);
  EXPECT_EQ(acc.Acc[0].Name, "A");
  EXPECT_DOUBLE_EQ(acc.Acc[0].Sensitivity, 1.25);
  EXPECT_EQ(acc.Acc[0].DelayCode, 7);
  EXPECT_EQ(acc.Acc[0].Note, "x");
  EXPECT_EQ(acc.Acc[0].Number, 3);
  EXPECT_EQ(acc.Acc[1].Name, "C");
  EXPECT_EQ(acc.Acc[1].DelayCode, 1);

  const ModelLists control = ListsFrom(ModelListKind::Control, "0.C;1,5;2,5;\r\n");
  ASSERT_EQ(control.Control.size(), 1u);
  EXPECT_DOUBLE_EQ(control.Control[0].Current, 1.5);
  EXPECT_DOUBLE_EQ(control.Control[0].TestOut, 2.5);
  EXPECT_EQ(control.Control[0].Note, "");
}

TEST(ModelListReaderTest, ReadsTheFirstCommaAsThePointInEveryRealFieldOnly) {
  const ModelLists source = ListsFrom(ModelListKind::Source,
                                      "0.S;4000;1800;100,5;99,25;1,5;2,75;0,5;n\r\n"
                                      "1.S2;4000;1800;1,0,0;1;1;1;1;\r\n"  // a second ","
                                      "2.S3;4000,0;1800;1;1;1;1;1;\r\n"    // "," in an integer
                                      "3.S4;4000;1800;1;1;1;1;\r\n");      // a field short
  ASSERT_EQ(source.Source.size(), 1u);
  const SourceModel& s = source.Source[0];
  EXPECT_EQ(s.ReactionMassWeight, 4000);
  EXPECT_EQ(s.BaseplateWeight, 1800);
  EXPECT_DOUBLE_EQ(s.AccRM, 100.5);
  EXPECT_DOUBLE_EQ(s.AccBP, 99.25);
  EXPECT_DOUBLE_EQ(s.Voltage, 1.5);
  EXPECT_DOUBLE_EQ(s.Current, 2.75);
  EXPECT_DOUBLE_EQ(s.Sensor, 0.5);
  EXPECT_EQ(s.Note, "n");
}

TEST(ModelListReaderTest, CutsTheRestOfTheLineAndTheNoteInCharacters) {
  const std::string note70(70, 'n');
  // Seventy "п" in Windows-1251, one byte per character.
  std::string cyrillic;
  for (int i = 0; i < 70; ++i) cyrillic += '\xEF';  // "п"
  const ModelLists vib = ListsFrom(
      ModelListKind::Vib, "0.A;1;2;3;" + note70 + "\r\n" + "1.B;1;2;3;" + cyrillic + "\r\n" +
                              // values past the 100th character after the name are cut off
                              "2.C;" + std::string(97, '0') + "1;2;3;\r\n" +
                              // ... and a last value that ends on the 100th is whole
                              "3.D;" + std::string(94, '0') + "1;2;35\r\n");
  ASSERT_EQ(vib.Vib.size(), 3u);
  EXPECT_EQ(vib.Vib[2].BaseplateWeight, 35);
  EXPECT_EQ(vib.Vib[0].Note, std::string(63, 'n'));
  std::string p63;
  for (int i = 0; i < 63; ++i) p63 += "п";
  EXPECT_EQ(vib.Vib[1].Note, p63);

  // In the source list only what follows the reaction-mass weight is cut,
  // to 300 characters: long but complete values still read.
  const std::string wide = std::string(60, '0') + "1";
  const ModelLists source =
      ListsFrom(ModelListKind::Source, "0.S;" + std::string(120, '0') + "7;" + wide + ";" + wide +
                                           ";" + wide + ";1;1;1;tail\r\n" + "1.T;1;" +
                                           std::string(300, '0') + "1;1;1;1;1;1;\r\n");
  ASSERT_EQ(source.Source.size(), 1u);
  EXPECT_EQ(source.Source[0].ReactionMassWeight, 7);
  EXPECT_EQ(source.Source[0].BaseplateWeight, 1);
  EXPECT_DOUBLE_EQ(source.Source[0].AccBP, 1);
  EXPECT_EQ(source.Source[0].Note, "tail");
}

TEST(ModelListReaderTest, DecodesWindows1251AndReadsDamagedFilesLineByLine) {
  // "Вибратор" in Windows-1251, lines ended by CR LF, LF and CR, no final end.
  const ModelLists vib = ListsFrom(ModelListKind::Vib,
                                   "0.\xC2\xE8\xE1\xF0\xE0\xF2\xEE\xF0;1;2;3;\xEF\xF0\xE8\xEC\r\n"
                                   "1.B;4;5;6;\n2.C;7;8;9;\r3.D;10;11;12");
  ASSERT_EQ(vib.Vib.size(), 4u);
  EXPECT_EQ(vib.Vib[0].Name, "Вибратор");
  EXPECT_EQ(vib.Vib[0].Note, "прим");
  EXPECT_EQ(vib.Vib[3].Name, "D");
  EXPECT_EQ(vib.Vib[3].BaseplateWeight, 12);

  // A UTF-8 byte-order mark is dropped and the file read as UTF-8.
  const ModelLists marked = ListsFrom(ModelListKind::Acc,
                                      "\xEF\xBB\xBF"
                                      "0.Датчик;1.5;2;\r\n1.Z;\xFF;1;\r\n");
  ASSERT_EQ(marked.Acc.size(), 1u);
  EXPECT_EQ(marked.Acc[0].Name, "Датчик");

  // Binary garbage and a very long line around good lines.
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 37 + 11) % 256);
  const std::string file = garbage + "\r\n" + std::string(200000, ';') + "\r\n" +
                           std::string(100000, '.') + "\r\n0.Good;1;2;3;\r\n" +
                           std::string(1, '\0') + "\r\n\r\n";
  const ModelLists read = ListsFrom(ModelListKind::Vib, file);
  ASSERT_FALSE(read.Vib.empty());
  EXPECT_EQ(read.Vib.back().Name, "Good");
  for (ModelListKind kind : {ModelListKind::Acc, ModelListKind::Control, ModelListKind::Source})
    EXPECT_NO_THROW(ReadModelListFile(Bytes(file), kind));
}

// ---------------------------------------------------------------- writing

TEST(ModelListWriterTest, WritesPositionsExceptTheAccelerometersNumber) {
  ModelLists lists;
  lists.Vib = {{"V-1", 13600, 4200, 1800, "abc", 5},
               {"Вибратор", 1, 2, 3, "", -1},
               {"V-3", 4, 5, 6, "x;y", 9}};
  EXPECT_EQ(TextOf(WriteModelListFile(lists, ModelListKind::Vib)),
            "0.V-1;13600;4200;1800;abc\r\n"
            "1.\xC2\xE8\xE1\xF0\xE0\xF2\xEE\xF0;1;2;3;\r\n"
            "2.V-3;4;5;6;x;y\r\n");

  lists.Acc = {{"A", 1.25, 7, "x", 3}, {"B", 100, 0, "", -1}};
  EXPECT_EQ(TextOf(WriteModelListFile(lists, ModelListKind::Acc)),
            "3.A;1.25;7;x\r\n-1.B;100.00;0;\r\n");
  lists.Control = {{"C", 1.5, -2.5, "", 4}};
  EXPECT_EQ(TextOf(WriteModelListFile(lists, ModelListKind::Control)), "0.C;1.50;-2.50;\r\n");
  lists.Source = {{"S", 4000, 1800, 100, 99.5, 1, 2, 0.25, "n", 0}};
  EXPECT_EQ(TextOf(WriteModelListFile(lists, ModelListKind::Source)),
            "0.S;4000;1800;100.00;99.50;1.00;2.00;0.25;n\r\n");

  // A line break inside a text would split the entry: it is written as a blank.
  lists.Vib = {{"A\r\nB", 1, 2, 3, "x\ny", 0}};
  EXPECT_EQ(TextOf(WriteModelListFile(lists, ModelListKind::Vib)), "0.A  B;1;2;3;x y\r\n");
}

TEST(ModelListWriterTest, AListSurvivesSaveAndLoadByteForByte) {
  const std::pair<ModelListKind, std::string> files[] = {
      {ModelListKind::Vib, "0.V-1;13600;4200;1800;abc\r\n1.\xC2\xE8\xE1;1;2;3;\r\n"},
      {ModelListKind::Acc, "3.A;1.25;7;x\r\n0.B;-0.50;0;\r\n"},
      {ModelListKind::Control, "0.C;1.50;2.50;\r\n1.D;0.00;12.00;note\r\n"},
      {ModelListKind::Source, "0.S;4000;1800;100.00;99.50;1.00;2.00;0.25;n\r\n"},
  };
  for (const auto& [kind, file] : files) {
    test::FakeFileStore store;
    test::FakeUserInteraction ui;
    const ModelListPaths paths = ModelListPathsIn("dir", Join);
    store.Put(paths.Of(kind), Bytes(file));
    const ModelLists lists = LoadModelLists(store, paths);
    ASSERT_TRUE(SaveModelList(lists, kind, store, "copy", ui));
    EXPECT_EQ(TextOf(store.Bytes("copy")), file) << ModelListFileName(kind);
  }
}

// ---------------------------------------------------------------- files

TEST(ModelListFilesTest, LoadsEachFileThatExistsThroughTheGivenPaths) {
  test::FakeFileStore store;
  const ModelListPaths paths = ModelListPathsIn("C:\\work", Join);
  EXPECT_EQ(paths.Of(ModelListKind::Vib), "C:\\work|VibModels.ini");
  EXPECT_EQ(paths.Of(ModelListKind::Acc), "C:\\work|AccModels.ini");
  EXPECT_EQ(paths.Of(ModelListKind::Control), "C:\\work|ControlModels.ini");
  EXPECT_EQ(paths.Of(ModelListKind::Source), "C:\\work|SourceModels.ini");
  store.Put(paths.Of(ModelListKind::Acc), Bytes("3.A;1,25;7;x\r\n"));
  store.Put(paths.Of(ModelListKind::Source), Bytes("0.S;1;2;3;4;5;6;7;\r\n"));
  const ModelLists lists = LoadModelLists(store, paths);
  EXPECT_TRUE(lists.Vib.empty());
  EXPECT_TRUE(lists.Control.empty());
  ASSERT_EQ(lists.Acc.size(), 1u);
  EXPECT_EQ(lists.Acc[0].Number, 3);
  ASSERT_EQ(lists.Source.size(), 1u);
  EXPECT_DOUBLE_EQ(lists.Source[0].Sensor, 7);
}

TEST(ModelListFilesTest, AFileThatCannotBeReadOrIsTooLargeIsNamedWithItsReason) {
  test::FakeFileStore store;
  test::FakeUserInteraction ui;
  const ModelListPaths paths = ModelListPathsIn("d", Join);
  store.files[paths.Of(ModelListKind::Vib)] = {{}, {}, "Permission denied"};
  store.Put(paths.Of(ModelListKind::Acc), std::vector<std::uint8_t>((4u << 20) + 1, '\n'));
  store.Put(paths.Of(ModelListKind::Control), std::vector<std::uint8_t>(4u << 20, '\n'));
  store.Put(paths.Of(ModelListKind::Source), Bytes("0.S;1;2;3;4;5;6;7;\r\n"));
  const ModelLists lists = LoadModelLists(store, paths, ui);
  ASSERT_EQ(ui.errors.size(), 2u);
  EXPECT_EQ(ui.errors[0], "Cannot open file \"d|VibModels.ini\". Permission denied");
  EXPECT_EQ(ui.errors[1],
            "Cannot open file \"d|AccModels.ini\". a model list file is at most 4 MiB");
  EXPECT_EQ(lists.Source.size(), 1u);  // the readable ones are still read
  EXPECT_TRUE(ReadModelLists(store, paths).ErrorOf(ModelListKind::Control).empty());
}

TEST(ModelListFilesTest, AFailedSaveShowsWhyAndKeepsTheOldFile) {
  test::FakeFileStore store;
  test::FakeUserInteraction ui;
  store.Put("VibModels.ini", Bytes("0.Old;1;2;3;\r\n"));
  store.failing["VibModels.ini"] = "Permission denied";
  ModelLists lists;
  lists.Vib = {{"New", 4, 5, 6, "", 1}};
  EXPECT_FALSE(SaveModelList(lists, ModelListKind::Vib, store, "VibModels.ini", ui));
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0], "Cannot create file \"VibModels.ini\". Permission denied");
  EXPECT_EQ(TextOf(store.Bytes("VibModels.ini")), "0.Old;1;2;3;\r\n");
}

// ---------------------------------------------------------------- filling

TEST(ModelFillTest, EachModelFillsItsOwnParameters) {
  const ModelFill vib = FillOf(VibModel{"V", 13600, 4200, 1800, "", 0});
  EXPECT_EQ(vib.HoldDownWeight, 13600);
  EXPECT_EQ(vib.ReactionMassWeight, 4200);
  EXPECT_EQ(vib.BaseplateWeight, 1800);
  EXPECT_FALSE(vib.MassAccSensitivity || vib.ServoCurrentFactor || vib.AccDelayCode);

  const ModelFill acc = FillOf(AccModel{"A", 1.25, 7, "", 0});
  EXPECT_EQ(acc.MassAccSensitivity, 1.25);
  EXPECT_EQ(acc.BaseplateAccSensitivity, 1.25);
  EXPECT_EQ(acc.AccDelayCode, 7);
  EXPECT_FALSE(acc.HoldDownWeight);

  const ControlModel control{"C", 1.5, 2.5, "", 0};
  EXPECT_EQ(FillOf(control, 0).ServoCurrentFactor, 1.5);
  EXPECT_FALSE(FillOf(control, 0).TestOut);
  EXPECT_EQ(FillOf(control, 2).TestOut, 2.5);
  EXPECT_FALSE(FillOf(control, 2).ServoCurrentFactor);

  const ModelFill source = FillOf(SourceModel{"S", 4000, 1800, 100, 99, 1.5, 2.5, 3.5, "", 0});
  EXPECT_EQ(source.ReactionMassWeight, 4000);
  EXPECT_EQ(source.BaseplateWeight, 1800);
  EXPECT_EQ(source.MassAccSensitivity, 100);
  EXPECT_EQ(source.BaseplateAccSensitivity, 99);
  EXPECT_EQ(source.SourceVoltageFactor, 1.5);
  EXPECT_EQ(source.SourceCurrentFactor, 2.5);
  EXPECT_EQ(source.SourceSensorFactor, 3.5);
  EXPECT_FALSE(source.HoldDownWeight || source.TestOut);
}

}  // namespace
}  // namespace kalvex

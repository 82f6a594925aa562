// The catalogue of the system's texts: the built-in Russian set, language
// modules that replace it, and argument insertion.

#include <gtest/gtest.h>

#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

TEST(TextCatalogueTest, BuiltInTextsAndKeys) {
  TextCatalogue catalogue;
  EXPECT_EQ(catalogue.Get(TextId::BadFileSize), "Неверный размер файла");
  EXPECT_EQ(catalogue.Get(TextId::ZeroSampleCount), "Количество отсчетов равно 0");
  EXPECT_EQ(TextCatalogue::Key(TextId::BadFileSize), "BadFileSize");
  EXPECT_EQ(Text(TextId::BadModeCode), "Неверный код режима");
}

TEST(TextCatalogueTest, ModuleReplacesNamedTextsOnly) {
  TextCatalogue catalogue;
  const std::size_t replaced = catalogue.ApplyModule(
      "# English texts\n"
      "\n"
      "BadFileSize=Wrong file size\r\n"
      "NoSuchText=ignored\n"
      "#BadModeCode=commented out\n"
      "a line without a separator\n"
      "ZeroSampleCount=Sample count is 0\n"
      "BadTestOut=first\\nsecond \\\\ third\n"
      "ProgramTitle=Title = with equals");
  EXPECT_EQ(replaced, 4u);
  EXPECT_EQ(catalogue.Get(TextId::BadFileSize), "Wrong file size");
  EXPECT_EQ(catalogue.Get(TextId::ZeroSampleCount), "Sample count is 0");
  EXPECT_EQ(catalogue.Get(TextId::BadTestOut), "first\nsecond \\ third");
  EXPECT_EQ(catalogue.Get(TextId::ProgramTitle), "Title = with equals");
  EXPECT_EQ(catalogue.Get(TextId::BadModeCode), "Неверный код режима");
  // The built-in set itself is untouched.
  EXPECT_EQ(TextCatalogue::BuiltIn(TextId::BadFileSize), "Неверный размер файла");

  catalogue.Reset();
  EXPECT_EQ(catalogue.Get(TextId::BadFileSize), "Неверный размер файла");
}

TEST(TextCatalogueTest, FormatTextInsertsArgumentsInOrder) {
  EXPECT_EQ(FormatText(TextId::ProgramTitleWithMode, {"Quorimeter", "Velnarund"}),
            "Программа обработки сигналов: Quorimeter [Velnarund]");
  EXPECT_EQ(FormatText(TextId::CannotOpenFile, {"/data/a.qrm", "No such file"}),
            "Cannot open file \"/data/a.qrm\". No such file");
  // Missing arguments leave the marks empty; an argument's own "%s" stays.
  EXPECT_EQ(FormatText(TextId::ProgramTitleWithMode, {"%s"}),
            "Программа обработки сигналов: %s []");
}

}  // namespace
}  // namespace kalvex

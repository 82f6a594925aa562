// Start-up language selection against real module files.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "platform/LanguageModule.h"
#include "support/QtApplication.h"
#include "shell/LanguageSelection.h"
#include "shell/MemorySettingsStore.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

class LanguageModuleTest : public ::testing::Test {
 protected:
  void TearDown() override { Texts().Reset(); }

  QString WriteModule(const QString& code, const QByteArray& content) {
    QString path = dir_.path() + "/kalvex." + code;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
  }
  QString Executable() const { return dir_.path() + "/kalvex"; }

  QTemporaryDir dir_;
};

TEST_F(LanguageModuleTest, ModuleBesideTheExecutableReplacesTheTextsItNames) {
  WriteModule("ENU", "# English\nBadFileSize=Invalid file size\nNoSuchKey=ignored\n");
  EXPECT_TRUE(SelectLanguage(Executable(), "ENU"));
  EXPECT_EQ(Text(TextId::BadFileSize), "Invalid file size");
  EXPECT_EQ(Text(TextId::ZeroSampleCount), "Количество отсчетов равно 0");
}

TEST_F(LanguageModuleTest, RusAndMissingModulesKeepTheBuiltInTexts) {
  WriteModule("RUS", "BadFileSize=should not load\n");
  EXPECT_FALSE(SelectLanguage(Executable(), "RUS"));
#ifndef _WIN32
  // Lower-case "rus" is another code: its module is looked for, and is missing
  // (Windows, whose names ignore case, finds the "RUS" file for it).
  EXPECT_FALSE(SelectLanguage(Executable(), "rus"));
#endif
  EXPECT_FALSE(SelectLanguage(Executable(), "ENU"));
  EXPECT_EQ(Text(TextId::BadFileSize), "Неверный размер файла");
}

TEST_F(LanguageModuleTest, BuiltEnglishModuleBesideEachProgramGivesEnglishTexts) {
  for (const char* program : {KALVEX_DESKTOP_PROGRAM, KALVEX_CLI_PROGRAM}) {
    SCOPED_TRACE(program);
    Texts().Reset();
    EXPECT_TRUE(SelectLanguage(program, "ENU"));
    EXPECT_EQ(Text(TextId::MenuFile), "File");
    EXPECT_EQ(Text(TextId::DialogCancel), "Cancel");
    EXPECT_EQ(FormatText(TextId::ProgramTitleWithMode, {"Quorimeter", "Velnarund"}),
              "Signal Processing Program: Quorimeter [Velnarund]");
  }
}

TEST_F(LanguageModuleTest, StoredCodeDefaultsToRus) {
  MemorySettingsStore store;
  EXPECT_EQ(StoredLanguageCode(store), "RUS");
  store.Write("language", "ENU");
  EXPECT_EQ(StoredLanguageCode(store), "ENU");
}

TEST(LanguageModulePath, ReplacesTheExtensionOrAppendsOne) {
  EXPECT_EQ(LanguageModulePath("C:\\Kalvex\\Kalvex.exe", "ENU"), "C:\\Kalvex\\Kalvex.ENU");
  EXPECT_EQ(LanguageModulePath("/opt/kalvex/kalvex", "ENU"), "/opt/kalvex/kalvex.ENU");
  EXPECT_EQ(LanguageModulePath("/opt/k.v2/kalvex", "rus"), "/opt/k.v2/kalvex.rus");
}

// Regression: the file dialogs said "Look in" and "Cancel" in the Russian
// program.
TEST(ToolkitTranslationsTest, RussianUnlessEnglishIsInForce) {
  test::EnsureApplication();
  const auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
  ASSERT_TRUE(InstallToolkitTranslations(false));
  EXPECT_NE(lookIn(), "Look in:");
  EXPECT_TRUE(InstallToolkitTranslations(true));
  EXPECT_EQ(lookIn(), "Look in:");
}

}  // namespace
}  // namespace kalvex

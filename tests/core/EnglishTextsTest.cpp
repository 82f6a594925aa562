// The English text set (lang/ENU.txt, installed beside the programs as
// "<program>.ENU"): one line for every text of the catalogue, with the same
// inserted values as the Russian text, in English.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shell/TextCatalogue.h"
#include "support/EnglishTexts.h"

namespace kalvex {
namespace {

// Names that stay as they are in every language although they hold Cyrillic
// letters: the equipment's own designation, as marked on the unit.
constexpr std::string_view kNamesKeptAsTheyAre[] = {"EquipmentNotebookMarlo",
                                                    "EquipmentMarloLabel"};

using test::ReadEnglishModule;

struct ModuleLine {
  int number;
  std::string_view text;
  std::string_view key;  // empty for a line without "="
};

// The module's text lines as the catalogue reads them: blank lines and
// '#' comments skipped, the key up to the first "=".
std::vector<ModuleLine> TextLines(std::string_view module) {
  std::vector<ModuleLine> lines;
  int number = 0;
  while (!module.empty()) {
    ++number;
    const std::size_t end = module.find('\n');
    std::string_view line = module.substr(0, end);
    module = end == std::string_view::npos ? std::string_view{} : module.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t eq = line.find('=');
    lines.push_back(
        {number, line, eq == std::string_view::npos ? std::string_view{} : line.substr(0, eq)});
  }
  return lines;
}

std::map<std::string_view, TextId> CatalogueKeys() {
  std::map<std::string_view, TextId> keys;
  for (std::size_t i = 0; i < TextCount; ++i) {
    const auto id = static_cast<TextId>(i);
    keys.emplace(TextCatalogue::Key(id), id);
  }
  return keys;
}

// The "%s"/"%d" marks in order, read as FormatText reads them.
std::string Placeholders(std::string_view text) {
  std::string marks;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && (text[i + 1] == 's' || text[i + 1] == 'd')) {
      marks += text[i + 1];
      ++i;
    }
  }
  return marks;
}

// Decodes UTF-8; false on a malformed sequence. Collects whether any code
// point is a Cyrillic letter (U+0400..U+052F).
bool DecodeUtf8(std::string_view text, bool& hasCyrillic) {
  hasCyrillic = false;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    const int extra = lead < 0x80             ? 0
                      : (lead & 0xE0) == 0xC0 ? 1
                      : (lead & 0xF0) == 0xE0 ? 2
                      : (lead & 0xF8) == 0xF0 ? 3
                                              : -1;
    if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra)) return false;
    std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp >= 0x400 && cp <= 0x52F) hasCyrillic = true;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

bool HasCyrillic(std::string_view text) {
  bool cyrillic = false;
  DecodeUtf8(text, cyrillic);
  return cyrillic;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

TextCatalogue EnglishCatalogue() {
  TextCatalogue english;
  english.ApplyModule(ReadEnglishModule());
  return english;
}

TEST(EnglishTextsTest, EveryCatalogueTextHasExactlyOneEnglishLine) {
  const std::string module = ReadEnglishModule();
  const auto keys = CatalogueKeys();
  std::map<std::string_view, int> seen;
  std::vector<std::string> unknown, duplicated, malformed, missing;
  for (const ModuleLine& line : TextLines(module)) {
    if (line.key.empty()) {
      malformed.push_back("line " + std::to_string(line.number) + " \"" + std::string(line.text) +
                          "\"");
    } else if (!keys.count(line.key)) {
      unknown.push_back(std::string(line.key) + " (line " + std::to_string(line.number) + ")");
    } else if (++seen[line.key] == 2) {
      duplicated.push_back(std::string(line.key));
    }
  }
  for (const auto& [key, id] : keys)
    if (!seen.count(key)) missing.push_back(std::string(key));

  EXPECT_TRUE(missing.empty()) << "texts without an English line: " << Join(missing);
  EXPECT_TRUE(unknown.empty()) << "lines naming no text of the catalogue: " << Join(unknown);
  EXPECT_TRUE(duplicated.empty()) << "texts named more than once: " << Join(duplicated);
  EXPECT_TRUE(malformed.empty()) << "lines without \"Key=\": " << Join(malformed);

  // The loader itself agrees: the module replaces every text, once.
  TextCatalogue english;
  EXPECT_EQ(english.ApplyModule(module), TextCount);
}

TEST(EnglishTextsTest, EnglishTextsKeepInsertedValuesAndJoiningSpaces) {
  const TextCatalogue english = EnglishCatalogue();
  for (std::size_t i = 0; i < TextCount; ++i) {
    const auto id = static_cast<TextId>(i);
    const std::string& russian = TextCatalogue::BuiltIn(id);
    const std::string& text = english.Get(id);
    const std::string_view key = TextCatalogue::Key(id);
    EXPECT_EQ(Placeholders(text), Placeholders(russian))
        << key << ": \"" << text << "\" inserts other values than \"" << russian << "\"";
    if (russian.empty()) continue;
    EXPECT_FALSE(text.empty()) << key << " is empty";
    if (text.empty()) continue;
    // Texts joined to a port name or an error code keep the space that
    // separates them (an editor that trims line ends would lose it).
    EXPECT_EQ(IsSpace(text.front()), IsSpace(russian.front())) << key << ": \"" << text << "\"";
    EXPECT_EQ(IsSpace(text.back()), IsSpace(russian.back())) << key << ": \"" << text << "\"";
  }
}

TEST(EnglishTextsTest, EnglishTextsHoldNoRussianAndKeepTheEnglishOnes) {
  const std::string module = ReadEnglishModule();
  bool cyrillicAnywhere = false;
  EXPECT_TRUE(DecodeUtf8(module, cyrillicAnywhere)) << "the module is not valid UTF-8";

  const auto keys = CatalogueKeys();
  for (std::string_view kept : kNamesKeptAsTheyAre)
    EXPECT_TRUE(keys.count(kept)) << kept << " is allowed to stay Russian but is no text";

  const TextCatalogue english = EnglishCatalogue();
  std::vector<std::string> untranslated, changed;
  for (std::size_t i = 0; i < TextCount; ++i) {
    const auto id = static_cast<TextId>(i);
    const std::string_view key = TextCatalogue::Key(id);
    const std::string& russian = TextCatalogue::BuiltIn(id);
    const std::string& text = english.Get(id);
    const bool kept = std::find(std::begin(kNamesKeptAsTheyAre), std::end(kNamesKeptAsTheyAre),
                                key) != std::end(kNamesKeptAsTheyAre);
    if (HasCyrillic(text) && !kept) untranslated.push_back(std::string(key) + "=" + text);
    // Captions, unit and option names that are English already read the
    // same in both text sets, as the reports and the help name them.
    if (!HasCyrillic(russian) && text != russian)
      changed.push_back(std::string(key) + "=" + text + " (built-in \"" + russian + "\")");
  }
  EXPECT_TRUE(untranslated.empty()) << "texts still in Russian: " << Join(untranslated);
  EXPECT_TRUE(changed.empty()) << "English built-in texts changed: " << Join(changed);

  EXPECT_EQ(english.Get(TextId::MenuFile), "File");
  EXPECT_EQ(english.Get(TextId::DialogYes), "OK");
  EXPECT_EQ(english.Get(TextId::DialogCancel), "Cancel");
}

}  // namespace
}  // namespace kalvex

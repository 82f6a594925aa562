#pragma once
// The English language module of the source tree, for tests that read the
// system's texts as an English user sees them.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "shell/TextCatalogue.h"

namespace kalvex::test {

inline std::string ReadEnglishModule() {
  std::ifstream in(KALVEX_ENGLISH_TEXTS, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << KALVEX_ENGLISH_TEXTS;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The English texts in force while the scope lasts, the built-in ones after.
struct EnglishTexts {
  EnglishTexts() { Texts().ApplyModule(ReadEnglishModule()); }
  ~EnglishTexts() { Texts().Reset(); }
};

}  // namespace kalvex::test

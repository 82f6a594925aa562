#pragma once
// Texts inside recording files are in the Russian Windows code page; in
// memory they are UTF-8. Conversion happens at the file boundary only.

#include <cstddef>
#include <string>
#include <string_view>

namespace kalvex {

std::string Cp1251ToUtf8(std::string_view bytes);
// Characters the code page lacks become '?'.
std::string Utf8ToCp1251(std::string_view text);

// Length and prefix of a UTF-8 text counted in characters (limits such as the
// 96-character comment count characters, not bytes).
std::size_t Utf8Length(std::string_view text);
std::string Utf8Prefix(std::string_view text, std::size_t chars);

// The text with every malformed UTF-8 byte replaced by U+FFFD, for text that
// claims to be UTF-8 but comes from outside.
std::string ValidUtf8(std::string_view text);

// Drops the UTF-8 byte-order mark a text editor puts at the start of a file
// saved as UTF-8; true when there was one (the text is then UTF-8).
bool DropUtf8Mark(std::string_view& text);

}  // namespace kalvex

#pragma once
// Reading the model list files: one entry per line, "N.name;values;note".
// Pure: bytes in, entries out; a line that does not read is skipped and the
// rest of the file is still read.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "recordings/ModelListEntries.h"

namespace kalvex {

// One line (UTF-8, without its line end) of a list of that kind, or nothing
// when the line is skipped:
// - the text before the first "." is the Number (a decimal integer);
// - the name runs from there to the first ";";
// - the rest is cut to 100 characters (in the source list the part after
//   the reaction-mass weight to 300) and split at ";" into the value fields;
//   every value field but the last needs its closing ";", and the text after
//   the last field's ";" is the note (empty without that ";"), cut to 63
//   characters;
// - every value field must convert (ParseModelValue).
std::optional<ModelEntry> ReadModelLine(std::string_view line, ModelListKind kind);

// A whole list file, line by line. The file is in Windows-1251; a file that
// starts with the UTF-8 byte-order mark is read as UTF-8 without the mark.
// Lines end with CR LF, LF or CR; the last line needs no line end.
std::vector<ModelEntry> ReadModelListFile(std::span<const std::uint8_t> bytes, ModelListKind kind);

}  // namespace kalvex

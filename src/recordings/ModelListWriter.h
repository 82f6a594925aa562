#pragma once
// Writing a model list file: one line per entry in list order,
// "N.name;values;note" and CR LF, in Windows-1251. Pure: a list in, bytes out.

#include <cstdint>
#include <string>
#include <vector>

#include "recordings/ModelListEntries.h"

namespace kalvex {

// The line of one entry without its line end (UTF-8): N is the entry's
// position in the list, except in the accelerometer list, which writes the
// entry's Number. Integers in decimal, reals FormatNumber(x, 2).
std::string ModelLineText(const ModelEntry& entry, std::size_t position, ModelListKind kind);

// The whole file of the list of that kind.
std::vector<std::uint8_t> WriteModelListFile(const ModelLists& lists, ModelListKind kind);

}  // namespace kalvex

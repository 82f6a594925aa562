#include "recordings/ModelListWriter.h"

#include "recordings/Cp1251.h"

namespace kalvex {
namespace {

// A line break inside a name or note would split the entry into two lines
// that no longer read back: it is written as a blank.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

}  // namespace

std::string ModelLineText(const ModelEntry& entry, std::size_t position, ModelListKind kind) {
  const long long number =
      kind == ModelListKind::Acc ? entry.Number : static_cast<long long>(position);
  std::string line = std::to_string(number) + "." + OneLine(entry.Name) + ";";
  const std::span<const ModelValueType> types = ModelValueTypes(kind);
  for (std::size_t k = 0; k < types.size(); ++k)
    line += ModelValueText(types[k], entry.Values.at(k)) + ";";
  return line + OneLine(entry.Note);
}

std::vector<std::uint8_t> WriteModelListFile(const ModelLists& lists, ModelListKind kind) {
  std::string text;
  const std::vector<ModelEntry> entries = EntriesOf(lists, kind);
  for (std::size_t i = 0; i < entries.size(); ++i)
    text += Utf8ToCp1251(ModelLineText(entries[i], i, kind)) + "\r\n";
  return {text.begin(), text.end()};
}

}  // namespace kalvex

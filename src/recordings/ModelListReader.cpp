#include "recordings/ModelListReader.h"

#include <string>

#include "recordings/Cp1251.h"

namespace kalvex {
namespace {

constexpr std::size_t kRestChars = 100;
constexpr std::size_t kSourceRestChars = 300;

// The text of the file in UTF-8.
std::string DecodeListFile(std::span<const std::uint8_t> bytes) {
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // A file saved by a text editor as UTF-8 starts with the mark; the program
  // itself never writes one, and in Windows-1251 the three bytes would only
  // make the first line's number unreadable.
  if (DropUtf8Mark(raw)) return ValidUtf8(raw);
  return Cp1251ToUtf8(raw);
}

}  // namespace

std::optional<ModelEntry> ReadModelLine(std::string_view line, ModelListKind kind) {
  const std::size_t dot = line.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  double number = 0;
  if (!ParseModelValue(ModelValueType::Integer, line.substr(0, dot), number)) return std::nullopt;
  const std::size_t nameEnd = line.find(';', dot + 1);
  if (nameEnd == std::string_view::npos) return std::nullopt;

  const std::span<const ModelValueType> types = ModelValueTypes(kind);
  std::vector<std::string_view> fields;
  std::string_view rest = line.substr(nameEnd + 1);
  std::string cut;
  if (kind == ModelListKind::Source) {
    // The reaction-mass weight is read whole; what follows it is cut.
    const std::size_t end = rest.find(';');
    if (end == std::string_view::npos) return std::nullopt;
    fields.push_back(rest.substr(0, end));
    cut = Utf8Prefix(rest.substr(end + 1), kSourceRestChars);
  } else {
    cut = Utf8Prefix(rest, kRestChars);
  }
  rest = cut;

  std::string_view note;
  while (fields.size() < types.size()) {
    const std::size_t end = rest.find(';');
    if (end == std::string_view::npos) {
      // Only the last value field may go without its closing ";"; the note
      // is then empty.
      if (fields.size() + 1 != types.size()) return std::nullopt;
      fields.push_back(rest);
      rest = {};
      break;
    }
    fields.push_back(rest.substr(0, end));
    rest = rest.substr(end + 1);
  }
  note = rest;

  ModelEntry entry;
  entry.Number = static_cast<std::int32_t>(number);
  entry.Name = std::string(line.substr(dot + 1, nameEnd - dot - 1));
  entry.Values.resize(types.size());
  for (std::size_t k = 0; k < types.size(); ++k)
    if (!ParseModelValue(types[k], fields[k], entry.Values[k])) return std::nullopt;
  entry.Note = Utf8Prefix(note, ModelNoteMaxChars);
  return entry;
}

std::vector<ModelEntry> ReadModelListFile(std::span<const std::uint8_t> bytes, ModelListKind kind) {
  const std::string text = DecodeListFile(bytes);
  std::vector<ModelEntry> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (auto entry = ReadModelLine(std::string_view(text).substr(start, end - start), kind))
      entries.push_back(std::move(*entry));
    // CR LF is one line end; a lone CR or LF ends a line too.
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n')
      ++start;
  }
  return entries;
}

}  // namespace kalvex

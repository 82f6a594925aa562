#include "recordings/ModelListEntries.h"

#include <charconv>
#include <string>
#include <system_error>

#include "recordings/FormatNumber.h"
#include "recordings/NoValue.h"
#include "shell/DecimalText.h"

namespace kalvex {
namespace {

using enum ModelValueType;

constexpr ModelValueType kVibTypes[] = {Integer, Integer, Integer};
constexpr ModelValueType kAccTypes[] = {Real, Integer};
constexpr ModelValueType kControlTypes[] = {Real, Real};
constexpr ModelValueType kSourceTypes[] = {Integer, Integer, Real, Real, Real, Real, Real};

template <typename Model>
ModelEntry EntryOf(const Model& m, std::vector<double> values) {
  return {m.Name, std::move(values), m.Note, m.Number};
}

template <typename Model>
void SetCommon(Model& m, const ModelEntry& e) {
  m.Name = e.Name;
  m.Note = e.Note;
  m.Number = e.Number;
}

std::int32_t IntegerOf(double value) {
  return static_cast<std::int32_t>(value);
}

bool ParseInteger(std::string_view text, double& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  // from_chars takes a '-' itself; a '+' is allowed once, before the digits.
  if (first != last && *first == '+') ++first;
  if (first == last || *first == '+' || (first != text.data() && *first == '-')) return false;
  std::int32_t parsed = 0;
  auto [end, ec] = std::from_chars(first, last, parsed);
  if (ec != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

}  // namespace

std::span<const ModelValueType> ModelValueTypes(ModelListKind kind) {
  switch (kind) {
    case ModelListKind::Vib:
      return kVibTypes;
    case ModelListKind::Acc:
      return kAccTypes;
    case ModelListKind::Control:
      return kControlTypes;
    case ModelListKind::Source:
      break;
  }
  return kSourceTypes;
}

std::vector<ModelEntry> EntriesOf(const ModelLists& lists, ModelListKind kind) {
  std::vector<ModelEntry> entries;
  switch (kind) {
    case ModelListKind::Vib:
      for (const VibModel& m : lists.Vib)
        entries.push_back(EntryOf(m, {double(m.HoldDownWeight), double(m.ReactionMassWeight),
                                      double(m.BaseplateWeight)}));
      break;
    case ModelListKind::Acc:
      for (const AccModel& m : lists.Acc)
        entries.push_back(EntryOf(m, {m.Sensitivity, double(m.DelayCode)}));
      break;
    case ModelListKind::Control:
      for (const ControlModel& m : lists.Control)
        entries.push_back(EntryOf(m, {m.Current, m.TestOut}));
      break;
    case ModelListKind::Source:
      for (const SourceModel& m : lists.Source)
        entries.push_back(EntryOf(m, {double(m.ReactionMassWeight), double(m.BaseplateWeight),
                                      m.AccRM, m.AccBP, m.Voltage, m.Current, m.Sensor}));
      break;
  }
  return entries;
}

void ReplaceEntries(ModelLists& lists, ModelListKind kind, const std::vector<ModelEntry>& entries) {
  switch (kind) {
    case ModelListKind::Vib:
      lists.Vib.clear();
      for (const ModelEntry& e : entries) {
        VibModel& m = lists.Vib.emplace_back();
        SetCommon(m, e);
        m.HoldDownWeight = IntegerOf(e.Values.at(0));
        m.ReactionMassWeight = IntegerOf(e.Values.at(1));
        m.BaseplateWeight = IntegerOf(e.Values.at(2));
      }
      break;
    case ModelListKind::Acc:
      lists.Acc.clear();
      for (const ModelEntry& e : entries) {
        AccModel& m = lists.Acc.emplace_back();
        SetCommon(m, e);
        m.Sensitivity = e.Values.at(0);
        m.DelayCode = IntegerOf(e.Values.at(1));
      }
      break;
    case ModelListKind::Control:
      lists.Control.clear();
      for (const ModelEntry& e : entries) {
        ControlModel& m = lists.Control.emplace_back();
        SetCommon(m, e);
        m.Current = e.Values.at(0);
        m.TestOut = e.Values.at(1);
      }
      break;
    case ModelListKind::Source:
      lists.Source.clear();
      for (const ModelEntry& e : entries) {
        SourceModel& m = lists.Source.emplace_back();
        SetCommon(m, e);
        m.ReactionMassWeight = IntegerOf(e.Values.at(0));
        m.BaseplateWeight = IntegerOf(e.Values.at(1));
        m.AccRM = e.Values.at(2);
        m.AccBP = e.Values.at(3);
        m.Voltage = e.Values.at(4);
        m.Current = e.Values.at(5);
        m.Sensor = e.Values.at(6);
      }
      break;
  }
}

bool ParseModelValue(ModelValueType type, std::string_view text, double& value) {
  if (type == Integer) return ParseInteger(text, value);
  std::string point(text);
  if (const std::size_t comma = point.find(','); comma != std::string::npos) point[comma] = '.';
  double parsed = 0;
  // The marker of a value never entered would be written as an empty text,
  // which no later read accepts: it is not a model's value.
  if (!ParseDecimalText(point, parsed) || parsed == NoValue) return false;
  value = parsed;
  return true;
}

std::string ModelValueText(ModelValueType type, double value) {
  if (type == Integer) return std::to_string(IntegerOf(value));
  return FormatNumber(value, 2);
}

}  // namespace kalvex

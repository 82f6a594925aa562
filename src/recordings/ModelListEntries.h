#pragma once
// The four model lists seen alike: an entry as its name, its value fields in
// line order (integers and reals), its note and its number. The list files'
// reader and writer and the list dialogs work on this form, so that the rules
// they share are written once.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recordings/ModelLists.h"

namespace kalvex {

enum class ModelValueType { Integer, Real };

struct ModelEntry {
  std::string Name;
  std::vector<double> Values;  // one per value field; integers are exact
  std::string Note;
  std::int32_t Number = 0;
};

// The value fields of a list in line order: vibrator HDW, RM, BP; accelerometer
// sensitivity, delay code; controller current, test output; source RM, BP,
// AccRM, AccBP, voltage, current, sensor.
std::span<const ModelValueType> ModelValueTypes(ModelListKind kind);

std::vector<ModelEntry> EntriesOf(const ModelLists& lists, ModelListKind kind);

// Replaces the whole list of that kind. Integer fields take the value as it
// is (callers hand in values that converted as 32-bit integers).
void ReplaceEntries(ModelLists& lists, ModelListKind kind, const std::vector<ModelEntry>& entries);

// A value field's text as the lists read it. Integers: an optional sign and
// decimal digits, within 32 bits. Reals: the first "," is read as ".", then a
// decimal number ("1,25" and "1.25" are 1.25). The whole text must be the
// number; blanks, infinities and "nan" are not numbers.
bool ParseModelValue(ModelValueType type, std::string_view text, double& value);

// A value as the lists show and write it: integers in decimal, reals with
// two decimals (FormatNumber(x, 2)).
std::string ModelValueText(ModelValueType type, double value);

}  // namespace kalvex

#include "shell/MemorySettingsStore.h"

#include <algorithm>

namespace kalvex {

bool SameValueName(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view name) {
  for (auto& v : values_)
    if (SameValueName(v.name, name)) return &v;
  return nullptr;
}

const MemorySettingsStore::Value* MemorySettingsStore::Find(std::string_view name) const {
  return const_cast<MemorySettingsStore*>(this)->Find(name);
}

StoredValue MemorySettingsStore::Read(std::string_view name) const {
  const Value* v = keyExists_ ? Find(name) : nullptr;
  return v ? v->value : StoredValue{};
}

bool MemorySettingsStore::Write(std::string_view name, std::string_view text) {
  for (const auto& f : failing_)
    if (SameValueName(f, name)) return false;
  keyExists_ = true;
  StoredValue value{StoredValue::State::Text, std::string(text)};
  if (Value* v = Find(name)) {
    v->value = value;
  } else {
    values_.push_back({std::string(name), value});
  }
  return true;
}

void MemorySettingsStore::PutNonText(std::string_view name) {
  Write(name, "");
  Find(name)->value = StoredValue{StoredValue::State::NotText, {}};
}

}  // namespace kalvex

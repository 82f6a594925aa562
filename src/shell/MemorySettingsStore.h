#pragma once
// A settings store held in memory: for tests and for programs that must not
// touch the operator's stored settings.

#include <string>
#include <utility>
#include <vector>

#include "shell/SettingsStore.h"

namespace kalvex {

class MemorySettingsStore : public SettingsStore {
 public:
  bool KeyExists() const override { return keyExists_; }
  StoredValue Read(std::string_view name) const override;
  bool Write(std::string_view name, std::string_view text) override;

  // Test hooks: a value that is present but not text, and failing writes.
  void PutNonText(std::string_view name);
  void FailWritesOf(std::string_view name) { failing_.emplace_back(name); }

 private:
  struct Value {
    std::string name;
    StoredValue value;
  };
  Value* Find(std::string_view name);
  const Value* Find(std::string_view name) const;

  bool keyExists_ = false;
  std::vector<Value> values_;
  std::vector<std::string> failing_;
};

}  // namespace kalvex

#pragma once
// Per-user store of string values under the key "SOFTWARE/Crelvantis/Kalvex".
// Value names are matched without regard to case; every value is a string.
// Used on the user-interface thread only.

#include <string>
#include <string_view>

namespace kalvex {

struct StoredValue {
  enum class State { Missing, NotText, Text };
  State state = State::Missing;
  std::string text;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Whether the key exists; reading never creates it.
  virtual bool KeyExists() const = 0;

  // One value, by name; Missing when the key or the value does not exist.
  virtual StoredValue Read(std::string_view name) const = 0;

  // Writes one value, creating the key when needed. False when the write
  // failed; a failed write changes nothing else.
  virtual bool Write(std::string_view name, std::string_view text) = 0;
};

// Case-insensitive comparison of value names (ASCII letters).
bool SameValueName(std::string_view a, std::string_view b);

}  // namespace kalvex

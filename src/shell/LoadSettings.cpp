#include <charconv>

#include "shell/ProgramSettings.h"
#include "shell/SettingsStore.h"

namespace kalvex {

bool ParseStoredInteger(const std::string& text, int& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  // One optional sign: from_chars takes a '-' itself, so a '+' may not be
  // followed by another sign.
  if (first != last && *first == '+') ++first;
  if (first == last || (first != text.data() && *first == '-')) return false;
  int parsed = 0;
  auto [end, ec] = std::from_chars(first, last, parsed);
  if (ec != std::errc() || end != last) return false;
  value = parsed;
  return true;
}

namespace {

int ReadInteger(const SettingsStore& store, const char* name, int fallback) {
  StoredValue v = store.Read(name);
  int value = fallback;
  if (v.state != StoredValue::State::Text || !ParseStoredInteger(v.text, value)) return fallback;
  return value;
}

}  // namespace

void LoadSettings(ProgramSettings& settings, const SettingsStore& store) {
  if (!store.KeyExists()) return;
  const ProgramSettings defaults;
  settings.MinSpectrum = ReadInteger(store, settings_names::MinSpectrum, defaults.MinSpectrum);
  settings.MinCorrelation =
      ReadInteger(store, settings_names::MinCorrelation, defaults.MinCorrelation);
  settings.AmplitudeFrame =
      ReadInteger(store, settings_names::AmplitudeFrame, defaults.AmplitudeFrame);
  settings.AmplitudeStep =
      ReadInteger(store, settings_names::AmplitudeStep, defaults.AmplitudeStep);
  if (!FrameLengthValid(settings.AmplitudeFrame)) settings.AmplitudeFrame = defaults.AmplitudeFrame;
  if (!FrameLengthValid(settings.AmplitudeStep)) settings.AmplitudeStep = defaults.AmplitudeStep;
  settings.Timeout1 = ReadInteger(store, settings_names::Timeout1, defaults.Timeout1);
  settings.Timeout2 = ReadInteger(store, settings_names::Timeout2, defaults.Timeout2);

  // Only the first character of "Confirm" counts; a value that is not text
  // reads as "N", a missing one as empty text (so the question is asked).
  StoredValue confirm = store.Read(settings_names::Confirm);
  std::string kept;
  if (confirm.state == StoredValue::State::NotText) {
    kept = "N";
  } else if (confirm.state == StoredValue::State::Text) {
    kept = confirm.text.substr(0, 1);
  }
  settings.NoSaveConfirmation = kept == "N";
}

const char* InputSizeName(FundamentalInputSize size) {
  switch (size) {
    case FundamentalInputSize::Fixed32768:
      return "32768";
    case FundamentalInputSize::WholeSignal:
      return "signal";
    case FundamentalInputSize::NearestPowerOfTwo:
      break;
  }
  return "nearest";
}

}  // namespace kalvex

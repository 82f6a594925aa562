#pragma once
// The graph types (codes stored in each window; not the menu positions) and
// the map between the "Графики" menu tags and the codes.

#include <cstdint>
#include <string_view>

namespace kalvex {

enum GraphType : std::uint8_t {
  NoGraphType = 0,
  SignalTraces = 1,
  Amplitude = 2,
  Phase = 3,
  Distortion = 4,
  Harmonics = 5,
  Spectrum = 6,
  Correlation = 7,
  FrequencyVsTime = 8,
  Ground = 9,
  Power = 10,
  AccCompare = 11,
  Servo = 12,
  Actuator = 13,
  IntervalSpectrum = 14,
};

// Menu tag 1..13 → type code; 0 for any other tag (tag 14 has no action).
int GraphTypeOfMenuTag(int tag);
// Type code → the tag of its menu item; 0 when the type has none.
int MenuTagOfGraphType(int type);

// Types 4, 6 and 14 have a frequency axis; all others a time axis.
bool IsFrequencyDomain(int type);
// "Hz" or "sec".
std::string_view AxisUnitWord(int type);
// The type's name as the menu and the command line spell it ("Signal Traces"
// and "SignalTraces" alike); empty for code 0 and unknown codes.
std::string_view GraphTypeName(int type);

}  // namespace kalvex

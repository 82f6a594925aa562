#pragma once
// What a recording file's header can hold for each test parameter, in its
// 32-bit floats (weights in pounds). One rule for both sides: the reader
// refuses any other value, and the parameter checks refuse a value that would
// not read back, so what the program writes it can always read.

#include <cstdint>
#include <optional>

namespace kalvex::stored {

// A parameter as the writer puts it into the header: the nearest float, and
// beyond the float range (the NoValue marker among them) an infinity.
float AsFloat(double value);
// A weight in kg as the header holds it, in pounds.
float WeightAsFloat(std::int32_t kg);

// A weight read in pounds, rounded to whole kg (ties to even); none when it
// does not round into 1..INT32_MAX or is not a number.
std::optional<std::int32_t> WeightKg(float pounds);
// Sensitivities, the servo current factor and TestOut: finite and above 0.
bool Positive(float value);
// The trigger level: finite and below 10 V either way.
bool TriggerLevel(float volts);
// The source factors: strictly between 0 and 100.
bool SourceFactor(float value);

}  // namespace kalvex::stored

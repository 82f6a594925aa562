#include "recordings/StoredValues.h"

#include <climits>
#include <cmath>
#include <limits>

#include "recordings/RecordingHeader.h"

namespace kalvex::stored {

float AsFloat(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  if (std::isfinite(value) && std::fabs(value) > kMax) return value > 0 ? kInf : -kInf;
  return static_cast<float>(value);
}

float WeightAsFloat(std::int32_t kg) {
  return AsFloat(static_cast<double>(kg / header::KgPerPound));
}

std::optional<std::int32_t> WeightKg(float pounds) {
  const long double kg = std::nearbyintl(static_cast<long double>(pounds) * header::KgPerPound);
  if (!(kg > 0) || kg > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(kg);
}

bool Positive(float value) {
  return std::isfinite(value) && value > 0;
}

bool TriggerLevel(float volts) {
  return std::fabs(volts) < 10;
}

bool SourceFactor(float value) {
  return value > 0 && value < 100;
}

}  // namespace kalvex::stored

#pragma once
// A snapshot of a recording kept for graph windows that accumulate several
// recordings: its name, comment and parameters, not its samples.

#include <cstdint>
#include <string>

#include "recordings/NoValue.h"

namespace kalvex {

class TNFile {
 public:
  std::int32_t RefCount = 0;  // curves of accumulating windows using it
  std::string Name;
  std::string Comment;
  std::int32_t HoldDownWeight = -1, BaseplateWeight = -1, ReactionMassWeight = -1;
  double BaseplateAccSensitivity = NoValue, MassAccSensitivity = NoValue;
  double ServoCurrentFactor = 0, SourceVoltageFactor = NoValue, SourceCurrentFactor = NoValue,
         SourceSensorFactor = NoValue, TestOut = 1.0;
  std::int32_t Number = 1;  // sequence number: "S1", "S2", ...
};

}  // namespace kalvex

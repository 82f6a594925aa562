#pragma once
// The long record the benchmarks run on: SweepLength 65 035 at 500 samples per
// second (the longest sweep a record can hold), every channel a sweep.

#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex::bench {

struct BenchRecording {
  explicit BenchRecording(int mode);
  TFrmFile rec;
  ProgramSettings settings;
  ProcessValues values;
};

}  // namespace kalvex::bench

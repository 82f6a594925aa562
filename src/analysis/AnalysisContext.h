#pragma once
// What every analysis reads besides the graph window: the current recording,
// the program settings and the process-wide values (sample rate index,
// channel offset).

namespace kalvex {

class TFrmFile;
struct ProgramSettings;
struct ProcessValues;

struct AnalysisContext {
  TFrmFile& rec;
  const ProgramSettings& settings;
  const ProcessValues& values;
};

}  // namespace kalvex

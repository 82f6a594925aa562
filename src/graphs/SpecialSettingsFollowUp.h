#pragma once
// What the program does once the "Специальные настройки" dialog's values are
// accepted: the recording's derived values, its frame tables and every graph
// window follow the new frame, step, input size and coefficients.

#include <functional>

#include "shell/SpecialSettingsDialog.h"

namespace kalvex {

class TFrmFile;
struct ProcessValues;
struct SettingsWindowSteps;

// Recomputes the recording's derived values under the given settings.
using DerivedValuesRecompute =
    std::function<void(TFrmFile&, const ProgramSettings&, const ProcessValues&)>;

// What follows an accepted dialog. When the frame, the step, the input size or
// a coefficient changed, the recording's derived values are first recomputed
// under the old settings; then the record takes every new value and the
// derived values are recomputed under it (always). When the recording holds
// data, its frame analysis cache is dropped, the graph windows' data are
// reset, channel 0's fundamental-amplitude table is made again with the new
// frame and step (sweep samples / step frames) and every graph window is
// redrawn. `recompute` is the recording model's RecomputeDerivedValues unless
// a caller needs to watch it.
void ApplySpecialSettings(const SpecialSettings& accepted, ProgramSettings& settings, TFrmFile& rec,
                          const ProcessValues& values, const SettingsWindowSteps& steps,
                          const DerivedValuesRecompute& recompute = {});

}  // namespace kalvex

#pragma once
// The recording of a vibrator test made from the model, as the synthetic
// signal makes its own: the same parameter checks, lengths and "Rec_" name.

#include <cstdint>

#include "VibratorModel.h"

namespace kalvex {
class TFrmFile;
class UserInteraction;
struct LocalDateTime;
struct ProcessValues;
struct ProgramSettings;
}  // namespace kalvex

namespace kalvex::vibmodel {

// Fills the recording's channels for its mode from the model, with the
// recording's rate, sweep seconds, weights, sensitivities and similarity
// channels, then computes the derived channel. False (after the refusal is
// shown) when the parameters are incomplete, the record would not fit, or a
// fault names a channel the mode lacks.
bool GenerateModelRecord(TFrmFile& rec, const ProcessValues& values,
                         const ProgramSettings& settings, const LocalDateTime& now,
                         UserInteraction& ui, const Sweep& sweep, const Faults& faults,
                         std::uint64_t seed);

}  // namespace kalvex::vibmodel

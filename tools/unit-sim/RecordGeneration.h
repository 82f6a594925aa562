#pragma once
// What the unit sends back: the record header and the data block of the
// synthetic test signal, or of a faulty vibrator, as the unit puts it on the
// line.

#include <array>
#include <cstdint>
#include <vector>

#include "CommandDecoding.h"
#include "VibratorModel.h"

namespace kalvex::unitsim {

// Channels on the line: six for modes 0..2 (whatever the block's channel
// count), three for "Dodida", two for "Ombrel16".
int WireChannelCount(int mode);

// The synthetic channel sent in wire position `position`. The unit sends
// "Dodida" as REF, BP, RM: synthetic channel 2 goes second and channel 1
// third (the program swaps them back).
int SyntheticChannelAt(int mode, int position);

// Three bytes the program shows but does not interpret: 1, k and the mode.
std::array<std::uint8_t, 3> RecordHeaderFor(const RecordRequest& request);

// The data block: for each sample, each wire channel's value as signed 16-bit
// big-endian; over the sweep (record length - 500 samples) the synthetic
// signal of polarity "Positive" with every channel but the reference negated
// (16-bit two's complement), as a healthy unit sends it, so that a record
// taken with polarity "Positive" holds that signal; zeros after the sweep.
// With `faults` the record of polarity "Positive" is instead the vibrator
// model's with those faults (see VibratorRecord), sent the same way.
std::vector<std::uint8_t> DataBlockFor(const RecordRequest& request,
                                       const vibmodel::Faults* faults = nullptr);

// The model's vibrator for a request: the default weights and sensitivities
// of a parameter set, in "Similarity" a vibrator on each of the five slots.
vibmodel::VibratorSetup VibratorRecord(const RecordRequest& request,
                                       const vibmodel::Faults& faults);

}  // namespace kalvex::unitsim

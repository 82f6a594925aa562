#pragma once
// The synthetic test signal: a reference sweep and response channels with
// known amplitude envelopes, phase drifts and harmonic content, filling the
// current recording instead of a record from the unit.

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct LocalDateTime;
struct ProcessValues;
struct ProgramSettings;

// Fills the recording's channels for its mode from the parameters (sample
// rate index, sweep seconds, polarity), names it "Rec_" + the time text, and
// computes the derived channel. False (after the refusal is shown) when the
// parameters are not all entered or the record would exceed 65 535 samples.
bool GenerateSyntheticRecord(TFrmFile& rec, const ProcessValues& values,
                             const ProgramSettings& settings, const LocalDateTime& now,
                             UserInteraction& ui);

// Channel `channel` of a mode's synthetic record at sample i of a sweep of n
// samples at fs samples per second; `sign` is +1 for polarity "Positive".
// Before rounding.
double SyntheticSample(int mode, int channel, int i, int n, int fs, int sign);

}  // namespace kalvex

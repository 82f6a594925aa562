#pragma once
// Values computed from the recording's samples and parameters: the derived
// channel (ground force, or the average of chosen similarity channels) and the
// amplitude normalisation.

namespace kalvex {

class TFrmFile;
struct ProcessValues;
struct ProgramSettings;

// Ground force in kgf from the RM and BP channels (modes 0, 1, 3); nothing in
// modes 2 and 4. Then scans the derived channel's range over the sweep.
void ComputeDerivedChannel(TFrmFile& rec, const ProgramSettings& settings);

// Mode 2: the average of the similarity channels chosen by bits 1..5 of the
// mask, each divided by its attenuation. A zero mask does nothing.
void ComputeAverageTrace(TFrmFile& rec, int mask);

// The divisor of fundamental-amplitude magnitudes, from the sweep seconds and
// the sample rate index; left unchanged when the sweep has 0 seconds.
void ComputeAmplitudeNorm(TFrmFile& rec, int sampleRateIndex);

// Whether the sample rate index lies in 0..4 and a sweep of `seconds` at its
// rate, with the 500 samples after it, fits the 16-bit record length.
bool RecordFits(int sampleRateIndex, long seconds);

// SampleRate = 500 · 2^index, SweepLength = seconds × SampleRate and
// RecordLength = SweepLength + 500 from the sweep seconds. False, with nothing
// changed, when the record does not fit (the lengths must never wrap).
bool SetRecordLengths(TFrmFile& rec, int sampleRateIndex);

// The recording's derived values under `settings`: the ground-force channel
// (its calibration coefficients may have changed) and the amplitude
// normalisation. A recording without data keeps its derived channel as it is.
void RecomputeDerivedValues(TFrmFile& rec, const ProgramSettings& settings,
                            const ProcessValues& values);

}  // namespace kalvex

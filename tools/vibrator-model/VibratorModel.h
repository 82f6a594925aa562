#pragma once
// A small model of a vibrator under test: every channel a recording of each
// mode holds while the vibrator sweeps against the reference, and the faults
// a field test is there to find. The ground force (the weighted sum of the
// reaction-mass and baseplate accelerations, as the program computes it)
// follows REF with a few degrees of phase error and a few percent of
// harmonics; the baseplate moves as a plate on a spring-damper ground; every
// channel but REF carries sensor noise from the model's own generator, so the
// same setup gives the same samples on every run and platform. Used by the
// sample writer and the unit simulator; not part of the program.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvex::vibmodel {

// A linear sweep from startHz to endHz with raised-cosine ramps of
// taperSeconds at both ends (the synthetic signal's sweep by default).
struct Sweep {
  double startHz = 10;
  double endHz = 110;
  double taperSeconds = 0.5;
};

// What is wrong with the vibrator; the defaults describe a healthy one.
// Phase and distortion faults act on the vibrator's ground force (in
// "Similarity" on every vibrator of the record); the others on one
// recorded channel, numbered as the program numbers the mode's channels.
struct Faults {
  double phaseError = 0;   // degrees, as the Phase graph shows the ground force against REF
  double phaseDrift = 0;   // degrees added from 0 at the sweep's start to this at its end
  double distortion = -1;  // percent, harmonics 2..5 together; < 0: the vibrator's own
  int polarityFlip = -1;   // channel recorded with its sign reversed; -1: none
  double clip = 0;         // fraction of full scale at which the channels but REF clip; 0: none
  int deadChannel = -1;    // channel that carries only its sensor's noise; -1: none
};

// The vibrator, its sensors and the record asked for. Weights and
// sensitivities are the recording's: the program's ground force from the
// model's accelerations is then the model's ground force.
struct VibratorSetup {
  int mode = 3;
  int sampleRate = 1000;
  int sweepLength = 8000;  // samples
  Sweep sweep;
  double holdDownKg = 20000;
  double reactionMassKg = 4000;
  double baseplateKg = 1800;
  double massAccSensitivity = 100;       // mV/g
  double baseplateAccSensitivity = 100;  // mV/g
  double testOut = 1;                    // "Similarity": the test output factor
  std::array<bool, 6> present{};         // "Similarity": slots 1..5 with a vibrator
  std::array<bool, 6> attenuated{};      // "Similarity": slots recorded through "x8"
  Faults faults;
  std::uint64_t seed = 1;  // the vibrator's small traits and its sensor noise
};

// Every channel of the mode in the recording's slot order (in "Dodida" REF,
// RM, BP), sweepLength samples each, in counts as the vibrator's sensors give
// them (a recording of polarity "Positive" holds channels 1.. reversed).
std::vector<std::vector<std::int16_t>> VibratorChannels(const VibratorSetup& setup);

// An empty text when the faults fit the mode, else what does not fit.
std::string CheckFaults(const Faults& faults, int mode);

// The command-line options of the faults, shared by the tools that make
// records: --phase-error DEG, --phase-drift DEG, --distortion PCT,
// --polarity-flip CH, --clip FRACTION, --dead-channel CH.
bool IsFaultOption(const std::string& name);
// Takes the option's value into `faults`; false with `error` set when the
// value is not usable.
bool ParseFaultOption(const std::string& name, const char* value, Faults& faults,
                      std::string& error);
// The options' lines for a usage text.
const char* FaultOptionsUsage();

}  // namespace kalvex::vibmodel

#pragma once
// The test parameters on the command line (synth, command-block, acquire):
// mode, sample rate index, seconds, weights, sensitivities, factors, trigger,
// polarity, comment and the similarity channels.

#include <set>
#include <string>

#include "CliArgs.h"

namespace kalvex {
class TFrmFile;
struct ProcessValues;
struct AcquisitionChoices;
}  // namespace kalvex

namespace kalvex::cli {

std::set<std::string> ParameterOptionNames(bool withTrigger);

// Sets the recording's mode and parameters and the process values from the
// options (defaults where absent).
void ApplyParameterOptions(const CliArgs& args, TFrmFile& rec, ProcessValues& values);

// The trigger, edge and delay code; the trigger channel is an index into the
// trigger list of the recording's mode (ApplyParameterOptions first).
void ApplyAcquisitionChoices(const CliArgs& args, const TFrmFile& rec, AcquisitionChoices& choices);

}  // namespace kalvex::cli

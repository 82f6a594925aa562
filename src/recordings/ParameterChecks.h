#pragma once
// Whether the recording's test parameters are complete and sensible, checked
// in a fixed order; the first failure is shown and ends the check.

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct ProcessValues;

// Before an acquisition or a synthetic record: every check, and SweepLength is
// set from the seconds and the sample rate.
bool ValidateParameters(TFrmFile& rec, const ProcessValues& values, UserInteraction& ui);

// Before a synthetic record: the parameter checks only, with "not entered"
// texts.
bool CheckParametersEntered(const TFrmFile& rec, UserInteraction& ui);

}  // namespace kalvex

#pragma once
// Measured FFT plans without making the user wait for them. A process plans
// the lengths that have no measured wisdom with the estimating planner; when
// it ends, it starts the program itself again, detached and at low priority,
// in a hidden mode that measures those lengths and adds them to the wisdom
// file, so that the next run plans them from that wisdom. The planner is not
// thread-safe and a long length takes seconds to measure: on a thread of the
// running process it would hold the planner lock the user-interface thread
// plans under.

#include <QStringList>
#include <optional>

namespace kalvex {

// The words that start the hidden mode for the lengths this process planned
// by estimate: "--measure-fft-wisdom [--lengths a,b,..] [--inverse c,..]";
// empty when none wants measuring.
QStringList FftWisdomMeasurementArguments();

// Starts this program in the hidden mode, detached, its standard channels
// on the null device; false when nothing wants measuring or it cannot start.
// Called before exit, after SaveFftWisdom.
bool StartFftWisdomMeasurement();

// Handles the hidden mode when the words ask for it, before the program
// makes its application object, and gives the exit code: the process lowers
// its priority, waits for any other measuring process to finish, then
// measures each length (forward and inverse as named) and merges the wisdom
// into the file. Each program's main() calls it first.
std::optional<int> MeasureFftWisdomIfAsked(int argc, char** argv);

}  // namespace kalvex

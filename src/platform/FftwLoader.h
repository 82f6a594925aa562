#pragma once
// Loads the FFT library at run time by its platform name ("libfftw3-3.dll" on
// Windows, "libfftw3.so.3" elsewhere), looks its entry points up by name and
// binds them to the core. Keeps the library's wisdom (its measured plans)
// between runs in the user's cache directory, so that planning costs its
// full price only once per machine (and that price is paid by a measuring
// process of its own, FftWisdomMeasurer.h).
//
// KALVEX_FFTW_WISDOM=PATH names another wisdom file (benchmarks of a first
// use); KALVEX_FFT_PLANNER=measure measures every length without wisdom when
// first asked for, in the process itself, as the program once did.

#include <QString>

namespace kalvex {

// Binds the library; false when it cannot be loaded (the caller shows the
// system's message). `libraryName` overrides the platform name (tests).
bool LoadFftLibrary(const QString& libraryName = {});

// Writes the wisdom back when measured plans were made, merged with the file
// as it is now (another process may have written it), replacing the file
// only by a complete new one. Called before exit: the merge brings wisdom
// into this process that its further plans would use.
void SaveFftWisdom();

QString FftWisdomPath();

// Adds the wisdom file's plans to the process's; false when there is none or
// the library refuses it.
bool ImportFftWisdomFile();

// The version text of the library in use ("fftw-3.3.10-sse2-avx"), or empty
// when none is loaded.
QString FftLibraryVersion();

}  // namespace kalvex

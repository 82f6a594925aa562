#pragma once
// Loads the FFT library at run time by its platform name ("libfftw3-3.dll" on
// Windows, "libfftw3.so.3" elsewhere), looks its entry points up by name and
// binds them to the core. Keeps the library's wisdom (its measured plans)
// between runs in the user's cache directory, so that planning costs its
// full price only once per machine.

#include <QString>

namespace kalvex {

// Binds the library; false when it cannot be loaded (the caller shows the
// system's message). `libraryName` overrides the platform name (tests).
bool LoadFftLibrary(const QString& libraryName = {});

// Writes the wisdom back when new plans were made. Called before exit.
void SaveFftWisdom();

QString FftWisdomPath();

// The version text of the library in use ("fftw-3.3.10-sse2-avx"), or empty
// when none is loaded.
QString FftLibraryVersion();

}  // namespace kalvex

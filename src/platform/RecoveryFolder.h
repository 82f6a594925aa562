#pragma once
// Where the desktop program keeps every record received from the unit: the
// folder "records" in the user's data folder of the program (on Linux
// ~/.local/share/kalvex/records, on Windows %APPDATA%\kalvex\records).

#include <string>

namespace kalvex {

// The folder as the system's bytes; it may not exist yet.
std::string RecoveryFolderPath();

}  // namespace kalvex

#pragma once
// The text export "Signals.TXT": the per-frame tables of the reaction-mass
// and baseplate channels, one row per frame, every value formatted with one
// decimal.

#include <string>

namespace kalvex {

class TFrmFile;

inline constexpr const char* SignalsTextFileName = "Signals.TXT";

// The file's text (CR LF line ends). A table not computed yet contributes
// its heading only.
std::string WriteSignalsText(const TFrmFile& rec);

}  // namespace kalvex

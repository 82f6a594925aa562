#pragma once
// The EBCDIC of SEG-Y textual headers for the printable ASCII characters.

#include <string>
#include <string_view>

namespace kalvex {

// Each printable ASCII character in its EBCDIC code; anything else becomes
// the EBCDIC question mark.
std::string AsciiToEbcdic(std::string_view ascii);
// Each EBCDIC code back to its printable ASCII character; codes without one
// become a blank.
std::string EbcdicToAscii(std::string_view ebcdic);

}  // namespace kalvex

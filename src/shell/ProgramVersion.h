#pragma once
// The program's version and build date, as "О программе" shows them and as
// every judged result names them, so that a figure can be traced to the
// build that computed it.

#include <string>

namespace kalvex {

// The version number, e.g. "0.1".
std::string ProgramVersion();

// The date this build was compiled, as YYYY-MM-DD.
std::string BuildDate();

// Both, as a QC result names the program: "0.1 (2026-12-10)".
std::string ProgramVersionAndBuild();

// A compiler date text ("Dec  9 2026") as YYYY-MM-DD; the text as it stands
// when it does not read as one.
std::string IsoDateOfCompilerDate(const std::string& date);

}  // namespace kalvex

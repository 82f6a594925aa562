#pragma once
// The text of "О программе": the program's title, its version and build
// date, and the versions of the FFT library and Qt in use, which a field
// engineer quotes with every problem report.

#include <QString>

namespace kalvex {

QString AboutText();

}  // namespace kalvex

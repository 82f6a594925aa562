#pragma once
// Which text set the program uses: the built-in Russian one for the code
// "RUS" (compared case-sensitively), otherwise a language module beside the
// executable named after it with the extension "." + code.

#include <string>
#include <string_view>

namespace kalvex {

inline bool UsesBuiltInTexts(std::string_view code) {
  return code == "RUS";
}

// "/opt/kalvex/kalvex" + "ENU" → "/opt/kalvex/kalvex.ENU";
// "C:\Kalvex\Kalvex.exe" + "ENU" → "C:\Kalvex\Kalvex.ENU".
std::string LanguageModulePath(std::string_view executablePath, std::string_view code);

}  // namespace kalvex

#include "shell/LanguageSelection.h"

namespace kalvex {

std::string LanguageModulePath(std::string_view executablePath, std::string_view code) {
  std::size_t nameStart = executablePath.find_last_of("/\\");
  nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
  std::size_t dot = executablePath.rfind('.');
  std::string_view stem = dot != std::string_view::npos && dot > nameStart
                              ? executablePath.substr(0, dot)
                              : executablePath;
  return std::string(stem) + "." + std::string(code);
}

}  // namespace kalvex

#include "acquisition/SerialLink.h"

namespace kalvex {

std::string PortNameOf(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

}  // namespace kalvex

#include "graphs/GraphsMenu.h"

#include "graphs/GraphTypes.h"
#include "graphs/TGrWin.h"

namespace kalvex {

GraphsMenuState GraphsMenuStateFor(const TGrWin* active) {
  if (!active) return {};
  return {active->Type != IntervalSpectrum, MenuTagOfGraphType(active->Type)};
}

}  // namespace kalvex

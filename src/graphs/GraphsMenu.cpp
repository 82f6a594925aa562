#include "graphs/GraphsMenu.h"

#include "graphs/GraphTypes.h"
#include "graphs/TGrWin.h"
#include "recordings/RecordingModes.h"

namespace kalvex {

GraphsMenuState GraphsMenuStateFor(const TGrWin* active) {
  if (!active) return {};
  return {active->Type != IntervalSpectrum, MenuTagOfGraphType(active->Type)};
}

bool MenuItemOffered(int tag, int mode) {
  // "PowerStation" stands for no type the menu can set.
  if (tag == GraphsMenuItems) return mode == Tarpokline;
  switch (GraphTypeOfMenuTag(tag)) {
    case Amplitude:
    case Phase:
    case Correlation:
    case Harmonics:
    case Distortion:
      return mode != Tarpokline;
    case FrequencyVsTime:
      return mode == Velnarund || mode == Dodida || mode == Ombrel16;
    case Ground:
      return mode == Velnarund || mode == Tarpokline || mode == Dodida;
    case Power:
      return mode == Dodida;
    case AccCompare:
      return mode == Velnarund || mode == Dodida;
    case Servo:
      return mode == Velnarund;
    case Actuator:
      return mode == Velnarund || mode == Tarpokline;
    default:
      return true;
  }
}

}  // namespace kalvex

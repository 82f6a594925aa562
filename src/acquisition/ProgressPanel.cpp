#include "acquisition/ProgressPanel.h"

#include <cmath>

#include "shell/TextCatalogue.h"

namespace kalvex {

ProgressPanelLook LookOfProgress(int v, int panelWidth) {
  ProgressPanelLook look;
  if (v >= ProgressSecondsBase) {
    look.kind = ProgressPanelLook::SecondsLeft;
    look.text = FormatText(TextId::ProgressSecondsLeft, {std::to_string(v - ProgressSecondsBase)});
  } else if (v == ProgressBlank) {
    look.kind = ProgressPanelLook::Blank;
  } else if (v >= 1) {
    look.kind = ProgressPanelLook::Bar;
    look.barWidth = static_cast<int>(std::nearbyint(double(panelWidth) * v / 100.0));
  }
  return look;
}

}  // namespace kalvex

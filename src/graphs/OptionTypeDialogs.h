#pragma once
// The graph type dialogs that choose quantities rather than channels:
// ground impedance, accelerometer comparison and servo (one dialog), power
// and actuator.

#include <memory>

#include "graphs/TypeDialogModel.h"

namespace kalvex {

// Ground (9), AccCompare (11) or Servo (12).
std::unique_ptr<TypeDialog> GroundDialog(int type, const TGrWin& w);
std::unique_ptr<TypeDialog> PowerDialog(const TGrWin& w);
std::unique_ptr<TypeDialog> ActuatorDialog(const TGrWin& w);

}  // namespace kalvex

#pragma once
// The graph type dialogs of the recording modes with fixed channels (all but
// mode 2): each made for a window, filled from it.

#include <memory>

#include "graphs/TypeDialogModel.h"

namespace kalvex {

std::unique_ptr<TypeDialog> TracesDialog(const TGrWin& w, const TFrmFile& rec);
std::unique_ptr<TypeDialog> AmplitudeDialog(const TGrWin& w, const TFrmFile& rec);
std::unique_ptr<TypeDialog> PhaseDialog(const TGrWin& w, const TFrmFile& rec);
// Distortion, and Frequency vs Time (its channel only).
std::unique_ptr<TypeDialog> DistortionDialog(int type, const TGrWin& w, const TFrmFile& rec);
std::unique_ptr<TypeDialog> HarmonicsDialog(const TGrWin& w, const TFrmFile& rec);
std::unique_ptr<TypeDialog> SpectrumDialog(const TGrWin& w, const TFrmFile& rec);
std::unique_ptr<TypeDialog> CorrelationDialog(const TGrWin& w, const TFrmFile& rec);

}  // namespace kalvex

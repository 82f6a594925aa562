// Which dialog a graph type shows in each recording mode.

#include "graphs/ChannelTypeDialogs.h"
#include "graphs/GraphTypes.h"
#include "graphs/OptionTypeDialogs.h"
#include "graphs/SimilarityTypeDialogs.h"
#include "graphs/TGrWin.h"
#include "graphs/TypeDialogModel.h"
#include "recordings/RecordingModes.h"

namespace kalvex {

namespace {

std::unique_ptr<TypeDialog> DialogOfType(int type, const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  if (mode == Similarity) {
    switch (type) {
      case SignalTraces:
      case Amplitude:
      case Phase:
      case Spectrum:
      case Correlation:
        return SimilaritySignalsDialog(type, w, rec);
      case Distortion:
      case Harmonics:
        return SimilarityHarmonicsDialog(type, w, rec);
      default:
        break;
    }
  }
  switch (type) {
    case SignalTraces:
      return TracesDialog(w, rec);
    case Amplitude:
      return AmplitudeDialog(w, rec);
    case Phase:
      // Tarpokline has no phase graph; Ombrel16's needs no choice.
      if (mode == Tarpokline || mode == Ombrel16) return nullptr;
      return PhaseDialog(w, rec);
    case Distortion:
    case FrequencyVsTime:
      return DistortionDialog(type, w, rec);
    case Harmonics:
      return HarmonicsDialog(w, rec);
    case Spectrum:
      return SpectrumDialog(w, rec);
    case Correlation:
      return CorrelationDialog(w, rec);
    case Ground:
    case AccCompare:
    case Servo:
      return GroundDialog(type, w);
    case Power:
      return PowerDialog(w);
    case Actuator:
      return ActuatorDialog(w);
    default:
      return nullptr;
  }
}

}  // namespace

void ChooseFirstUnits(TypeDialogModel& model) {
  for (DialogGroup& group : model.groups)
    for (DialogCheck& c : group.checks)
      if (c.checked && c.unit < 0 && !c.units.empty()) c.unit = 0;
}

std::unique_ptr<TypeDialog> MakeTypeDialog(int type, const TGrWin& w, const TFrmFile& rec) {
  auto dialog = DialogOfType(type, w, rec);
  // A window's channel can be chosen with a unit its list does not hold.
  if (dialog) ChooseFirstUnits(dialog->model);
  return dialog;
}

}  // namespace kalvex

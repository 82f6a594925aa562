#include "recordings/ModelLists.h"

#include "recordings/RecordingModes.h"

namespace kalvex {

const char* ModelListFileName(ModelListKind kind) {
  switch (kind) {
    case ModelListKind::Vib:
      return "VibModels.ini";
    case ModelListKind::Acc:
      return "AccModels.ini";
    case ModelListKind::Control:
      return "ControlModels.ini";
    case ModelListKind::Source:
      break;
  }
  return "SourceModels.ini";
}

ModelFill FillOf(const VibModel& model) {
  ModelFill fill;
  fill.HoldDownWeight = model.HoldDownWeight;
  fill.ReactionMassWeight = model.ReactionMassWeight;
  fill.BaseplateWeight = model.BaseplateWeight;
  return fill;
}

ModelFill FillOf(const AccModel& model) {
  ModelFill fill;
  fill.MassAccSensitivity = model.Sensitivity;
  fill.BaseplateAccSensitivity = model.Sensitivity;
  fill.AccDelayCode = model.DelayCode;
  return fill;
}

ModelFill FillOf(const ControlModel& model, int recordingMode) {
  ModelFill fill;
  // The dialog's one factor field is the servo current factor in mode 0 and
  // the test output otherwise.
  if (recordingMode == Velnarund)
    fill.ServoCurrentFactor = model.Current;
  else
    fill.TestOut = model.TestOut;
  return fill;
}

ModelFill FillOf(const SourceModel& model) {
  ModelFill fill;
  fill.ReactionMassWeight = model.ReactionMassWeight;
  fill.BaseplateWeight = model.BaseplateWeight;
  fill.MassAccSensitivity = model.AccRM;
  fill.BaseplateAccSensitivity = model.AccBP;
  fill.SourceVoltageFactor = model.Voltage;
  fill.SourceCurrentFactor = model.Current;
  fill.SourceSensorFactor = model.Sensor;
  return fill;
}

}  // namespace kalvex

#pragma once
// The operator's four lists of equipment models (vibrators, accelerometers,
// controllers, sources), each kept in a text file of its own beside the
// project file, and the parameter values a chosen model fills in the
// parameters dialog and on the command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalvex {

inline constexpr int ModelNoteMaxChars = 63;

struct VibModel {
  std::string Name;
  std::int32_t HoldDownWeight = 0;      // kg
  std::int32_t ReactionMassWeight = 0;  // kg
  std::int32_t BaseplateWeight = 0;     // kg
  std::string Note;                     // at most 63 characters, UTF-8
  std::int32_t Number = 0;              // negative: listed, but fills nothing
};

struct AccModel {
  std::string Name;
  double Sensitivity = 0;      // mV/g
  std::int32_t DelayCode = 0;  // "Код задержки"
  std::string Note;
  std::int32_t Number = 0;
};

struct ControlModel {
  std::string Name;
  double Current = 0;  // mV/mA
  double TestOut = 0;  // V
  std::string Note;
  std::int32_t Number = 0;
};

struct SourceModel {
  std::string Name;
  std::int32_t ReactionMassWeight = 0;  // kg
  std::int32_t BaseplateWeight = 0;     // kg
  double AccRM = 0;                     // mV/g
  double AccBP = 0;                     // mV/g
  double Voltage = 0;                   // V/kV
  double Current = 0;                   // V/kA
  double Sensor = 0;                    // V/m/s
  std::string Note;
  std::int32_t Number = 0;
};

enum class ModelListKind { Vib, Acc, Control, Source };

struct ModelLists {
  std::vector<VibModel> Vib;
  std::vector<AccModel> Acc;
  std::vector<ControlModel> Control;
  std::vector<SourceModel> Source;
};

// "VibModels.ini", "AccModels.ini", "ControlModels.ini", "SourceModels.ini".
const char* ModelListFileName(ModelListKind kind);

// The parameter values a chosen model fills (the parameters dialog's model
// rule, and the command line's --*-model options); unset values are not
// filled by that model. The caller decides whether the entry fills at all
// (an entry with a negative Number does not).
struct ModelFill {
  std::optional<std::int32_t> HoldDownWeight, ReactionMassWeight, BaseplateWeight;
  std::optional<double> MassAccSensitivity, BaseplateAccSensitivity;
  std::optional<double> ServoCurrentFactor, TestOut;
  std::optional<double> SourceVoltageFactor, SourceCurrentFactor, SourceSensorFactor;
  std::optional<std::int32_t> AccDelayCode;
};

// Vibrator: the three weights. Accelerometer: its sensitivity for both
// accelerometers, and its delay code. Controller: the current factor in
// recording mode 0, the test output in the other modes. Source: its two
// weights, two sensitivities and three factors.
ModelFill FillOf(const VibModel& model);
ModelFill FillOf(const AccModel& model);
ModelFill FillOf(const ControlModel& model, int recordingMode);
ModelFill FillOf(const SourceModel& model);

}  // namespace kalvex

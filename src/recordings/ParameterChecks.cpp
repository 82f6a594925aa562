#include "recordings/ParameterChecks.h"

#include <cmath>

#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/StoredValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

bool HasMassAndPlate(int mode) {
  return mode == Velnarund || mode == Tarpokline || mode == Dodida;
}
// A weight must be above 0 and come back from the file as a weight.
bool WeightStored(std::int32_t kg) {
  return kg > 0 && stored::WeightKg(stored::WeightAsFloat(kg)).has_value();
}
bool PositiveStored(double v) {
  return stored::Positive(stored::AsFloat(v));
}
bool SourceFactorStored(double v) {
  return stored::SourceFactor(stored::AsFloat(v));
}

struct ParameterRule {
  bool (*applies)(int mode);
  bool (*valid)(const TFrmFile& rec);
  TextId invalidText;
  TextId missingText;
};

// The parameter checks shared by both entry points, in their order.
constexpr ParameterRule kRules[] = {
    {[](int m) { return m != Tarpokline; },
     [](const TFrmFile& r) { return WeightStored(r.HoldDownWeight); }, TextId::BadHoldDownWeight,
     TextId::MissingHoldDownWeight},
    {HasMassAndPlate, [](const TFrmFile& r) { return WeightStored(r.BaseplateWeight); },
     TextId::BadBaseplateWeight, TextId::MissingBaseplateWeight},
    {HasMassAndPlate, [](const TFrmFile& r) { return WeightStored(r.ReactionMassWeight); },
     TextId::BadReactionMassWeight, TextId::MissingReactionMassWeight},
    {HasMassAndPlate, [](const TFrmFile& r) { return PositiveStored(r.BaseplateAccSensitivity); },
     TextId::BadBaseplateAccSensitivity, TextId::MissingBaseplateAccSensitivity},
    {HasMassAndPlate, [](const TFrmFile& r) { return PositiveStored(r.MassAccSensitivity); },
     TextId::BadMassAccSensitivity, TextId::MissingMassAccSensitivity},
    {[](int m) { return m == Velnarund; },
     [](const TFrmFile& r) { return PositiveStored(r.ServoCurrentFactor); },
     TextId::BadServoCurrentFactor, TextId::MissingServoCurrentFactor},
    // NoValue (and anything not a number) fails: |level| must be below 10 V.
    {[](int) { return true; },
     [](const TFrmFile& r) { return stored::TriggerLevel(stored::AsFloat(r.TriggerLevel)); },
     TextId::BadTriggerLevel, TextId::MissingTriggerLevel},
    {[](int m) { return m == Tarpokline; },
     [](const TFrmFile& r) { return SourceFactorStored(r.SourceVoltageFactor); },
     TextId::BadVoltage, TextId::MissingVoltage},
    {[](int m) { return m == Tarpokline; },
     [](const TFrmFile& r) { return SourceFactorStored(r.SourceCurrentFactor); },
     TextId::BadCurrent, TextId::MissingCurrent},
    {[](int m) { return m == Tarpokline; },
     [](const TFrmFile& r) { return SourceFactorStored(r.SourceSensorFactor); }, TextId::BadSensor,
     TextId::MissingSensor},
    {[](int m) { return m == Similarity; },
     [](const TFrmFile& r) { return PositiveStored(r.TestOut); }, TextId::BadTestOut,
     TextId::MissingTestOut},
};

bool Refuse(UserInteraction& ui, TextId text) {
  ui.ShowError(Text(text));
  return false;
}

bool CheckRules(const TFrmFile& rec, UserInteraction& ui, bool missingTexts) {
  for (const ParameterRule& rule : kRules) {
    if (rule.applies(rec.Mode) && !rule.valid(rec))
      return Refuse(ui, missingTexts ? rule.missingText : rule.invalidText);
  }
  return true;
}

}  // namespace

bool ValidateParameters(TFrmFile& rec, const ProcessValues& values, UserInteraction& ui) {
  if (rec.Mode >= NoSignal) return Refuse(ui, TextId::BadModeCode);
  if (!CheckRules(rec, ui, false)) return false;
  // An index beyond 4 has no sample rate; refusing it here keeps 2^index finite.
  if (values.SampleRateIndex < 0 || values.SampleRateIndex > 4 || rec.SweepSeconds == 0)
    return Refuse(ui, TextId::BadTimeInterval);
  // The record (sweep + 500 samples) must fit its 16-bit length, never wrap.
  if (!RecordFits(values.SampleRateIndex, rec.SweepSeconds))
    return Refuse(ui, TextId::RecordTooLong);
  rec.SweepLength = static_cast<std::uint16_t>((500L << values.SampleRateIndex) * rec.SweepSeconds);
  if (rec.SweepLength < 1000) return Refuse(ui, TextId::TooFewSamples);
  return true;
}

bool CheckParametersEntered(const TFrmFile& rec, UserInteraction& ui) {
  return CheckRules(rec, ui, true);
}

}  // namespace kalvex

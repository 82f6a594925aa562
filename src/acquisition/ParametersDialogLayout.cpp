#include "acquisition/ParametersDialog.h"

#include "recordings/ModelLists.h"
#include "recordings/RecordingModes.h"
#include "shell/TextCatalogue.h"

// The fields, lists and groups of the parameters dialog, and which of them
// each recording mode shows.

namespace kalvex {
namespace {

using F = ParamField;
using C = ParamChoice;
using G = ParamGroup;

struct FieldSpec {
  F field;
  const char* name;
  TextId label;
  const char* unit;
  bool sign, integer, leadingZero;
  int decimals, maxLength;
  G group;
};

// Decimals -1: any number of them (shown with at most two).
constexpr FieldSpec FieldSpecs[] = {
    {F::HoldDown, "EditDig1", TextId::ParamHoldDown, "kg", false, true, false, -1, 6, G::Weights},
    {F::ReactionMass, "EditDig2", TextId::ParamReactionMass, "kg", false, true, true, -1, 6,
     G::Weights},
    {F::Baseplate, "EditDig3", TextId::ParamBaseplate, "kg", false, true, true, -1, 6, G::Weights},
    {F::TriggerLevel, "EditDig4", TextId::ParamTriggerLevel, "V", true, false, true, 2, 4,
     G::Trigger},
    {F::MassAcc, "EditDig5", TextId::ParamMassAcc, "mV/g", true, false, true, 2, 6,
     G::Accelerometers},
    {F::BaseplateAcc, "EditDig6", TextId::ParamBaseplateAcc, "mV/g", true, false, true, 2, 6,
     G::Accelerometers},
    {F::TriggerDelay, "EditDig7", TextId::ParamTriggerDelay, "s", true, false, true, 2, 5,
     G::Trigger},
    {F::Seconds, "EditDig8", TextId::ParamSeconds, "s", false, true, false, -1, 3, G::Time},
    {F::Factor, "EditDig9", TextId::ParamServoCurrent, "mV/mA", false, false, true, -1, 5,
     G::Servo},
    {F::SourceRM, "EditDig10", TextId::ParamReactionMass, "kg", false, true, true, -1, 6,
     G::Tarpokline},
    {F::SourceBP, "EditDig11", TextId::ParamBaseplate, "kg", false, true, true, -1, 6,
     G::Tarpokline},
    {F::SourceAccRM, "EditDig12", TextId::ParamMassAcc, "mV/g", true, false, true, -1, 6,
     G::Tarpokline},
    {F::SourceVoltage, "EditDig13", TextId::ParamSourceVoltage, "V/kV", true, false, true, -1, 5,
     G::Tarpokline},
    {F::SourceCurrent, "EditDig14", TextId::ParamSourceCurrent, "V/kA", true, false, true, -1, 5,
     G::Tarpokline},
    {F::SourceAccBP, "EditDig15", TextId::ParamBaseplateAcc, "mV/g", true, false, true, -1, 6,
     G::Tarpokline},
    {F::SourceSensor, "EditDig16", TextId::ParamSourceSensor, "V/m", true, false, true, -1, 5,
     G::Tarpokline},
};

struct ChoiceSpec {
  C choice;
  const char* name;
  TextId label;
  G group;
};

constexpr ChoiceSpec ChoiceSpecs[] = {
    {C::VibModel, "ComboBox1", TextId::ParamVibModel, G::Weights},
    {C::AccModel, "ComboBox2", TextId::ParamAccModel, G::Accelerometers},
    {C::TriggerChannel, "ComboBox3", TextId::ParamTriggerChannel, G::Trigger},
    {C::TriggerEdge, "ComboBox4", TextId::ParamTriggerEdge, G::Trigger},
    {C::SampleRate, "ComboBox5", TextId::ParamSampleRate, G::Time},
    {C::ControlModel, "ComboBox6", TextId::ParamControlModel, G::Servo},
    {C::Polarity, "ComboBox7", TextId::ParamPolarity, G::Polarity},
    {C::SourceModel, "ComboBox8", TextId::ParamSourceModel, G::Tarpokline},
};

// The fields each model chooser fills and locks.
template <typename Entry>
std::vector<std::string> NamesWithEmptyEntry(const std::vector<Entry>& list) {
  std::vector<std::string> names{" "};
  for (const Entry& e : list) names.push_back(e.Name);
  return names;
}
}  // namespace

void ParametersDialog::Build(const TFrmFile& rec) {
  for (const FieldSpec& s : FieldSpecs) {
    ParamEntry& e = Field(s.field);
    e.name = s.name;
    e.label = Text(s.label);
    e.unit = s.unit;
    e.options.SetInteg(s.integer);
    e.options.SetZnak(s.sign);
    e.options.SetMayBeNul(s.leadingZero || !s.integer);
    e.options.SetAfterZpt(s.decimals);
    e.maxLength = s.maxLength;
    e.group = s.group;
  }
  if (mode_ == Similarity) {
    ParamEntry& testOut = Field(F::Factor);
    testOut.label = Text(TextId::ParamTestOut);
    testOut.unit.clear();
    testOut.options.SetZnak(true);
  }
  for (const ChoiceSpec& s : ChoiceSpecs) {
    ParamList& l = List(s.choice);
    l.name = s.name;
    l.label = Text(s.label);
    l.group = s.group;
  }
  List(C::VibModel).items = NamesWithEmptyEntry(models_.Vib);
  List(C::AccModel).items = NamesWithEmptyEntry(models_.Acc);
  List(C::ControlModel).items = NamesWithEmptyEntry(models_.Control);
  List(C::SourceModel).items = NamesWithEmptyEntry(models_.Source);
  List(C::TriggerEdge).items = {Text(TextId::ParamEdgePositive), Text(TextId::ParamEdgeNegative),
                                Text(TextId::ParamEdgeEither)};
  List(C::SampleRate).items = {"2", "1", "0,5", "0,25", "0,125"};
  List(C::Polarity).items = {Text(TextId::ParamEdgePositive), Text(TextId::ParamEdgeNegative)};
  for (int c = 0; c < 6; ++c) {
    channels_[c] = {rec.SimilarityChannels[c].Present, rec.SimilarityChannels[c].Name,
                    rec.SimilarityChannels[c].Attenuated};
  }
  channels_[0].on = true;
  channels_[0].name = "REF";
}

bool ParametersDialog::GroupVisible(ParamGroup group) const {
  const bool source = mode_ == Tarpokline;
  switch (group) {
    case G::Weights:
      return !source;
    case G::Tarpokline:
      return source;
    case G::Accelerometers:
      return mode_ == Velnarund || mode_ == Dodida;
    case G::Servo:
      return mode_ == Velnarund || mode_ == Similarity;
    case G::Channels:
      return mode_ == Similarity;
    default:
      return true;
  }
}

void ParametersDialog::Layout() {
  for (ParamEntry& e : fields_) e.visible = GroupVisible(e.group);
  for (ParamList& l : lists_) l.visible = GroupVisible(l.group);
  // Modes 2 and 4 keep only the vibrator model and the hold-down weight.
  if (mode_ == Similarity || mode_ == Ombrel16)
    Field(F::ReactionMass).visible = Field(F::Baseplate).visible = false;
}

}  // namespace kalvex

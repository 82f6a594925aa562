#include "acquisition/ParametersDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "recordings/Cp1251.h"
#include "recordings/FormatNumber.h"
#include "recordings/ModelListEntries.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingModes.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

using F = ParamField;
using C = ParamChoice;

// The longest record the 16-bit record length holds.
constexpr int MaxRecordLength = 65535;
constexpr int PreTriggerSamples = 500;

std::vector<F> DependentFields(C chooser) {
  switch (chooser) {
    case C::VibModel:
      return {F::HoldDown, F::ReactionMass, F::Baseplate};
    case C::AccModel:
      return {F::MassAcc, F::BaseplateAcc};
    case C::ControlModel:
      return {F::Factor};
    case C::SourceModel:
      return {F::SourceRM,      F::SourceBP,      F::SourceAccRM, F::SourceAccBP,
              F::SourceVoltage, F::SourceCurrent, F::SourceSensor};
    default:
      return {};
  }
}

bool IsModelChooser(C c) {
  return c == C::VibModel || c == C::AccModel || c == C::ControlModel || c == C::SourceModel;
}

// The operator's texts convert as the model lists' values do: integers in
// decimal within 32 bits, reals with the first "," read as ".".
bool ParseInteger(const std::string& text, std::int32_t& value) {
  double v = 0;
  if (!ParseModelValue(ModelValueType::Integer, text, v)) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool ParseReal(const std::string& text, double& value) {
  return ParseModelValue(ModelValueType::Real, text, value);
}

bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

int AccDelayCodeOf(const ModelLists& lists, int accModelIndex) {
  if (accModelIndex <= 0 || accModelIndex > static_cast<int>(lists.Acc.size())) return 0;
  return *FillOf(lists.Acc[accModelIndex - 1]).AccDelayCode;
}

ParametersDialog::ParametersDialog(const TFrmFile& rec, const ProcessValues& values,
                                   const AcquisitionChoices& choices, const ModelLists& lists)
    : mode_(rec.Mode == NoSignal ? int{Velnarund} : int{rec.Mode}), models_(lists) {
  caption_ = FormatText(TextId::ParametersCaption, {ModeName(rec.Mode)});
  Build(rec);
  Layout();
  ShowValues(rec, values, choices);
}

std::string ParametersDialog::FieldText(ParamField f, double value) const {
  const ParamEntry& e = Field(f);
  if (e.options.Integ()) return std::to_string(static_cast<long long>(std::llround(value)));
  // A field without a fixed number of decimals shows at most two.
  return FormatNumber(value, e.options.AfterZpt() > 0 ? e.options.AfterZpt() : 0);
}

void ParametersDialog::ShowValues(const TFrmFile& rec, const ProcessValues& values,
                                  const AcquisitionChoices& choices) {
  const std::pair<C, int> stored[] = {{C::VibModel, choices.VibModelIndex},
                                      {C::AccModel, choices.AccModelIndex},
                                      {C::ControlModel, choices.ControlModelIndex},
                                      {C::SourceModel, choices.SourceModelIndex}};
  for (auto [chooser, index] : stored) {
    ParamList& l = List(chooser);
    l.index = index > 0 && index < static_cast<int>(l.items.size()) ? index : 0;
    ApplyModelRule(chooser);
  }
  List(C::TriggerChannel).items = TriggerItems();
  const int channels = static_cast<int>(List(C::TriggerChannel).items.size());
  List(C::TriggerChannel).index =
      choices.TriggerChannelIndex >= 0 && choices.TriggerChannelIndex < channels
          ? choices.TriggerChannelIndex
          : 0;
  List(C::TriggerEdge).index = std::clamp(choices.TriggerEdgeIndex, 0, 2);
  List(C::SampleRate).index = std::clamp(values.SampleRateIndex, 0, 4);
  List(C::Polarity).index = rec.PolarityPositive ? 0 : 1;

  // The recording's own values replace what the models filled.
  const bool source = mode_ == Tarpokline;
  if (rec.SweepSeconds > 0) Field(F::Seconds).text = std::to_string(rec.SweepSeconds);
  if (rec.HoldDownWeight > 0) Field(F::HoldDown).text = std::to_string(rec.HoldDownWeight);
  const F rm = source ? F::SourceRM : F::ReactionMass, bp = source ? F::SourceBP : F::Baseplate;
  if (rec.ReactionMassWeight >= 0) Field(rm).text = std::to_string(rec.ReactionMassWeight);
  if (rec.BaseplateWeight >= 0) Field(bp).text = std::to_string(rec.BaseplateWeight);
  const auto show = [this](F f, double v) { Field(f).text = FieldText(f, v); };
  show(F::TriggerLevel, rec.TriggerLevel);
  show(F::TriggerDelay, rec.TriggerDelay);
  show(source ? F::SourceAccRM : F::MassAcc, rec.MassAccSensitivity);
  show(source ? F::SourceAccBP : F::BaseplateAcc, rec.BaseplateAccSensitivity);
  if (mode_ == Velnarund) show(F::Factor, rec.ServoCurrentFactor);
  if (mode_ == Similarity) show(F::Factor, rec.TestOut);
  if (source) {
    show(F::SourceVoltage, rec.SourceVoltageFactor);
    show(F::SourceCurrent, rec.SourceCurrentFactor);
    show(F::SourceSensor, rec.SourceSensorFactor);
  }

  base_.HoldDownWeight = rec.HoldDownWeight;
  base_.ReactionMassWeight = rec.ReactionMassWeight;
  base_.BaseplateWeight = rec.BaseplateWeight;
  base_.MassAccSensitivity = rec.MassAccSensitivity;
  base_.BaseplateAccSensitivity = rec.BaseplateAccSensitivity;
  base_.TriggerLevel = rec.TriggerLevel;
  base_.TriggerDelay = rec.TriggerDelay;
  base_.ServoCurrentFactor = rec.ServoCurrentFactor;
  base_.TestOut = rec.TestOut;
  base_.SourceVoltageFactor = rec.SourceVoltageFactor;
  base_.SourceCurrentFactor = rec.SourceCurrentFactor;
  base_.SourceSensorFactor = rec.SourceSensorFactor;
  base_.SimilarityChannels = rec.SimilarityChannels;

  openTriggerChannel_ = List(C::TriggerChannel).index;
  openTriggerEdge_ = List(C::TriggerEdge).index;
  openSampleRate_ = List(C::SampleRate).index;
  openSeconds_ = rec.SweepSeconds;
  // As the fields show them: a file stores the level as a 32-bit float
  // (1.1000000238), the field shows "1.10", and the two must compare equal.
  const auto shown = [this](F f, double stored) {
    double value = stored;
    return ParseReal(Field(f).text, value) ? value : stored;
  };
  openTriggerLevel_ = shown(F::TriggerLevel, rec.TriggerLevel);
  openTriggerDelay_ = shown(F::TriggerDelay, rec.TriggerDelay);
}

void ParametersDialog::Fill(const ModelFill& fill, bool fills) {
  if (!fills) return;
  const bool source = mode_ == Tarpokline;
  const auto put = [this](F f, auto value) {
    if (value) Field(f).text = FieldText(f, static_cast<double>(*value));
  };
  put(source ? F::SourceRM : F::ReactionMass, fill.ReactionMassWeight);
  put(source ? F::SourceBP : F::Baseplate, fill.BaseplateWeight);
  put(source ? F::SourceAccRM : F::MassAcc, fill.MassAccSensitivity);
  put(source ? F::SourceAccBP : F::BaseplateAcc, fill.BaseplateAccSensitivity);
  put(F::HoldDown, fill.HoldDownWeight);
  put(F::Factor, mode_ == Velnarund ? fill.ServoCurrentFactor : fill.TestOut);
  put(F::SourceVoltage, fill.SourceVoltageFactor);
  put(F::SourceCurrent, fill.SourceCurrentFactor);
  put(F::SourceSensor, fill.SourceSensorFactor);
}

void ParametersDialog::ApplyModelRule(ParamChoice chooser) {
  const int index = List(chooser).index;
  for (F f : DependentFields(chooser)) {
    Field(f).readOnly = index > 0;
    if (index <= 0) Field(f).text.clear();
  }
  if (index <= 0) return;
  const int k = index - 1;
  switch (chooser) {
    case C::VibModel:
      Fill(FillOf(models_.Vib[k]), models_.Vib[k].Number >= 0);
      break;
    case C::AccModel:
      Fill(FillOf(models_.Acc[k]), models_.Acc[k].Number >= 0);
      break;
    case C::ControlModel:
      Fill(FillOf(models_.Control[k], mode_), models_.Control[k].Number >= 0);
      break;
    case C::SourceModel:
      Fill(FillOf(models_.Source[k]), models_.Source[k].Number >= 0);
      break;
    default:
      break;
  }
}

std::vector<std::string> ParametersDialog::TriggerItems() const {
  if (mode_ != Similarity) {
    TFrmFile probe;
    probe.Mode = static_cast<std::uint8_t>(mode_);
    return TriggerChannelNames(probe);
  }
  std::vector<std::string> names{"REF"};
  for (int c = 1; c < 6; ++c)
    if (channels_[c].on) names.push_back(channels_[c].name);
  return names;
}

void ParametersDialog::OpeningTriggerList() {
  if (mode_ != Similarity) return;
  ParamList& l = List(C::TriggerChannel);
  l.items = TriggerItems();
  if (l.index >= static_cast<int>(l.items.size())) l.index = 0;
}

void ParametersDialog::Choose(ParamChoice choice, int index) {
  ParamList& l = List(choice);
  if (index < 0 || index >= static_cast<int>(l.items.size())) return;
  l.index = index;
  if (IsModelChooser(choice)) ApplyModelRule(choice);
  if (choice == C::SampleRate || choice == C::Polarity) LimitSeconds();
}

void ParametersDialog::Edit(ParamField field, const std::string& text) {
  ParamEntry& e = Field(field);
  if (e.readOnly) return;
  e.text = text.substr(0, static_cast<std::size_t>(e.maxLength));
  // The source group corrects its values as they are typed.
  if (mode_ == Tarpokline) {
    switch (field) {
      case F::SourceAccRM:
      case F::SourceAccBP:
        CheckRange(field, 0, 999.99);
        break;
      case F::SourceVoltage:
      case F::SourceCurrent:
      case F::SourceSensor:
        CheckRange(field, 0.01, 99.99);
        break;
      case F::SourceRM:
      case F::SourceBP:
        CheckRange(field, 0, 99999);
        break;
      default:
        break;
    }
  }
  if (field == F::Seconds) LimitSeconds();
}

void ParametersDialog::Leave(ParamField field) {
  const bool withAccelerometers = mode_ == Velnarund || mode_ == Dodida;
  switch (field) {
    case F::TriggerLevel:
      CheckRange(field, -9.9, 9.9);
      break;
    case F::TriggerDelay:
      CheckRange(field, -4.95, 4.95);
      break;
    case F::MassAcc:
    case F::BaseplateAcc:
      if (withAccelerometers) CheckRange(field, -999.99, 999.99);
      break;
    case F::Factor:
      if (mode_ == Velnarund) CheckRange(field, 0, 99.99);
      if (mode_ == Similarity) CheckRange(field, -99.99, 99.99);
      break;
    case F::Seconds:
      LimitSeconds();
      break;
    default:
      break;
  }
}

void ParametersDialog::CheckRange(ParamField field, double minimum, double maximum) {
  ParamEntry& e = Field(field);
  double value = 0;
  if (!ParseReal(e.text, value)) return;  // not a number: left alone
  if (value < minimum || value > maximum) {
    e.text = FieldText(field, value < minimum ? minimum : maximum);
    lastCheck_ = CheckOutcome::Corrected;
  } else {
    lastCheck_ = CheckOutcome::InRange;
  }
}

int ParametersDialog::MaximumSeconds() const {
  const int k = List(C::SampleRate).index;
  int maximum = 1 << (6 - k);
  if (mode_ == Similarity) {
    int n = 1;
    for (int c = 1; c < 6; ++c) n += channels_[c].on ? 1 : 0;
    maximum = 384 / (1 << k) / n;
  }
  // No record may pass the 65 535 samples that its length field holds.
  return std::min(maximum, (MaxRecordLength - PreTriggerSamples) / (500 << k));
}

void ParametersDialog::LimitSeconds() {
  ParamEntry& e = Field(F::Seconds);
  std::int32_t seconds = 0;
  if (!ParseInteger(e.text, seconds)) return;
  const int maximum = MaximumSeconds();
  if (seconds <= maximum) return;
  e.text = std::to_string(maximum);
  lastCheck_ = CheckOutcome::Corrected;
}

void ParametersDialog::SwitchChannel(int channel, bool on) {
  if (channel < 1 || channel >= 6) return;  // channel 0 is always on
  channels_[channel].on = on;
  if (!on) channels_[channel].x8 = false;
  LimitSeconds();
}

void ParametersDialog::SetChannelName(int channel, const std::string& name) {
  if (channel < 1 || channel >= 6 || !channels_[channel].on) return;
  channels_[channel].name = name;
}

void ParametersDialog::SetChannelX8(int channel, bool on) {
  if (channel < 0 || channel >= 6 || (channel > 0 && !channels_[channel].on)) return;
  channels_[channel].x8 = on;
}

std::vector<ParamField> ParametersDialog::RequiredFields() const {
  if (mode_ == Tarpokline)
    return {F::SourceRM,      F::SourceBP,     F::SourceAccRM,  F::SourceAccBP, F::SourceVoltage,
            F::SourceCurrent, F::SourceSensor, F::TriggerLevel, F::Seconds,     F::TriggerDelay};
  std::vector<ParamField> required{F::HoldDown};
  if (mode_ == Velnarund || mode_ == Dodida)
    required.insert(required.end(), {F::ReactionMass, F::Baseplate, F::MassAcc, F::BaseplateAcc});
  required.insert(required.end(), {F::TriggerLevel, F::Seconds, F::TriggerDelay});
  if (mode_ == Velnarund) required.push_back(F::Factor);
  return required;
}

std::optional<AcceptedParameters> ParametersDialog::Accept(UserInteraction& ui,
                                                           bool& stayOpen) const {
  stayOpen = false;
  for (F f : RequiredFields()) {
    if (IsBlank(Field(f).text)) {
      ui.ShowError(Text(TextId::NoDataChosen));
      stayOpen = true;
      return std::nullopt;
    }
  }
  if (lastCheck_ == CheckOutcome::Corrected) ui.ShowInformation(Text(TextId::DataCorrected));

  // Every visible field must convert; a hidden one that does not keeps the
  // recording's value (it was shown from it).
  bool converted = true;
  const auto integer = [&](F f, std::int32_t& target) {
    if (!ParseInteger(Field(f).text, target) && Field(f).visible) converted = false;
  };
  const auto real = [&](F f, double& target) {
    if (!ParseReal(Field(f).text, target) && Field(f).visible) converted = false;
  };

  AcceptedParameters p = base_;
  p.TriggerChannelIndex = List(C::TriggerChannel).index;
  p.TriggerEdgeIndex = List(C::TriggerEdge).index;
  p.SampleRateIndex = List(C::SampleRate).index;
  p.VibModelIndex = List(C::VibModel).index;
  p.AccModelIndex = List(C::AccModel).index;
  p.ControlModelIndex = List(C::ControlModel).index;
  p.SourceModelIndex = List(C::SourceModel).index;
  p.PolarityPositive = List(C::Polarity).index == 0;
  std::int32_t seconds = 0;
  integer(F::Seconds, seconds);
  p.SweepSeconds = seconds;
  real(F::TriggerLevel, p.TriggerLevel);
  real(F::TriggerDelay, p.TriggerDelay);
  integer(F::HoldDown, p.HoldDownWeight);
  const bool source = mode_ == Tarpokline;
  integer(source ? F::SourceRM : F::ReactionMass, p.ReactionMassWeight);
  integer(source ? F::SourceBP : F::Baseplate, p.BaseplateWeight);
  real(source ? F::SourceAccRM : F::MassAcc, p.MassAccSensitivity);
  real(source ? F::SourceAccBP : F::BaseplateAcc, p.BaseplateAccSensitivity);
  if (mode_ == Velnarund) real(F::Factor, p.ServoCurrentFactor);
  if (mode_ == Similarity) real(F::Factor, p.TestOut);
  if (source) {
    real(F::SourceVoltage, p.SourceVoltageFactor);
    real(F::SourceCurrent, p.SourceCurrentFactor);
    real(F::SourceSensor, p.SourceSensorFactor);
  }
  if (!converted) return std::nullopt;

  p.SimilarityChannels[0] = {true, channels_[0].x8, "REF"};
  for (int c = 1; c < 6; ++c) {
    ChannelDescriptor& d = p.SimilarityChannels[c];
    d.Present = channels_[c].on;
    if (!d.Present) continue;  // a switched-off channel keeps its name and "x8"
    d.Attenuated = channels_[c].x8;
    d.Name = Utf8Prefix(channels_[c].name, ChannelNameMaxChars);
  }

  p.Reset = p.TriggerChannelIndex != openTriggerChannel_ ||
            p.TriggerEdgeIndex != openTriggerEdge_ || p.SampleRateIndex != openSampleRate_ ||
            p.SweepSeconds != openSeconds_ || p.TriggerLevel != openTriggerLevel_ ||
            p.TriggerDelay != openTriggerDelay_;
  if (mode_ == Similarity)
    for (int c = 0; c < 6; ++c)
      p.Reset = p.Reset || p.SimilarityChannels[c].Present != base_.SimilarityChannels[c].Present ||
                p.SimilarityChannels[c].Attenuated != base_.SimilarityChannels[c].Attenuated;
  return p;
}

}  // namespace kalvex

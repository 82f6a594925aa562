#pragma once
// The acquisition parameters dialog ("Параметры") without its widgets: every
// field as the widgets show it, the layout of each recording mode, the model
// choosers fed from the model lists, the corrections made while the operator
// types, and what "Да" checks and converts. The follow-up of an accepted
// dialog is ParametersCommand.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/CommandBlock.h"
#include "recordings/ModelLists.h"
#include "recordings/TFrmFile.h"
#include "shell/NumericKeyFilter.h"

namespace kalvex {

class UserInteraction;
struct ProcessValues;

// The numeric fields, in the order each group shows them.
enum class ParamField {
  HoldDown,       // EditDig1 "HDW:"
  ReactionMass,   // EditDig2 "RM:"
  Baseplate,      // EditDig3 "BP:"
  TriggerLevel,   // EditDig4
  MassAcc,        // EditDig5 "AccRM:"
  BaseplateAcc,   // EditDig6 "AccBP:"
  TriggerDelay,   // EditDig7
  Seconds,        // EditDig8
  Factor,         // EditDig9: "Current:" (mode 0) or "TestOut" (mode 2)
  SourceRM,       // EditDig10
  SourceBP,       // EditDig11
  SourceAccRM,    // EditDig12
  SourceAccBP,    // EditDig15
  SourceVoltage,  // EditDig13
  SourceCurrent,  // EditDig14
  SourceSensor,   // EditDig16
  Count
};

enum class ParamChoice {
  VibModel,
  AccModel,
  TriggerChannel,
  TriggerEdge,
  SampleRate,
  ControlModel,
  Polarity,
  SourceModel,
  Count
};

// The framed groups, in the order the dialog stacks them.
enum class ParamGroup {
  Weights,
  Tarpokline,
  Accelerometers,
  Trigger,
  Time,
  Servo,
  Channels,
  Polarity,
  Count
};

struct ParamEntry {
  std::string name;   // the component's name, e.g. "EditDig1"
  std::string label;  // "HDW:"
  std::string unit;   // "kg"; may be empty
  TEditDigOptions options;
  int maxLength = 0;
  ParamGroup group = ParamGroup::Weights;
  bool visible = true;
  bool readOnly = false;  // filled from a chosen model
  std::string text;
};

struct ParamList {
  std::string name;   // "ComboBox…"
  std::string label;  // "VibModel"
  ParamGroup group = ParamGroup::Weights;
  bool visible = true;
  std::vector<std::string> items;
  int index = 0;
};

// A row of the "Similarity" channel table. Channel 0 is always "REF" and on.
struct ChannelRow {
  bool on = false;
  std::string name;  // at most 8 characters
  bool x8 = false;
  bool nameEnabled() const { return on; }
};

// What an accepted dialog hands to the "Параметры" command.
struct AcceptedParameters {
  int TriggerChannelIndex = 0, TriggerEdgeIndex = 0, SampleRateIndex = 0;
  int VibModelIndex = 0, AccModelIndex = 0, ControlModelIndex = 0, SourceModelIndex = 0;
  int SweepSeconds = 0;
  std::int32_t HoldDownWeight = -1, ReactionMassWeight = -1, BaseplateWeight = -1;
  double MassAccSensitivity = NoValue, BaseplateAccSensitivity = NoValue;
  double TriggerLevel = NoValue, TriggerDelay = NoValue;
  double ServoCurrentFactor = 0, TestOut = 1.0;
  double SourceVoltageFactor = NoValue, SourceCurrentFactor = NoValue, SourceSensorFactor = NoValue;
  bool PolarityPositive = true;
  std::array<ChannelDescriptor, 6> SimilarityChannels{};
  // A change that alters the record layout: the graph windows are reset.
  bool Reset = false;
};

class ParametersDialog {
 public:
  static constexpr int HelpTopic = 160;
  static constexpr int ChannelNameMaxChars = 8;

  // Filled from the recording, the sample interval and the process-wide
  // choices; the model choosers list the model lists' names.
  ParametersDialog(const TFrmFile& rec, const ProcessValues& values,
                   const AcquisitionChoices& choices, const ModelLists& lists);

  const std::string& Caption() const { return caption_; }
  int Mode() const { return mode_; }
  bool GroupVisible(ParamGroup group) const;

  ParamEntry& Field(ParamField f) { return fields_[static_cast<int>(f)]; }
  const ParamEntry& Field(ParamField f) const { return fields_[static_cast<int>(f)]; }
  ParamList& List(ParamChoice c) { return lists_[static_cast<int>(c)]; }
  const ParamList& List(ParamChoice c) const { return lists_[static_cast<int>(c)]; }
  std::array<ChannelRow, 6>& Channels() { return channels_; }

  // The operator's actions, as the widgets report them.
  void Choose(ParamChoice choice, int index);
  // The field's text changed (typed or pasted).
  void Edit(ParamField field, const std::string& text);
  // The focus left the field.
  void Leave(ParamField field);
  void SwitchChannel(int channel, bool on);
  void SetChannelName(int channel, const std::string& name);
  void SetChannelX8(int channel, bool on);
  // Mode 2: the trigger channel list is rebuilt from the switched-on
  // channels each time the list opens.
  void OpeningTriggerList();

  // "Да": an empty required field shows "Данные не заданы" and keeps the
  // dialog open (nullopt, `stayOpen` true). Otherwise the dialog closes
  // (after "Данные были изменены" when the last check corrected a value) and
  // returns the values, or nullopt when a text does not convert (the dialog
  // then counts as cancelled).
  std::optional<AcceptedParameters> Accept(UserInteraction& ui, bool& stayOpen) const;

 private:
  enum class CheckOutcome { None, Corrected, InRange };

  void Build(const TFrmFile& rec);
  void Layout();
  void ShowValues(const TFrmFile& rec, const ProcessValues& values,
                  const AcquisitionChoices& choices);
  void ApplyModelRule(ParamChoice choice);
  void Fill(const ModelFill& fill, bool fills);
  void CheckRange(ParamField field, double minimum, double maximum);
  void LimitSeconds();
  int MaximumSeconds() const;
  std::vector<std::string> TriggerItems() const;
  std::string FieldText(ParamField field, double value) const;
  std::vector<ParamField> RequiredFields() const;

  int mode_;
  std::string caption_;
  const ModelLists& models_;
  std::array<ParamEntry, static_cast<int>(ParamField::Count)> fields_;
  std::array<ParamList, static_cast<int>(ParamChoice::Count)> lists_;
  std::array<ChannelRow, 6> channels_;
  CheckOutcome lastCheck_ = CheckOutcome::None;
  // The recording's values: what a field the mode does not show keeps.
  AcceptedParameters base_;
  // The values the reset flag compares against.
  int openTriggerChannel_ = 0, openTriggerEdge_ = 0, openSampleRate_ = 0, openSeconds_ = 0;
  double openTriggerLevel_ = NoValue, openTriggerDelay_ = NoValue;
};

// The delay code byte of the chosen accelerometer model (index 0: none).
int AccDelayCodeOf(const ModelLists& lists, int accModelIndex);

}  // namespace kalvex

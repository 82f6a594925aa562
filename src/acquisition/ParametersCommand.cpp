#include "acquisition/ParametersCommand.h"

#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

bool HoldsSamples(const TFrmFile& rec) {
  for (const auto& channel : rec.Channels)
    if (channel) return true;
  return false;
}

void StoreValues(const AcceptedParameters& p, const ParameterTargets& to) {
  TFrmFile& rec = to.rec;
  to.choices.TriggerChannelIndex = p.TriggerChannelIndex;
  to.choices.TriggerEdgeIndex = p.TriggerEdgeIndex;
  rec.SweepSeconds = static_cast<std::uint16_t>(p.SweepSeconds);
  rec.HoldDownWeight = p.HoldDownWeight;
  rec.ReactionMassWeight = p.ReactionMassWeight;
  rec.BaseplateWeight = p.BaseplateWeight;
  rec.MassAccSensitivity = p.MassAccSensitivity;
  rec.BaseplateAccSensitivity = p.BaseplateAccSensitivity;
  rec.TriggerLevel = p.TriggerLevel;
  rec.TriggerDelay = p.TriggerDelay;
  to.values.SampleRateIndex = p.SampleRateIndex;
  ComputeAmplitudeNorm(rec, p.SampleRateIndex);
  rec.ServoCurrentFactor = p.ServoCurrentFactor;
  rec.SourceCurrentFactor = p.SourceCurrentFactor;
  rec.TestOut = p.TestOut;
}

void StoreChoices(const AcceptedParameters& p, const ParameterTargets& to) {
  to.choices.ControlModelIndex = p.ControlModelIndex;
  to.choices.VibModelIndex = p.VibModelIndex;
  to.choices.SourceModelIndex = p.SourceModelIndex;
  to.choices.AccModelIndex = p.AccModelIndex;
  to.choices.AccDelayCode = AccDelayCodeOf(to.lists, p.AccModelIndex);
  if (to.rec.Mode == Similarity) to.rec.SimilarityChannels = p.SimilarityChannels;
  if (to.rec.Mode == Tarpokline) {
    to.rec.SourceVoltageFactor = p.SourceVoltageFactor;
    to.rec.SourceSensorFactor = p.SourceSensorFactor;
  }
}

}  // namespace

bool ApplyParameters(const AcceptedParameters& p, const ParameterTargets& to, UserInteraction& ui,
                     const ParameterWindowSteps& steps) {
  if (p.Reset && steps.anyWindow() && !ui.AskYesNo(Text(TextId::ParametersResetQuestion)))
    return false;
  TFrmFile& rec = to.rec;
  rec.ClearAnalyses();
  to.block.MarkParametersSet();
  StoreValues(p, to);

  // The dialog bounds the seconds so that the record fits.
  const std::uint16_t previousLength = rec.RecordLength;
  SetRecordLengths(rec, p.SampleRateIndex);
  if (rec.RecordLength != previousLength) steps.adaptRanges();
  StoreChoices(p, to);

  if (!p.Reset && p.PolarityPositive != rec.PolarityPositive && HoldsSamples(rec)) {
    rec.ClearAnalyses();
    rec.ApplyPolarityChange();
  }
  rec.PolarityPositive = p.PolarityPositive;

  if (p.Reset) {
    if (steps.anyAccumulating())
      steps.discardAccumulated();
    else
      steps.clearAll();
    rec.FreeChannels();
    steps.disableRecordMenus();
  } else {
    if (rec.DerivedChannel) ComputeDerivedChannel(rec, to.settings);
    rec.Modified = true;
    steps.recompute();
  }
  return true;
}

}  // namespace kalvex

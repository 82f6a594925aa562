#include "ParameterOptions.h"

#include "ModelOptions.h"
#include "acquisition/CommandBlock.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"

namespace kalvex::cli {
namespace {

// Mode 2: which similarity channels 1..5 are on (--channels-on) and which
// of them, or the reference (0), were recorded through x8 (--x8).
// The slot numbers listed in an option, each within lo..hi.
std::vector<int> SlotList(const CliArgs& args, const char* name, const char* fallback, int lo,
                          int hi) {
  std::vector<int> slots;
  for (const std::string& c : SplitList(args.Get(name, fallback))) {
    const int slot = ParseInt(c, name);
    if (slot < lo || slot > hi)
      throw CliExit{ExitUsage, std::string(name) + ": a channel is " + std::to_string(lo) + ".." +
                                   std::to_string(hi)};
    slots.push_back(slot);
  }
  return slots;
}

void ApplySimilarityChannels(const CliArgs& args, TFrmFile& rec) {
  ResetSimilarityChannels(rec);
  for (int slot : SlotList(args, "--channels-on", "1,2,3", 1, 5))
    rec.SimilarityChannels[slot].Present = true;
  if (!args.Has("--x8")) return;
  for (int slot : SlotList(args, "--x8", "", 0, 5)) rec.SimilarityChannels[slot].Attenuated = true;
}

}  // namespace

std::set<std::string> ParameterOptionNames(bool withTrigger) {
  std::set<std::string> names{"--mode",
                              "--rate-index",
                              "--seconds",
                              "--hdw",
                              "--rm",
                              "--bp",
                              "--acc-rm",
                              "--acc-bp",
                              "--servo-current",
                              "--trigger-level",
                              "--trigger-delay",
                              "--voltage",
                              "--current",
                              "--sensor",
                              "--test-out",
                              "--polarity",
                              "--comment",
                              "--channels-on",
                              "--x8"};
  if (withTrigger) names.insert({"--trigger-channel", "--trigger-edge", "--acc-delay-code"});
  names.merge(ModelOptionNames());
  return names;
}

void ApplyParameterOptions(const CliArgs& args, TFrmFile& rec, ProcessValues& values) {
  const int mode = args.GetInt("--mode", 0);
  if (mode < 0 || mode > 4) throw CliExit{ExitUsage, "--mode is 0..4"};
  rec.Mode = static_cast<std::uint8_t>(mode);
  values.CurrentMode = mode;
  values.ChannelOffset = ChannelOffsetOf(mode);
  values.SampleRateIndex = args.GetInt("--rate-index", 1);
  const int seconds = args.GetInt("--seconds", 8);
  if (seconds < 0 || seconds > 65535) throw CliExit{ExitUsage, "--seconds is 0..65535"};
  rec.SweepSeconds = static_cast<std::uint16_t>(seconds);
  // A named model fills its parameters in place of the defaults; an explicit
  // option still wins.
  const ModelFill model = ChosenModelFill(args, mode);
  rec.HoldDownWeight = args.GetInt("--hdw", model.HoldDownWeight.value_or(20000));
  rec.ReactionMassWeight = args.GetInt("--rm", model.ReactionMassWeight.value_or(4000));
  rec.BaseplateWeight = args.GetInt("--bp", model.BaseplateWeight.value_or(1800));
  rec.MassAccSensitivity = args.GetDouble("--acc-rm", model.MassAccSensitivity.value_or(100));
  rec.BaseplateAccSensitivity =
      args.GetDouble("--acc-bp", model.BaseplateAccSensitivity.value_or(100));
  rec.ServoCurrentFactor = args.GetDouble("--servo-current", model.ServoCurrentFactor.value_or(1));
  rec.TriggerLevel = args.GetDouble("--trigger-level", 1);
  rec.TriggerDelay = args.GetDouble("--trigger-delay", 0);
  rec.SourceVoltageFactor = args.GetDouble("--voltage", model.SourceVoltageFactor.value_or(1));
  rec.SourceCurrentFactor = args.GetDouble("--current", model.SourceCurrentFactor.value_or(1));
  rec.SourceSensorFactor = args.GetDouble("--sensor", model.SourceSensorFactor.value_or(1));
  rec.TestOut = args.GetDouble("--test-out", model.TestOut.value_or(1));
  const std::string polarity = args.Get("--polarity", "positive");
  if (polarity != "positive" && polarity != "negative")
    throw CliExit{ExitUsage, "--polarity must be positive or negative"};
  rec.PolarityPositive = polarity == "positive";
  rec.Comment = args.Get("--comment", "");
  ApplySimilarityChannels(args, rec);
}

void ApplyAcquisitionChoices(const CliArgs& args, const TFrmFile& rec,
                             AcquisitionChoices& choices) {
  // The mode's trigger list, as the parameters dialog offers it.
  const int lastTrigger = static_cast<int>(TriggerChannelNames(rec).size()) - 1;
  choices.TriggerChannelIndex = args.GetIntInRange("--trigger-channel", 0, lastTrigger, 0);
  // "Positive", "Negative", "Either".
  choices.TriggerEdgeIndex = args.GetIntInRange("--trigger-edge", 0, 2, 0);
  // Only the accelerometer model sets a delay code, whatever the mode; the
  // command block carries its low byte, so a model's larger code is taken as
  // that byte, while an explicit option must be a byte.
  if (args.Has("--acc-delay-code"))
    choices.AccDelayCode = args.GetIntInRange("--acc-delay-code", 0, 255, 0);
  else
    choices.AccDelayCode = ChosenModelFill(args, 0).AccDelayCode.value_or(0) & 0xFF;
}

}  // namespace kalvex::cli

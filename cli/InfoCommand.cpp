#include <iostream>

#include "CliSession.h"
#include "Commands.h"
#include "JsonWriter.h"
#include "recordings/FormatNumber.h"

namespace kalvex::cli {
namespace {

// Slots that hold channels: 0..ChannelCount-1, and the extra file channel in
// mode 4.
std::vector<int> HeldSlots(const TFrmFile& rec) {
  std::vector<int> held;
  for (int s = 0; s < ChannelCount(rec.Mode); ++s) held.push_back(s);
  if (rec.Mode == Ombrel16) held.push_back(2);
  return held;
}

bool HasDerivedChannel(const TFrmFile& rec) {
  return rec.Mode != Similarity && rec.Mode != Ombrel16 && rec.DerivedChannel;
}

template <typename Block>
void RangeFields(JsonWriter& j, const Block& b) {
  j.Key("min").Number(b.Min).Key("max").Number(b.Max).Key("count").Integer(b.Count);
}

std::string InfoJson(const CliSession& s) {
  const TFrmFile& r = s.recording;
  JsonWriter j;
  j.BeginObject();
  j.Key("mode").Integer(r.Mode).Key("modeName").String(ModeName(r.Mode));
  j.Key("recordLength").Integer(r.RecordLength).Key("sweepLength").Integer(r.SweepLength);
  j.Key("sweepSeconds").Integer(r.SweepSeconds).Key("sampleRate").Integer(r.SampleRate);
  j.Key("sampleRateIndex").Integer(s.values.SampleRateIndex);
  j.Key("equipmentIndex").Integer(s.values.EquipmentIndex);
  j.Key("comment").String(r.Comment).Key("polarityPositive").Bool(r.PolarityPositive);
  TestParametersJson(j, r);
  j.Key("amplitudeNorm").Number(r.AmplitudeNorm);
  SimilarityChannelsJson(j, r.SimilarityChannels);
  j.Key("channels").BeginArray();
  for (int slot : HeldSlots(r)) {
    j.BeginObject().Key("slot").Integer(slot).Key("name").String(r.ChannelName(r.Mode, slot));
    RangeFields(j, *r.Channels[slot]);
    j.EndObject();
  }
  j.EndArray();
  j.Key("derived");
  if (HasDerivedChannel(r)) {
    j.BeginObject().Key("name").String(r.ChannelName(r.Mode, ChannelCount(r.Mode)));
    RangeFields(j, *r.DerivedChannel);
    j.EndObject();
  } else {
    j.Null();
  }
  j.EndObject();
  return j.Text();
}

void PrintSummary(const CliSession& s, const std::string& path) {
  const TFrmFile& r = s.recording;
  auto num = [](double x) { return FormatNumber(x, 0); };
  std::cout << "File:        " << path << "\n"
            << "Mode:        " << int{r.Mode} << " " << ModeName(r.Mode) << "\n"
            << "Equipment:   " << EquipmentName(s.values.EquipmentIndex) << "\n"
            << "Record:      " << r.RecordLength << " samples per channel, sweep " << r.SweepLength
            << " samples (" << r.SweepSeconds << " s) at " << r.SampleRate << " Hz\n"
            << "Comment:     " << r.Comment << "\n"
            << "Polarity:    " << (r.PolarityPositive ? "positive" : "negative") << "\n"
            << "Weights:     HDW " << r.HoldDownWeight << " kg, BP " << r.BaseplateWeight
            << " kg, RM " << r.ReactionMassWeight << " kg\n"
            << "Trigger:     " << num(r.TriggerLevel) << " V\n"
            << "Sensors:     AccBP " << num(r.BaseplateAccSensitivity) << " mV/g, AccRM "
            << num(r.MassAccSensitivity) << " mV/g\n"
            << "Amp. norm:   " << num(r.AmplitudeNorm) << "\n"
            << "Channels:\n";
  for (int slot : HeldSlots(r)) {
    const SampleArray& b = *r.Channels[slot];
    std::cout << "  " << slot << " " << r.ChannelName(r.Mode, slot) << "  min " << b.Min << "  max "
              << b.Max << "  over " << b.Count << " samples\n";
  }
  if (HasDerivedChannel(r)) {
    const ValueArray& d = *r.DerivedChannel;
    std::cout << "  derived " << r.ChannelName(r.Mode, ChannelCount(r.Mode)) << "  min "
              << num(d.Min) << "  max " << num(d.Max) << "  over " << d.Count << " samples\n";
  }
}

}  // namespace

int RunInfo(const Words& words, const QString& executablePath) {
  auto flags = CliSession::SettingsFlags();
  flags.insert("--json");
  CliArgs args(words, CliSession::SettingsOptions(), flags);
  if (args.Positional().size() != 1)
    throw CliExit{ExitUsage, "usage: kalvex-cli info FILE [--json]"};
  CliSession session(executablePath);
  session.ApplyOptions(args);
  session.OpenFile(args.Positional()[0]);
  if (args.Has("--json")) {
    std::cout << InfoJson(session) << "\n";
  } else {
    PrintSummary(session, args.Positional()[0]);
  }
  return ExitOk;
}

}  // namespace kalvex::cli

#include "recordings/TFrmFile.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace kalvex {

namespace {
constexpr char kSignature[] = "Kalvex";
constexpr std::size_t kSignatureSize = 6;
}  // namespace

void PutSignature(std::array<std::uint8_t, FileHeaderSize>& header) {
  std::memcpy(header.data() + FileHeaderSize - kSignatureSize, kSignature, kSignatureSize);
}

bool HasSignature(const std::array<std::uint8_t, FileHeaderSize>& header) {
  return std::memcmp(header.data() + FileHeaderSize - kSignatureSize, kSignature, kSignatureSize) ==
         0;
}

void TFrmFile::CreateRecording() {
  FreeChannels();
  for (auto& table : FrameAnalyses) table.reset();
  CrossReferenceChannel = -1;
  CacheState = {};
  AmplitudeNorm = 0;
  AnalysisValid = {};
  CrossValid = {};
  Modified = false;
  Origin = OriginNone;
  RecordLength = SweepLength = SweepSeconds = SampleRate = 0;
  Comment.clear();
  PolarityPositive = true;
  HoldDownWeight = BaseplateWeight = ReactionMassWeight = -1;
  TriggerLevel = TriggerDelay = NoValue;
  BaseplateAccSensitivity = MassAccSensitivity = NoValue;
  ServoCurrentFactor = 0;
  SourceVoltageFactor = SourceCurrentFactor = SourceSensorFactor = NoValue;
  TestOut = 1.0;
  SimilarityChannels = {};
  FileHeader = {};
  PutSignature(FileHeader);
  Mode = NoSignal;
  Name.clear();
}

void ResetSimilarityChannels(TFrmFile& rec) {
  rec.SimilarityChannels[0] = {true, false, "REF"};
  for (int i = 1; i <= 5; ++i)
    rec.SimilarityChannels[i] = {false, false, std::string("CH").append(std::to_string(i))};
}

void PrepareStartupRecording(TFrmFile& rec) {
  rec.Mode = Velnarund;
  ResetSimilarityChannels(rec);
}

void TFrmFile::ClearAnalyses() {
  for (int slot = 0; slot < MaxChannelSlots; ++slot) {
    if (!FrameAnalyses[slot]) continue;
    FrameAnalyses[slot].reset();
    AnalysisValid[slot] = false;
    CrossValid[slot] = false;
  }
  CacheState = {};
  InvalidateCross(-1);
}

void TFrmFile::InvalidateCross(int channel) {
  if (channel >= 0 && channel == CrossReferenceChannel) return;
  CrossReferenceChannel = channel;
  CrossValid = {};
}

void TFrmFile::FreeChannelsFrom(int slot) {
  for (int s = std::max(slot, 0); s < MaxChannelSlots; ++s) Channels[s].reset();
}

void TFrmFile::FreeChannels() {
  for (auto& block : Channels) block.reset();
  DerivedChannel.reset();
}

void TFrmFile::ApplyPolarityChange() {
  // Every held block, not only the mode's channels: reading negated mode 4's
  // spare file channel too, and a re-save writes it back.
  for (int slot = 1; slot < MaxChannelSlots; ++slot)
    if (Channels[slot]) NegateSamples(*Channels[slot], SweepLength);
}

std::string TFrmFile::ChannelName(int mode, int channel) const {
  static constexpr const char* velnarund[] = {"REF", "Currrent", "Valve", "Mass", "RM", "BP", "GF"};
  static constexpr const char* tarpokline[] = {"REF", "Voltage", "Current", "Sensor",
                                               "RM",  "BP",      "GF"};
  static constexpr const char* dodida[] = {"REF", "RM", "BP", "GF"};
  static constexpr const char* ombrel[] = {"REF", "VIB"};
  auto pick = [channel](const auto& names) -> std::string {
    return channel >= 0 && channel < static_cast<int>(std::size(names)) ? names[channel] : "";
  };
  switch (mode % 128) {
    case Velnarund:
      return pick(velnarund);
    case Tarpokline:
      return pick(tarpokline);
    case Similarity:
      if (channel == 6) return "Average";
      return channel >= 0 && channel < 6 ? SimilarityChannels[channel].Name : "";
    case Dodida:
      return pick(dodida);
    case Ombrel16:
      return pick(ombrel);
    default:
      return "";
  }
}

int TFrmFile::AttenuationDivisor(int channel) const {
  return channel >= 0 && channel < 6 && SimilarityChannels[channel].Attenuated ? 8 : 1;
}

namespace {

std::string Pick(std::initializer_list<const char*> labels, int unitCode) {
  if (unitCode < 0 || unitCode >= static_cast<int>(labels.size())) return "";
  return labels.begin()[unitCode];
}

std::string AccelerometerUnit(int unitCode) {
  return Pick({"V", "g", "T", "Lbs", "kN"}, unitCode);
}
std::string ForceUnit(int unitCode) {
  return Pick({"T", "Lbs", "kN"}, unitCode);
}

}  // namespace

std::string UnitName(int mode, int channel, int unitCode) {
  switch (mode % 128) {
    case Velnarund:
    case Tarpokline: {
      bool velnarund = mode % 128 == Velnarund;
      if (channel == 0) return "V";
      if (channel == 4 || channel == 5) return AccelerometerUnit(unitCode);
      if (channel == 6) return ForceUnit(unitCode);
      if (velnarund) return Pick({"V", channel == 1 ? "mA" : "mm"}, unitCode);
      if (channel == 3) return "V";
      return Pick({"V", channel == 1 ? "kV" : "kA"}, unitCode);
    }
    case Similarity:
      if (channel == 0 || unitCode == 0) return "V";
      return Pick({"V", "T", "Lbs", "kN"}, unitCode);
    case Dodida:
      if (channel == 0) return "V";
      return channel == 3 ? ForceUnit(unitCode) : AccelerometerUnit(unitCode);
    case Ombrel16:
      if (channel == 0) return "V";
      return Pick({"T", "Lbs", "kN", "V"}, unitCode);
    default:
      return "";
  }
}

}  // namespace kalvex

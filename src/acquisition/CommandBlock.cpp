#include "acquisition/CommandBlock.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

// The slot numbers 1..5 of the switched-on similarity channels, in order.
std::vector<int> SlotsOn(const TFrmFile& rec) {
  std::vector<int> slots;
  for (int i = 1; i <= 5; ++i)
    if (rec.SimilarityChannels[i].Present) slots.push_back(i);
  return slots;
}

int NthSlot(const std::vector<int>& slots, int n) {
  return n >= 1 && n <= static_cast<int>(slots.size()) ? slots[n - 1] : 0;
}

std::uint8_t SimilarityMask(const TFrmFile& rec) {
  std::uint8_t mask = rec.SimilarityChannels[0].Attenuated ? 1 : 0;
  for (int i = 1; i <= 5; ++i)
    if (rec.SimilarityChannels[i].Present && rec.SimilarityChannels[i].Attenuated) mask |= 1 << i;
  return mask;
}

std::uint8_t TriggerCode(const TFrmFile& rec, int index) {
  static constexpr std::uint8_t sixChannel[] = {2, 5, 0, 1, 3, 4, 8};
  static constexpr std::uint8_t dodida[] = {2, 0};
  switch (rec.Mode) {
    case Velnarund:
    case Tarpokline:
      return index >= 0 && index < 7 ? sixChannel[index] : 0;
    case Similarity:
      return static_cast<std::uint8_t>(NthSlot(SlotsOn(rec), index));
    case Dodida:
      return index >= 0 && index < 2 ? dodida[index] : 0;
    default:
      return 0;
  }
}

std::uint8_t EdgeCode(int index) {
  static constexpr std::uint8_t codes[] = {0x01, 0xFF, 0x00};
  return index >= 0 && index < 3 ? codes[index] : 0x00;
}

// Nearest integer, ties to even, kept to its low 16 bits (two's complement).
std::uint16_t Low16(double x) {
  const double r = std::nearbyint(x);
  const long long v = std::isfinite(r) ? static_cast<long long>(std::fmod(r, 65536.0)) : 0;
  return static_cast<std::uint16_t>(v & 0xFFFF);
}

void PutU16(CommandBlock& b, int at, std::uint16_t v) {
  b.Bytes[at] = static_cast<std::uint8_t>(v >> 8);
  b.Bytes[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

void PutU32(CommandBlock& b, int at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b.Bytes[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
}

// Input map bytes 9..14 by mode.
std::array<std::uint8_t, 6> InputMap(const TFrmFile& rec) {
  switch (rec.Mode) {
    case Velnarund:
    case Tarpokline:
      return {2, 4, 3, 0, 1, 5};
    case Dodida:
      return {2, 4, 3, 0, 0, 0};
    case Ombrel16:
      return {0, 1, 0, 0, 0, 0};
    default: {
      const auto slots = SlotsOn(rec);
      std::array<std::uint8_t, 6> map{0};
      for (int n = 1; n <= 5; ++n) map[n] = static_cast<std::uint8_t>(NthSlot(slots, n));
      return map;
    }
  }
}

}  // namespace

std::vector<std::string> TriggerChannelNames(const TFrmFile& rec) {
  switch (rec.Mode) {
    case Velnarund:
      return {"REF", "Drv", "Current", "Valve", "RM", "BP", "Ext"};
    case Tarpokline:
      return {"REF", "Voltage", "Current", "Sensor", "RM", "BP", "Ext"};
    case Similarity: {
      std::vector<std::string> names{"REF"};
      for (int slot : SlotsOn(rec)) names.push_back(rec.SimilarityChannels[slot].Name);
      return names;
    }
    case Dodida:
      return {"REF", "T.B."};
    default:
      return {"REF"};
  }
}

void ForgetModelSelections(AcquisitionChoices& choices) {
  choices.VibModelIndex = choices.AccModelIndex = -1;
  choices.ControlModelIndex = choices.SourceModelIndex = -1;
  choices.AccDelayCode = 0;
}

bool BuildCommandBlock(CommandBlock& block, const TFrmFile& rec, const ProcessValues& values,
                       const AcquisitionChoices& choices, UserInteraction& ui) {
  if (!block.ParametersSet()) {
    ui.ShowInformation(Text(TextId::ParametersNotSet));
    return false;
  }
  const int k = values.SampleRateIndex;
  if (!RecordFits(k, rec.SweepSeconds)) {
    ui.ShowError(Text(k < 0 || k > 4 ? TextId::BadTimeInterval : TextId::RecordTooLong));
    return false;
  }
  const bool sixChannel = rec.Mode == Velnarund || rec.Mode == Tarpokline;
  const bool withAccelerometers = sixChannel || rec.Mode == Dodida;
  block.Bytes[0] = 0xCC;
  block.Bytes[1] = 0xA5;
  PutU16(block, 2, static_cast<std::uint16_t>(1840 >> k));
  const long samples = (500L << k) * rec.SweepSeconds + 500;
  PutU32(block, 4, static_cast<std::uint32_t>(samples));
  block.Bytes[8] = static_cast<std::uint8_t>(rec.Mode == Similarity ? 1 + SlotsOn(rec).size()
                                                                    : ChannelCount(rec.Mode));
  const auto map = InputMap(rec);
  std::copy(map.begin(), map.end(), block.Bytes.begin() + 9);
  block.Bytes[15] = withAccelerometers ? static_cast<std::uint8_t>(choices.AccDelayCode & 0xFF) : 0;
  block.Bytes[16] = rec.Mode == Velnarund                            ? 25
                    : (rec.Mode == Tarpokline || rec.Mode == Dodida) ? 24
                    : rec.Mode == Similarity                         ? SimilarityMask(rec)
                                                                     : 0;
  block.Bytes[17] = TriggerCode(rec, choices.TriggerChannelIndex);
  block.Bytes[18] = EdgeCode(choices.TriggerEdgeIndex);
  PutU16(block, 19, Low16(3276.7 * rec.TriggerLevel));
  PutU16(block, 21, Low16(500.0 * rec.TriggerDelay * (1 << k)));
  return true;
}

std::string CommandBlockText(const CommandBlock& block) {
  std::string text;
  for (int line = 0; line < CommandBlockSize; line += 8) {
    char offset[8];
    std::snprintf(offset, sizeof offset, "%04X", line);
    std::string groups[2];
    for (int i = line; i < std::min(line + 8, CommandBlockSize); ++i) {
      char byte[4];
      std::snprintf(byte, sizeof byte, "%02X", block.Bytes[i]);
      groups[i - line < 4 ? 0 : 1] += byte;
    }
    text += std::string(offset) + ":  " + groups[0] + " " + groups[1] + "\n";
  }
  return text;
}

}  // namespace kalvex

#pragma once
// The 23-byte command that starts a record on the acquisition unit, built
// from the recording's parameters. Multi-byte fields are big-endian. Its first
// byte doubles as the parameters-set marker: 0xFF until the parameters have
// been entered once.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct ProcessValues;

inline constexpr int CommandBlockSize = 23;
inline constexpr std::uint8_t ParametersNotSet = 0xFF;

// The process-wide choices of the parameters dialog: trigger, and the entries
// chosen in the four model lists (0 or -1: none; k: the list's k-th entry).
struct AcquisitionChoices {
  int TriggerChannelIndex = 0;
  int TriggerEdgeIndex = 0;  // 0 "Positive", 1 "Negative", 2 "Either"
  int AccDelayCode = 0;  // "Код задержки" of the chosen accelerometer model, 0 for none
  int VibModelIndex = 0;
  int AccModelIndex = 0;
  int ControlModelIndex = 0;
  int SourceModelIndex = 0;
};

// A file was opened: no model entry is chosen any more, and the delay code
// goes with the accelerometer entry.
void ForgetModelSelections(AcquisitionChoices& choices);

struct CommandBlock {
  std::array<std::uint8_t, CommandBlockSize> Bytes{ParametersNotSet};
  bool ParametersSet() const { return Bytes[0] != ParametersNotSet; }
  void MarkParametersSet() { Bytes[0] = 0; }
};

// Fills the block from the recording; refuses with "Параметры не заданы"
// while the parameters were never set, and (without touching the block) a
// record longer than 65 535 samples.
bool BuildCommandBlock(CommandBlock& block, const TFrmFile& rec, const ProcessValues& values,
                       const AcquisitionChoices& choices, UserInteraction& ui);

// The trigger channel names of a mode ("REF" and the switched-on slots in
// mode 2).
std::vector<std::string> TriggerChannelNames(const TFrmFile& rec);

// The block as the "Командный файл" dialog shows it: lines of 8 bytes,
// "0000:  CCA50073 00007EF4".
std::string CommandBlockText(const CommandBlock& block);

}  // namespace kalvex

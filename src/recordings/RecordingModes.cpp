#include "recordings/RecordingModes.h"

#include "shell/TextCatalogue.h"

namespace kalvex {

int ChannelCount(int mode) {
  switch (mode) {
    case Velnarund:
    case Tarpokline:
    case Similarity:
      return 6;
    case Dodida:
      return 3;
    case Ombrel16:
      return 2;
    default:
      return 0;
  }
}

int RmChannelIndex(int mode) {
  if (mode == Velnarund || mode == Tarpokline) return 4;
  return mode == Dodida ? 1 : -1;
}

int BpChannelIndex(int mode) {
  if (mode == Velnarund || mode == Tarpokline) return 5;
  return mode == Dodida ? 2 : -1;
}

std::string_view ModeName(int mode) {
  static constexpr std::string_view names[] = {"Velnarund", "Tarpokline", "Similarity", "Dodida",
                                               "Ombrel16"};
  return mode >= 0 && mode < 5 ? names[mode] : std::string_view{};
}

int FileChannelCount(int mode) {
  return mode == Ombrel16 ? 3 : ChannelCount(mode);
}

namespace {
// File mode code → recording mode.
constexpr int kModeOfFileCode[] = {Dodida, Ombrel16, Velnarund, Tarpokline, Similarity};
}  // namespace

std::optional<int> ModeFromFileCode(std::uint8_t code) {
  if (code >= std::size(kModeOfFileCode)) return std::nullopt;
  return kModeOfFileCode[code];
}

std::uint8_t FileCodeOfMode(int mode) {
  for (std::uint8_t code = 0; code < std::size(kModeOfFileCode); ++code)
    if (kModeOfFileCode[code] == mode) return code;
  return 0xFF;
}

std::string_view EquipmentName(int equipmentIndex) {
  return Text(equipmentIndex == 0 ? TextId::EquipmentQuorimeter : TextId::EquipmentNotebookMarlo);
}

}  // namespace kalvex

#include "acquisition/EquipmentDialog.h"

#include <charconv>

#include "acquisition/SerialLink.h"
#include "recordings/RecordingModes.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

constexpr int kQuorimeter = 0;
constexpr int kNotebookMarlo = 1;

// The number after "COM" (up to six characters); 0 when there is none.
int PortNumberOfEntry(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
  const std::string digits = name.substr(3, 6);
  int n = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return error == std::errc() && end == digits.data() + digits.size() && n > 0 ? n : 0;
}

}  // namespace

std::vector<std::string> BaudItems() {
  return {Text(TextId::Baud115200), Text(TextId::Baud57600)};
}

EquipmentDialog::EquipmentDialog(const EquipmentChoice& current, bool mandatory, SerialLink& link)
    : equipment_(current.EquipmentIndex != 0 ? kNotebookMarlo : kQuorimeter),
      mode_(current.Mode >= 0 && current.Mode < ModeCount ? current.Mode : -1),
      // A stored index the hidden choice does not hold falls back to its first item.
      baudIndex_(current.BaudIndex == 1 ? 1 : 0),
      mandatory_(mandatory) {
  for (const std::string& name : link.ProbePorts()) {
    const std::string where = link.PortDescription(name);
    ports_.push_back({name, where.empty() ? name : name + "  " + where});
  }
  const std::string usb = Text(TextId::PortUsb);
  ports_.push_back({usb, usb});

  if (current.PortNumber == 0) {
    portIndex_ = static_cast<int>(ports_.size()) - 1;
  } else if (current.PortNumber > 0) {
    const std::string wanted = PortNameOf(current.PortNumber);
    for (std::size_t i = 0; i + 1 < ports_.size(); ++i)
      if (ports_[i].name == wanted) portIndex_ = static_cast<int>(i);
  }
}

bool EquipmentDialog::ModeEnabled(int mode) const {
  if (mode < 0 || mode >= ModeCount) return false;
  // The Quorimeter records every mode; the notebook unit only the two modes
  // of its own channel layouts.
  return equipment_ == kQuorimeter || mode == Dodida || mode == Ombrel16;
}

void EquipmentDialog::ClickEquipment(int index) {
  if (index < 0 || index >= EquipmentCount) return;
  equipment_ = index;
  // The notebook unit cannot record the first three modes; with the
  // Quorimeter every mode stays, and only a missing one is filled in.
  if (equipment_ == kNotebookMarlo ? mode_ < Dodida : mode_ < 0) mode_ = Dodida;
}

void EquipmentDialog::ClickMode(int mode) {
  if (ModeEnabled(mode)) mode_ = mode;
}

void EquipmentDialog::SelectPort(int index) {
  if (index >= -1 && index < static_cast<int>(ports_.size())) portIndex_ = index;
}

void EquipmentDialog::SelectBaud(int index) {
  if (index == 0 || index == 1) baudIndex_ = index;
}

std::optional<EquipmentChoice> EquipmentDialog::Accept(UserInteraction& ui) const {
  if (portIndex_ < 0) {
    ui.ShowError(Text(TextId::SetPortInDialog));
    return std::nullopt;
  }
  if (mode_ < 0) {
    ui.ShowError(Text(TextId::SetModeInDialog));
    return std::nullopt;
  }
  EquipmentChoice choice;
  choice.EquipmentIndex = equipment_;
  choice.Mode = mode_;
  const bool usb = portIndex_ == static_cast<int>(ports_.size()) - 1;
  choice.PortNumber = usb ? 0 : PortNumberOfEntry(ports_[portIndex_].name);
  choice.BaudIndex = baudIndex_;
  return choice;
}

}  // namespace kalvex

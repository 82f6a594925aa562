#pragma once
// The "Аппаратурные режимы" dialog without its widgets: the equipment, the
// recording mode with the rules that tie it to the equipment, the port list
// taken from the serial link, the hidden baud choice, and what "Да" checks.
// It serves the mandatory prompt after start-up and the menu "Аппаратура" →
// "Режимы"; what follows an accepted choice is EquipmentCommand.

#include <optional>
#include <string>
#include <vector>

#include "acquisition/EquipmentChoice.h"

namespace kalvex {

class SerialLink;
class UserInteraction;

// One entry of the port list: the port name ("COM3", or "USB" last) and the
// text shown for it (the name, with the device it leads to beside it where
// the platform knows one: "COM3  /dev/ttyUSB0").
struct PortEntry {
  std::string name;
  std::string label;
};

class EquipmentDialog {
 public:
  static constexpr int HelpTopic = 150;
  static constexpr int ModeCount = 5;
  static constexpr int EquipmentCount = 2;

  // Shows `current`: its equipment with the enabling rules, its mode (also a
  // mode that cannot be chosen with that equipment), its baud choice, and the
  // ports the link finds free now followed by "USB", with "COM" n chosen when
  // listed (none otherwise) and "USB" for port 0.
  EquipmentDialog(const EquipmentChoice& current, bool mandatory, SerialLink& link);

  int Equipment() const { return equipment_; }
  // A click on an equipment button (also the one already chosen): the mode
  // buttons follow the equipment, and a mode the equipment cannot record
  // gives way to "Dodida".
  void ClickEquipment(int index);

  bool ModeEnabled(int mode) const;
  // The mode of the button last chosen; -1 for none.
  int Mode() const { return mode_; }
  // A click on a mode button; a disabled one changes nothing.
  void ClickMode(int mode);

  const std::vector<PortEntry>& Ports() const { return ports_; }
  // The chosen entry of the port list; -1 for none.
  int PortIndex() const { return portIndex_; }
  void SelectPort(int index);

  int BaudIndex() const { return baudIndex_; }
  void SelectBaud(int index);

  bool Mandatory() const { return mandatory_; }
  // Whether the dialog may end without "Да" ("Отменить", Esc, the close box):
  // never for the mandatory prompt.
  bool MayCancel() const { return !mandatory_; }

  // "Да": without a chosen port "Установите порт!", without a mode
  // "Установите режим!" (the dialog stays open: nullopt); otherwise the
  // choice.
  std::optional<EquipmentChoice> Accept(UserInteraction& ui) const;

 private:
  int equipment_ = 0;
  int mode_ = -1;
  std::vector<PortEntry> ports_;
  int portIndex_ = -1;
  int baudIndex_ = 0;
  bool mandatory_ = false;
};

// The items of the hidden baud choice, in BaudIndex order.
std::vector<std::string> BaudItems();

}  // namespace kalvex

#pragma once
// The "Аппаратурные режимы" dialog on screen: the widgets of the core's
// EquipmentDialog (equipment, modes, port list, the hidden baud choice). Each
// click goes to the model and the widgets then show what it made of it. The
// mandatory prompt after start-up has no close box, "Отменить" disabled, and
// refuses Esc and closing: only "Да" ends it.

#include <QDialog>
#include <array>
#include <optional>

#include "acquisition/EquipmentDialog.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace kalvex {

class SerialLink;
class UserInteraction;

class TFHardw : public QDialog {
  Q_OBJECT
 public:
  // Probes the link's ports at once.
  TFHardw(const EquipmentChoice& current, bool mandatory, SerialLink& link, UserInteraction& ui,
          QWidget* parent = nullptr);

  // The accepted choice; nullopt until "Да" was accepted.
  const std::optional<EquipmentChoice>& Result() const { return result_; }

  const EquipmentDialog& Model() const { return model_; }
  QRadioButton* EquipmentButton(int index) const { return equipment_[index]; }
  QRadioButton* ModeButton(int mode) const { return modes_[mode]; }
  QComboBox* PortList() const { return ports_; }
  QComboBox* BaudList() const { return baud_; }
  QPushButton* CancelButton() const { return cancel_; }

 public slots:
  void accept() override;
  // Refused in the mandatory prompt.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ShowModel();

  EquipmentDialog model_;
  UserInteraction& ui_;
  std::array<QRadioButton*, EquipmentDialog::EquipmentCount> equipment_{};
  std::array<QRadioButton*, EquipmentDialog::ModeCount> modes_{};
  QComboBox* ports_ = nullptr;
  QComboBox* baud_ = nullptr;
  QPushButton* cancel_ = nullptr;
  std::optional<EquipmentChoice> result_;
};

// Shows the dialog modally over `parent` with the ports `link` finds free;
// the accepted choice, or nullopt when it was cancelled (never for the
// mandatory prompt).
std::optional<EquipmentChoice> SelectEquipment(QWidget* parent, const EquipmentChoice& current,
                                               bool mandatory, SerialLink& link,
                                               UserInteraction& ui);

}  // namespace kalvex

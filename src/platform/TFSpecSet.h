#pragma once
// The "Специальные настройки" dialog (Ctrl+P): the widgets of the core's
// SpecialSettingsDialog. Leaving "Канал 1:" with a coefficient out of range
// shows the error box; "Да" refuses (and keeps the dialog open) while a
// coefficient is out of range, else writes the store and closes. The record
// is left to ApplySpecialSettings, which the caller runs on the result.

#include <QDialog>
#include <array>
#include <optional>

#include "shell/SpecialSettingsDialog.h"

class QRadioButton;

namespace kalvex {

class SettingsStore;
class TEditDig;
class UserInteraction;

class TFSpecSet : public QDialog {
  Q_OBJECT
 public:
  TFSpecSet(const ProgramSettings& settings, SettingsStore& store, UserInteraction& ui,
            QWidget* parent = nullptr);

  // The accepted values; nothing when the dialog was cancelled or its frame
  // or step was refused.
  const std::optional<SpecialSettings>& Result() const { return result_; }

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadFields();

  SettingsStore& store_;
  UserInteraction& ui_;
  SpecialSettingsDialog model_;
  TEditDig* timeout1_ = nullptr;
  TEditDig* timeout2_ = nullptr;
  TEditDig* frame_ = nullptr;
  TEditDig* step_ = nullptr;
  std::array<QRadioButton*, 3> inputSize_{};
  std::array<TEditDig*, 6> channels_{};
  std::optional<SpecialSettings> result_;
  bool checkingFirstChannel_ = false;
};

// Shows the dialog modally over `parent`. The accepted values (already
// written to the store) or nothing; on a result the caller runs
// ApplySpecialSettings(result, settings, recording, values, steps)
// (graphs/SpecialSettingsFollowUp.h).
std::optional<SpecialSettings> EditSpecialSettings(QWidget* parent, const ProgramSettings& settings,
                                                   SettingsStore& store, UserInteraction& ui);

}  // namespace kalvex

#pragma once
// The "Настройки" dialog (menu "Файл" → "Настройки", F9): the widgets of the
// core's GeneralSettingsDialog. "Да" hands the fields to the model, which
// writes the store, updates the record and has every graph window redrawn.

#include <QDialog>

#include "shell/GeneralSettingsDialog.h"
#include "shell/SettingsWindowSteps.h"

class QCheckBox;
class QComboBox;

namespace kalvex {

class SettingsStore;
class TEditDig;
class UserInteraction;
struct ProgramSettings;

class TFSet : public QDialog {
  Q_OBJECT
 public:
  TFSet(ProgramSettings& settings, SettingsStore& store, UserInteraction& ui,
        SettingsWindowSteps steps, QWidget* parent = nullptr);

  // Whether "Да" was pressed and the model accepted the fields.
  bool Accepted() const { return accepted_; }

 public slots:
  // "Да": the dialog closes; it counts as accepted only when both floors are
  // integers.
  void accept() override;

 private:
  ProgramSettings& settings_;
  SettingsStore& store_;
  SettingsWindowSteps steps_;
  GeneralSettingsDialog model_;
  TEditDig* minSpectrum_ = nullptr;
  TEditDig* minCorrelation_ = nullptr;
  QCheckBox* noSaveConfirmation_ = nullptr;
  QComboBox* language_ = nullptr;
  bool accepted_ = false;
};

// Shows the dialog modally over `parent`; true when it was accepted (the
// record and the store then hold the new values and the windows were
// redrawn through `steps`).
bool EditGeneralSettings(QWidget* parent, ProgramSettings& settings, SettingsStore& store,
                         UserInteraction& ui, const SettingsWindowSteps& steps);

}  // namespace kalvex

#pragma once
// The acquisition parameters dialog ("Аппаратура" → "Параметры") on screen:
// the widgets of the core's ParametersDialog in two columns of framed groups.
// Every typed change, every field left and every choice goes to the model,
// and the widgets then show what the model made of it (corrections, model
// values, locked fields).

#include <QDialog>
#include <array>
#include <optional>

#include "acquisition/ParametersDialog.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;

namespace kalvex {

class TEditDig;
class UserInteraction;

class TFParms : public QDialog {
  Q_OBJECT
 public:
  TFParms(ParametersDialog& model, UserInteraction& ui, QWidget* parent = nullptr);

  // The values of an accepted dialog; nullopt when cancelled or when a text
  // did not convert.
  const std::optional<AcceptedParameters>& Result() const { return result_; }

  TEditDig* FieldWidget(ParamField field) const { return fields_[static_cast<int>(field)]; }
  QComboBox* ListWidget(ParamChoice choice) const { return lists_[static_cast<int>(choice)]; }
  // The switch, name and "x8" box of a channel table row (mode 2).
  QCheckBox* ChannelSwitch(int channel) const { return rows_[channel].on; }
  QLineEdit* ChannelName(int channel) const { return rows_[channel].name; }
  QCheckBox* ChannelX8(int channel) const { return rows_[channel].x8; }

 public slots:
  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    QCheckBox* on = nullptr;
    QLineEdit* name = nullptr;
    QCheckBox* x8 = nullptr;
  };

  QGroupBox* Group(ParamGroup group);
  void AddField(ParamField field, QGridLayout& grid, int& row);
  void AddList(ParamChoice choice, QGridLayout& grid, int& row);
  QWidget* ChannelTable();
  // Every widget shows the model again (texts, locks, choices, rows).
  void ShowModel();

  ParametersDialog& model_;
  UserInteraction& ui_;
  std::array<TEditDig*, static_cast<int>(ParamField::Count)> fields_{};
  std::array<QComboBox*, static_cast<int>(ParamChoice::Count)> lists_{};
  std::array<Row, 6> rows_{};
  std::optional<AcceptedParameters> result_;
  bool showing_ = false;
};

// Shows the dialog modally; the accepted values, or nullopt.
std::optional<AcceptedParameters> EditParameters(QWidget* parent, ParametersDialog& model,
                                                 UserInteraction& ui);

}  // namespace kalvex

#pragma once
// "Импорт SEG-Y…": which trace of the file becomes which channel of the
// chosen mode, with a factor per channel; in Similarity the channels besides
// the reference are named here. A file the program wrote starts mapped by
// its channel numbers, any other file by channel names where they match,
// else trace by trace in order.

#include <QDialog>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "segy/SegyImage.h"

class QComboBox;
class QGridLayout;
class QLineEdit;

namespace kalvex {

class UserInteraction;

class SegyImportDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int HelpTopic = 180;

  SegyImportDialog(const SegyImage& image, const std::string& fileName, int mode,
                   UserInteraction& ui, QWidget* parent);

  int Mode() const;
  void SetMode(int mode);
  // The channels with their 1-based traces (unassigned rows left out), and
  // the factor of each chosen trace (0-based), as the dialog holds them.
  std::vector<std::pair<std::string, int>> Pairs() const;
  std::map<int, double> Scales() const;
  // A row's trace choice: 0 none, k the k-th trace.
  void ChooseTrace(int row, int trace);

 protected:
  // Checks the assignment; a refusal is said and the dialog stays.
  void accept() override;

 private:
  struct Row {
    QLineEdit* name = nullptr;  // Similarity channels 1..5; else the label's text
    std::string fixedName;
    QComboBox* trace = nullptr;
    QLineEdit* factor = nullptr;
  };
  void BuildRows();
  void Prefill();

  const SegyImage& image_;
  UserInteraction& ui_;
  QComboBox* mode_;
  QGridLayout* grid_;
  std::vector<Row> rows_;
};

}  // namespace kalvex

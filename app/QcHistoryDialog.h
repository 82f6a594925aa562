#pragma once
// "Файл" → "История QC…": the vibrators of the QC history with their latest
// verdict and drift, and the chosen vibrator's figures over the days, drawn
// by the graph windows' renderer. "Переименовать…" corrects the vibrator a
// judgement was kept under.

#include <QDialog>
#include <QWidget>
#include <string>
#include <vector>

#include "qc/QcHistory.h"

class QTableWidget;
class QLabel;

namespace kalvex {

class QcHistoryKeeper;
class UserInteraction;

// One vibrator's history plot, redrawn at the widget's size.
class HistoryPlotWidget : public QWidget {
  Q_OBJECT
 public:
  explicit HistoryPlotWidget(QWidget* parent);
  void Show(std::string vibrator, std::vector<DailyFigure> daily, std::vector<DriftLine> drift);
  const std::string& Vibrator() const { return vibrator_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string vibrator_;
  std::vector<DailyFigure> daily_;
  std::vector<DriftLine> drift_;
};

class QcHistoryDialog : public QDialog {
  Q_OBJECT
 public:
  QcHistoryDialog(QcHistoryKeeper& keeper, UserInteraction& ui, QWidget* parent);

  // Reads the history again; false (with the reason said) when it cannot.
  bool Reload();
  // Puts vibrator `from` under the name `to`, then reads again.
  void Rename(const std::string& from, const std::string& to);
  QTableWidget& Table() { return *table_; }
  HistoryPlotWidget& Plot() { return *plot_; }

 private:
  void AskRename();
  void ShowChosen();

  QcHistoryKeeper& keeper_;
  UserInteraction& ui_;
  QTableWidget* table_;
  QLabel* note_;
  HistoryPlotWidget* plot_;
  std::vector<VibratorVerdict> vibrators_;
  std::vector<DailyFigure> daily_;
  std::vector<DriftLine> drift_;
};

}  // namespace kalvex

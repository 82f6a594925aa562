#pragma once
// The status bar's progress panel: draws the progress indicator's value as a
// bar, a blank panel or the seconds left.

#include <QWidget>

namespace kalvex {

class ProgressPanelWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressPanelWidget(int width, QWidget* parent = nullptr);

  int Value() const { return value_; }
  // A new indicator value; the panel repaints.
  void SetValue(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int value_;
};

}  // namespace kalvex

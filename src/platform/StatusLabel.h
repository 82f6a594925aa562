#pragma once
// The status bar's text panel: a text longer than the panel is shown with its
// middle left out ("/home/…/report1.pdf"), so that both the start and the file
// name stay readable, and the whole text is the panel's tooltip.

#include <QLabel>

namespace kalvex {

class StatusLabel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kalvex

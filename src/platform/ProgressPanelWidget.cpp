#include "platform/ProgressPanelWidget.h"

#include <QPainter>

#include "acquisition/ProgressPanel.h"

namespace kalvex {

ProgressPanelWidget::ProgressPanelWidget(int width, QWidget* parent)
    : QWidget(parent), value_(ProgressUnset) {
  setFixedWidth(width);
}

void ProgressPanelWidget::SetValue(int value) {
  value_ = value;
  update();
}

void ProgressPanelWidget::paintEvent(QPaintEvent*) {
  const ProgressPanelLook look = LookOfProgress(value_, width());
  QPainter painter(this);
  switch (look.kind) {
    case ProgressPanelLook::Nothing:
      return;
    case ProgressPanelLook::Bar:
      painter.fillRect(0, 0, look.barWidth, height(), QColor(0, 64, 128));
      return;
    case ProgressPanelLook::Blank:
    case ProgressPanelLook::SecondsLeft:
      painter.fillRect(rect(), palette().color(QPalette::Button));
      painter.setPen(Qt::black);
      if (!look.text.empty())
        painter.drawText(10, 1 + painter.fontMetrics().ascent(), QString::fromStdString(look.text));
      return;
  }
}

}  // namespace kalvex

#include "platform/StatusLabel.h"

#include <QPainter>

namespace kalvex {

void StatusLabel::paintEvent(QPaintEvent*) {
  const QString full = text();
  const QRect room = contentsRect();
  const QString shown = fontMetrics().elidedText(full, Qt::ElideMiddle, room.width());
  setToolTip(shown == full ? QString() : full);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(room, static_cast<int>(alignment()), shown);
}

}  // namespace kalvex

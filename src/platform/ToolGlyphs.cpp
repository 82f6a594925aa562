#include "platform/ToolGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

namespace kalvex {

namespace {

// Each glyph is drawn on a 16 × 16 grid.
using Drawing = std::function<void(QPainter&)>;

void Arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
  const QPointF n(-d.y(), d.x());
  p.drawLine(to, to - 3 * d + 3 * n);
  p.drawLine(to, to - 3 * d - 3 * n);
}

void Wave(QPainter& p, double y, double amplitude) {
  QPainterPath path;
  path.moveTo(2, y);
  for (int x = 2; x <= 14; ++x) path.lineTo(x, y - amplitude * std::sin((x - 2) * 0.9));
  p.drawPath(path);
}

const std::map<QString, Drawing>& Drawings() {
  static const std::map<QString, Drawing> drawings = {
      {"SpeedButton7",  // the whole graph
       [](QPainter& p) {
         p.drawRect(QRectF(1.5, 3.5, 13, 9));
         Arrow(p, {8, 8}, {3, 8});
         Arrow(p, {8, 8}, {13, 8});
       }},
      {"SpeedButton3",  // vertical zoom
       [](QPainter& p) {
         Arrow(p, {8, 8}, {8, 1.5});
         Arrow(p, {8, 8}, {8, 14.5});
         p.drawLine(QPointF(4, 8), QPointF(12, 8));
       }},
      {"SpeedButton5",  // horizontal zoom, left end fixed
       [](QPainter& p) {
         p.drawLine(QPointF(2.5, 3), QPointF(2.5, 13));
         Arrow(p, {3, 8}, {14, 8});
       }},
      {"SpeedButton4",  // horizontal zoom, right end fixed
       [](QPainter& p) {
         p.drawLine(QPointF(13.5, 3), QPointF(13.5, 13));
         Arrow(p, {13, 8}, {2, 8});
       }},
      {"SpeedButton9",  // zoom by clicks: a lens
       [](QPainter& p) {
         p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
         p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
         p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
         p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
       }},
      {"SpeedButton8",  // common axis: curves over one axis
       [](QPainter& p) {
         p.drawLine(QPointF(1.5, 1), QPointF(1.5, 15));
         Wave(p, 8, 4);
         Wave(p, 8, -2);
       }},
      {"SpeedButton2",  // separate axes: one band per curve
       [](QPainter& p) {
         p.drawLine(QPointF(1.5, 1), QPointF(1.5, 15));
         Wave(p, 4, 2);
         Wave(p, 12, 2);
         p.drawLine(QPointF(0, 8), QPointF(4, 8));
       }},
      {"SpeedButton1",  // accumulation: curves stacked on each other
       [](QPainter& p) {
         p.drawRect(QRectF(4.5, 1.5, 10, 8));
         p.drawRect(QRectF(1.5, 5.5, 10, 9));
       }},
      {"SpeedButton10",  // comments: a written page
       [](QPainter& p) {
         p.drawRect(QRectF(2.5, 1.5, 11, 13));
         for (double y : {5.0, 8.0, 11.0}) p.drawLine(QPointF(5, y), QPointF(11, y));
       }},
      {"SpeedButton13",  // help
       [](QPainter& p) {
         QFont f = p.font();
         f.setPixelSize(14);
         f.setBold(true);
         p.setFont(f);
         p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
       }},
      {"SpeedButton12",  // previous row
       [](QPainter& p) {
         p.setBrush(p.pen().color());
         p.drawPolygon(QPolygonF({{3, 11}, {13, 11}, {8, 4}}));
       }},
      {"SpeedButton11",  // next row
       [](QPainter& p) {
         p.setBrush(p.pen().color());
         p.drawPolygon(QPolygonF({{3, 5}, {13, 5}, {8, 12}}));
       }},
  };
  return drawings;
}

QPixmap Paint(const Drawing& draw, int size, const QColor& colour) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  p.setPen(QPen(colour, 1.2));
  draw(p);
  return pixmap;
}

}  // namespace

QIcon ToolGlyph(const QString& name, int size) {
  const auto found = Drawings().find(name);
  if (found == Drawings().end()) return {};
  QIcon icon;
  icon.addPixmap(Paint(found->second, size, QColor(0x20, 0x30, 0x60)), QIcon::Normal);
  icon.addPixmap(Paint(found->second, size, QColor(0xA0, 0xA0, 0xA0)), QIcon::Disabled);
  return icon;
}

}  // namespace kalvex

#include "platform/QtCanvas.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPen>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "platform/FileAccess.h"

namespace kalvex {
namespace {

QColor RgbColour(std::int32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

struct Equivalent {
  const char* name;
  const char* fallback;
  QFont::StyleHint hint;
};

// Metric equivalents with the same advance widths, so that text laid out
// for the named font fits where the named font is missing.
constexpr Equivalent kEquivalents[] = {
    {"Arial", "Liberation Sans", QFont::SansSerif},
    {"Courier New", "Liberation Mono", QFont::TypeWriter},
    {"Times New Roman", "Liberation Serif", QFont::Serif},
};

void SetFamilies(QFont& font, const std::string& name) {
  const QString family = QString::fromUtf8(name.empty() ? "Arial" : name.c_str());
  QStringList families{family};
  QFont::StyleHint hint = QFont::SansSerif;
  for (const Equivalent& e : kEquivalents) {
    if (family.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0) {
      families << QString::fromLatin1(e.fallback);
      hint = e.hint;
    }
  }
  font.setFamilies(families);
  font.setStyleHint(hint);
}

// A positive height is the whole cell (ascent + descent); Qt sizes fonts by
// the character height, so the pixel size is scaled down until the cell fits.
void SetCellHeight(QFont& font, int cell, QPaintDevice* device) {
  font.setPixelSize(cell);
  const double natural = QFontMetricsF(font, device).height();
  int pixels = natural > 0 ? std::max(1, static_cast<int>(cell * cell / natural + 0.5)) : cell;
  font.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font, device).height() > cell) font.setPixelSize(--pixels);
}

}  // namespace

QFont QtCanvas::MapFont(const CanvasFont& canvasFont, QPaintDevice* device) {
  QFont font;
  SetFamilies(font, canvasFont.name);
  if (canvasFont.height < 0)
    font.setPixelSize(-canvasFont.height);
  else if (canvasFont.height > 0)
    SetCellHeight(font, canvasFont.height, device);
  else
    font.setPointSize(std::max(1, canvasFont.size));
  // 0 is "any weight": the regular one.
  const int weight = canvasFont.weight <= 0 ? 400 : std::clamp(canvasFont.weight, 1, 1000);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setUnderline(canvasFont.underline);
  if (canvasFont.width > 0) {
    const double natural = QFontMetricsF(font, device).averageCharWidth();
    if (natural > 0)
      font.setStretch(
          std::clamp(static_cast<int>(100.0 * canvasFont.width / natural + 0.5), 1, 4000));
  }
  return font;
}

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter) {
  if (Active()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setBackgroundMode(Qt::TransparentMode);
  }
  SetFont(font_);
}

void QtCanvas::SetBrushColour(std::int32_t rgb) {
  brush_ = RgbColour(rgb);
}

void QtCanvas::SetPenColour(std::int32_t rgb) {
  pen_ = RgbColour(rgb);
}

QtCanvas::~QtCanvas() {
  Flush();
}

void QtCanvas::Flush() {
  if (lines_.empty()) return;
  if (Active()) {
    // Cosmetic: one device pixel whatever the painter's scale (a print
    // preview, a high-resolution screen).
    QPen pen(lineColour_, lineWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    painter_.setPen(pen);
    painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
  }
  lines_.clear();
}

void QtCanvas::FillRect(int left, int top, int right, int bottom) {
  if (!Active() || right <= left || bottom <= top) return;
  Flush();
  painter_.fillRect(QRect(left, top, right - left, bottom - top), brush_);
}

void QtCanvas::MoveTo(int x, int y) {
  current_ = QPoint(x, y);
}

void QtCanvas::LineTo(int x, int y) {
  const QPoint to(x, y);
  if (Active()) {
    if (!lines_.empty() && (lineColour_ != pen_ || lineWidth_ != penWidth_)) Flush();
    lineColour_ = pen_;
    lineWidth_ = penWidth_;
    lines_.emplace_back(current_, to);
  }
  current_ = to;
}

void QtCanvas::SetPenWidth(int pixels) {
  penWidth_ = std::max(1, pixels);
}

void QtCanvas::DrawImage(int left, int top, int right, int bottom, const CanvasImage& image) {
  if (!Active() || right <= left || bottom <= top || image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * image.height)
    return;
  QImage picture(image.width, image.height, QImage::Format_RGB32);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      picture.setPixel(
          x, y,
          0xFF000000u | static_cast<std::uint32_t>(image.pixels[y * image.width + x] & 0xFFFFFF));
  Flush();
  painter_.save();
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter_.drawImage(QRect(left, top, right - left, bottom - top), picture);
  painter_.restore();
}

void QtCanvas::PutText(int x, int y, const std::string& text) {
  if (!Active() || text.empty()) return;
  Flush();
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const int ascent = painter_.fontMetrics().ascent();
  painter_.setPen(RgbColour(font_.colour));
  if (font_.escapement % 3600 == 0) {
    painter_.drawText(QPoint(x, y + ascent), s);
    return;
  }
  // The escapement turns the text about its top-left corner.
  painter_.save();
  painter_.translate(x, y);
  painter_.rotate(-font_.escapement / 10.0);
  painter_.drawText(QPoint(0, ascent), s);
  painter_.restore();
}

int QtCanvas::TextWidth(const std::string& text) {
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  return Active() ? painter_.fontMetrics().horizontalAdvance(s)
                  : QFontMetrics(qfont_).horizontalAdvance(s);
}

int QtCanvas::TextHeight(const std::string&) {
  return Active() ? painter_.fontMetrics().height() : QFontMetrics(qfont_).height();
}

void QtCanvas::SetFont(const CanvasFont& font) {
  font_ = font;
  qfont_ = MapFont(font, Active() ? painter_.device() : nullptr);
  if (Active()) painter_.setFont(qfont_);
}

ImageCanvas::ImageCanvas(int width, int height) {
  if (width > 0 && height > 0) image_ = QImage(width, height, QImage::Format_RGB32);
  if (!image_.isNull()) {
    image_.fill(Qt::white);
    painter_.begin(&image_);
  }
  canvas_ = std::make_unique<QtCanvas>(painter_);
}

ImageCanvas::~ImageCanvas() {
  canvas_->Flush();
  if (painter_.isActive()) painter_.end();
}

const QImage& ImageCanvas::Finish() {
  canvas_->Flush();
  if (painter_.isActive()) painter_.end();
  return image_;
}

std::string ImageCanvas::SavePng(const std::string& path) {
  if (!Valid()) return "the image could not be made";
  Finish();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image_.save(&buffer, "PNG")) return "the image could not be encoded as PNG";
  return SaveFileAtomically(
      path, {reinterpret_cast<const std::uint8_t*>(png.constData()), std::size_t(png.size())});
}

}  // namespace kalvex

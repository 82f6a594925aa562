#pragma once
// The Canvas on a QPainter: the same drawing goes to a QImage, a widget's
// paint event, a QPdfWriter or a QPrinter. Lines are one device pixel wide and
// not antialiased; text is drawn with its top-left corner at the point, and
// a font with an escapement is drawn turned counter-clockwise about that
// point. Fonts named "Arial", "Courier New" and "Times New Roman" fall back to
// their metric equivalents (Liberation Sans, Mono, Serif) where they are not
// installed. A pen width other than 1 is that many device pixels.
//
// A QtCanvas borrows an active painter for its lifetime and changes its pen,
// brush and font; it is used on the thread that owns the painter (the
// user-interface thread). Text is UTF-8.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

#include "graphs/Canvas.h"

namespace kalvex {

class QtCanvas : public Canvas {
 public:
  // `painter` must be active on its device; the canvas starts with a white
  // brush, a black pen and the default CanvasFont.
  explicit QtCanvas(QPainter& painter);
  // Draws the lines still held (see Flush).
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  // Lines are held and drawn together, one pen for a run of them, since a
  // waterfall or an envelope is hundreds of thousands of short lines. They
  // are drawn before anything else is and when the canvas ends; a caller
  // painting on the painter itself meanwhile calls Flush first.
  void Flush();

  void SetBrushColour(std::int32_t rgb) override;
  void SetPenColour(std::int32_t rgb) override;
  void FillRect(int left, int top, int right, int bottom) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void SetPenWidth(int pixels) override;

  void PutText(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;

  CanvasFont Font() const override { return font_; }
  void SetFont(const CanvasFont& font) override;
  void DrawImage(int left, int top, int right, int bottom, const CanvasImage& image) override;

  // The QFont that `font` becomes on `device` (pixel heights and the average
  // character width are device pixels).
  static QFont MapFont(const CanvasFont& font, QPaintDevice* device);

 private:
  bool Active() const { return painter_.isActive(); }

  QPainter& painter_;
  QColor brush_{Qt::white};
  QColor pen_{Qt::black};
  QPoint current_;
  int penWidth_ = 1;
  std::vector<QLine> lines_;  // held, all of lineColour_ and lineWidth_
  QColor lineColour_;
  int lineWidth_ = 1;
  CanvasFont font_;
  QFont qfont_;
};

// A white image of a given size with a canvas on it. Draw through Surface(),
// then take the finished picture with Finish() or write it with SavePng();
// either ends the drawing, and later canvas calls draw nothing.
class ImageCanvas {
 public:
  ImageCanvas(int width, int height);
  ~ImageCanvas();
  ImageCanvas(const ImageCanvas&) = delete;
  ImageCanvas& operator=(const ImageCanvas&) = delete;

  // False when the image could not be made (a size of 0 or too large).
  bool Valid() const { return !image_.isNull(); }
  Canvas& Surface() { return *canvas_; }
  const QImage& Finish();
  // Writes the picture as PNG; a complete new file replaces the old one or
  // nothing changes. Returns the reason of a failure, empty on success.
  std::string SavePng(const std::string& path);

 private:
  QImage image_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace kalvex

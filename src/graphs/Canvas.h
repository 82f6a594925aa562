#pragma once
// A 2-D drawing surface as the plot renderer and the report use it: brush
// fills, pen lines of a chosen width, text at a top-left point with its
// metrics, fonts (one of them rotated; bold and underlined ones) and small
// pictures drawn stretched. The desktop program draws on screen, on an image or
// into a PDF through a QPainter canvas; tests use a fake with fixed metrics.
// Used on the user-interface thread only.

#include <cstdint>
#include <string>
#include <vector>

namespace kalvex {

struct CanvasFont {
  std::string name = "Arial";
  int size = 8;        // points; used when height is 0
  int height = 0;      // pixels; negative: character height without leading
  int width = 0;       // average character width, 0 = natural
  int weight = 400;    // 100..900
  int escapement = 0;  // tenths of a degree, counter-clockwise (900: bottom-to-top)
  int charset = 0;
  std::int32_t colour = 0x000000;  // RGB
  bool underline = false;
};

// `base` at `size` points, bold or regular, underlined or not, in `colour`.
inline CanvasFont Styled(CanvasFont base, int size, bool bold, bool underline = false,
                         std::int32_t colour = 0x000000) {
  base.size = size;
  base.height = 0;
  base.weight = bold ? 700 : 400;
  base.underline = underline;
  base.colour = colour;
  return base;
}

// A small picture: `width` × `height` RGB pixels, row by row from the top.
struct CanvasImage {
  int width = 0;
  int height = 0;
  std::vector<std::int32_t> pixels;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetBrushColour(std::int32_t rgb) = 0;
  virtual void SetPenColour(std::int32_t rgb) = 0;
  // Fills left..right-1 × top..bottom-1 with the brush.
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line from the current point to (x, y), which becomes the current point.
  virtual void LineTo(int x, int y) = 0;
  // Width of the lines drawn from now on, in device pixels (1 at the start).
  virtual void SetPenWidth(int pixels) = 0;

  // Text with its top-left corner at (x, y), in the current font and colour.
  virtual void PutText(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;

  virtual CanvasFont Font() const = 0;
  virtual void SetFont(const CanvasFont& font) = 0;

  // The picture stretched over left..right-1 × top..bottom-1, each pixel a
  // solid block (no smoothing).
  virtual void DrawImage(int left, int top, int right, int bottom, const CanvasImage& image) = 0;
};

}  // namespace kalvex

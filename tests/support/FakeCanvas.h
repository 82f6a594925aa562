#pragma once
// A canvas that records every operation, with fixed metrics: a text is
// 5 pixels per character plus 5 ("-999.9999" is 50 wide) and 13 high.

#include <cstdint>
#include <string>
#include <vector>

#include "graphs/Canvas.h"

namespace kalvex::test {

struct CanvasOp {
  enum Kind { Fill, Move, Line, Text, Image } kind;
  int x = 0, y = 0;
  int right = 0, bottom = 0;  // Fill, Image
  std::string text;           // Text
  std::int32_t colour = 0;    // pen (Move, Line), brush (Fill) or font (Text) colour
  CanvasFont font;            // Text
  int penWidth = 1;           // Move, Line
};

class FakeCanvas : public Canvas {
 public:
  static int Width(const std::string& text) {
    int chars = 0;
    for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
    return chars ? 5 * chars + 5 : 0;
  }

  void SetBrushColour(std::int32_t rgb) override { brush_ = rgb; }
  void SetPenColour(std::int32_t rgb) override { pen_ = rgb; }
  void FillRect(int left, int top, int right, int bottom) override {
    ops.push_back({CanvasOp::Fill, left, top, right, bottom, "", brush_, {}});
  }
  void MoveTo(int x, int y) override {
    ops.push_back({CanvasOp::Move, x, y, 0, 0, "", pen_, {}, penWidth_});
  }
  void LineTo(int x, int y) override {
    ops.push_back({CanvasOp::Line, x, y, 0, 0, "", pen_, {}, penWidth_});
  }
  void SetPenWidth(int pixels) override { penWidth_ = pixels; }
  void DrawImage(int left, int top, int right, int bottom, const CanvasImage&) override {
    ops.push_back({CanvasOp::Image, left, top, right, bottom, "", 0, {}});
  }
  void PutText(int x, int y, const std::string& text) override {
    ops.push_back({CanvasOp::Text, x, y, 0, 0, text, font_.colour, font_});
  }
  int TextWidth(const std::string& text) override { return Width(text); }
  int TextHeight(const std::string&) override { return 13; }
  CanvasFont Font() const override { return font_; }
  void SetFont(const CanvasFont& font) override { font_ = font; }

  // Operations of one kind (and, for lines and moves, one pen colour).
  std::vector<CanvasOp> Of(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }
  std::vector<CanvasOp> Lines(std::int32_t pen) const {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
      if (op.kind == CanvasOp::Line && op.colour == pen) out.push_back(op);
    return out;
  }
  const CanvasOp* FindText(const std::string& text) const {
    for (const CanvasOp& op : ops)
      if (op.kind == CanvasOp::Text && op.text == text) return &op;
    return nullptr;
  }

  std::vector<CanvasOp> ops;

 private:
  std::int32_t brush_ = 0, pen_ = 0;
  int penWidth_ = 1;
  CanvasFont font_;
};

}  // namespace kalvex::test

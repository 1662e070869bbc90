// A canvas that keeps its state and draws nothing, for replays whose screen side is not shown.
#pragma once

#include <vector>

#include "platform/ui/canvas.h"

namespace platform {

class DiscardingCanvas : public Canvas {
 public:
  explicit DiscardingCanvas(Size size = {640, 480}) : size_(size) {}

  void SetPen(const Pen& pen) override { pen_ = pen; }
  Pen GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override { brush_ = brush; }
  Brush GetBrush() const override { return brush_; }
  void SetFont(const Font& font) override { font_ = font; }
  Font GetFont() const override { return font_; }

  void MoveTo(Point) override {}
  void LineTo(Point) override {}
  void Polyline(const std::vector<Point>&) override {}
  void Rectangle(const Rect&) override {}
  void FillRect(const Rect&) override {}
  void Ellipse(const Rect&) override {}
  void Polygon(const std::vector<Point>&) override {}
  void Arc(const Rect&, Point, Point) override {}
  void TextOut(Point, std::string_view) override {}
  Size TextExtent(std::string_view) override { return {}; }
  void SetClip(const Rect&) override {}
  void ClearClip() override {}
  Size GetSize() const override { return size_; }

 private:
  Size size_;
  Pen pen_;
  Brush brush_;
  Font font_;
};

}  // namespace platform

// A canvas that draws nothing and writes each call as one line of text, so tests can compare
// what a paint routine drew.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace platform {

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(Size size = {640, 480});

  // One line per call, for example "pen 255,0,0 2 dash not", "line_to 10,20",
  // "text 5,5 abc". Queries (Get..., TextExtent, GetSize) record nothing.
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

  void SetPen(const Pen& pen) override;
  Pen GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override;
  Brush GetBrush() const override { return brush_; }
  void SetFont(const Font& font) override;
  Font GetFont() const override { return font_; }

  void MoveTo(Point p) override;
  void LineTo(Point p) override;
  void Polyline(const std::vector<Point>& points) override;
  void Rectangle(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void Ellipse(const Rect& bounds) override;
  void Polygon(const std::vector<Point>& points) override;
  void Arc(const Rect& bounds, Point start, Point end) override;

  void TextOut(Point p, std::string_view text) override;
  // Fixed metrics: every character is the font's width (half its height when 0) wide and
  // the font's height (16 when 0) high.
  Size TextExtent(std::string_view text) override;

  void SetClip(const Rect& r) override;
  void ClearClip() override;
  Size GetSize() const override { return size_; }

 private:
  void Record(std::string call) { calls_.push_back(std::move(call)); }

  Size size_;
  Pen pen_;
  Brush brush_;
  Font font_;
  std::vector<std::string> calls_;
};

}  // namespace platform

#include "platform/recordingcanvas.h"

#include <string>

namespace platform {

namespace {

std::string Num(std::int32_t n) {
  return std::to_string(n);
}

std::string ColorText(Color c) {
  return Num(c.red) + "," + Num(c.green) + "," + Num(c.blue);
}

std::string PointText(Point p) {
  return Num(p.x) + "," + Num(p.y);
}

std::string RectText(const Rect& r) {
  return Num(r.left) + "," + Num(r.top) + "," + Num(r.right) + "," + Num(r.bottom);
}

std::string PointsText(const std::vector<Point>& points) {
  std::string text;
  for (const Point& p : points) {
    text += ' ';
    text += PointText(p);
  }
  return text;
}

const char* StyleText(PenStyle style) {
  switch (style) {
    case PenStyle::Solid:
      return "solid";
    case PenStyle::Dot:
      return "dot";
    case PenStyle::DashDot:
      return "dashdot";
    case PenStyle::Dash:
      return "dash";
    case PenStyle::Clear:
      break;
  }
  return "clear";
}

}  // namespace

RecordingCanvas::RecordingCanvas(Size size) : size_(size) {}

void RecordingCanvas::SetPen(const Pen& pen) {
  pen_ = pen;
  Record("pen " + ColorText(pen.color) + " " + Num(pen.width) + " " + StyleText(pen.style) +
         (pen.mode == PenMode::Not ? " not" : " copy"));
}

void RecordingCanvas::SetBrush(const Brush& brush) {
  brush_ = brush;
  Record("brush " + ColorText(brush.color) +
         (brush.style == BrushStyle::Clear ? " clear" : " solid"));
}

void RecordingCanvas::SetFont(const Font& font) {
  font_ = font;
  std::string style;
  if (font.bold) style += " bold";
  if (font.italic) style += " italic";
  if (font.underline) style += " underline";
  if (font.strikeOut) style += " strikeout";
  Record("font " + font.face + " " + Num(font.height) + " " + Num(font.width) + " " +
         Num(font.escapement) + " " + ColorText(font.color) + style);
}

void RecordingCanvas::MoveTo(Point p) {
  Record("move_to " + PointText(p));
}

void RecordingCanvas::LineTo(Point p) {
  Record("line_to " + PointText(p));
}

void RecordingCanvas::Polyline(const std::vector<Point>& points) {
  Record("polyline" + PointsText(points));
}

void RecordingCanvas::Rectangle(const Rect& r) {
  Record("rectangle " + RectText(r));
}

void RecordingCanvas::FillRect(const Rect& r) {
  Record("fill_rect " + RectText(r));
}

void RecordingCanvas::Ellipse(const Rect& bounds) {
  Record("ellipse " + RectText(bounds));
}

void RecordingCanvas::Polygon(const std::vector<Point>& points) {
  Record("polygon" + PointsText(points));
}

void RecordingCanvas::Arc(const Rect& bounds, Point start, Point end) {
  Record("arc " + RectText(bounds) + " " + PointText(start) + " " + PointText(end));
}

void RecordingCanvas::TextOut(Point p, std::string_view text) {
  Record("text " + PointText(p) + " " + std::string(text));
}

Size RecordingCanvas::TextExtent(std::string_view text) {
  const std::int32_t height = font_.height > 0 ? font_.height : 16;
  const std::int32_t width = font_.width > 0 ? font_.width : height / 2;
  return {static_cast<std::int32_t>(text.size()) * width, height};
}

void RecordingCanvas::SetClip(const Rect& r) {
  Record("clip " + RectText(r));
}

void RecordingCanvas::ClearClip() {
  Record("no_clip");
}

}  // namespace platform

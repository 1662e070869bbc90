#include "platform/headless/recordingcanvas.h"

#include <string>

namespace platform {

namespace {

std::string Num(std::int32_t n) {
  return std::to_string(n);
}

std::string ColorText(const std::int32_t* rgb) {
  return Num(rgb[0]) + "," + Num(rgb[1]) + "," + Num(rgb[2]);
}

std::string PointText(const std::int32_t* xy) {
  return Num(xy[0]) + "," + Num(xy[1]);
}

std::string RectText(const std::int32_t* ltrb) {
  return PointText(ltrb) + "," + PointText(ltrb + 2);
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

std::string FontText(const Font& font) {
  std::string style;
  if (font.bold) style += " bold";
  if (font.italic) style += " italic";
  if (font.underline) style += " underline";
  if (font.strikeOut) style += " strikeout";
  const std::int32_t rgb[] = {font.color.red, font.color.green, font.color.blue};
  return "font " + font.face + " " + Num(font.height) + " " + Num(font.width) + " " +
         Num(font.escapement) + " " + ColorText(rgb) + style;
}

}  // namespace

RecordingCanvas::RecordingCanvas(Size size) : size_(size) {}

const std::vector<std::string>& RecordingCanvas::Calls() const {
  lines_.reserve(calls_.size());
  for (std::size_t i = lines_.size(); i < calls_.size(); ++i) lines_.push_back(Line(calls_[i]));
  return lines_;
}

void RecordingCanvas::ClearCalls() {
  calls_.clear();
  data_.clear();
  fonts_.clear();
  texts_.clear();
  lines_.clear();
}

std::string RecordingCanvas::Line(const Call& call) const {
  const std::int32_t* v = data_.data() + call.extra;
  switch (call.kind) {
    case Kind::Pen:
      return "pen " + ColorText(v) + " " + Num(v[3]) + " " +
             StyleText(static_cast<PenStyle>(v[4])) +
             (static_cast<PenMode>(v[5]) == PenMode::Not ? " not" : " copy");
    case Kind::Brush:
      return "brush " + ColorText(v) +
             (static_cast<BrushStyle>(v[3]) == BrushStyle::Clear ? " clear" : " solid");
    case Kind::Font:
      return FontText(fonts_[call.extra]);
    case Kind::MoveTo:
      return "move_to " + Num(call.x) + "," + Num(call.y);
    case Kind::LineTo:
      return "line_to " + Num(call.x) + "," + Num(call.y);
    case Kind::Polyline:
    case Kind::Polygon: {
      std::string text = call.kind == Kind::Polyline ? "polyline" : "polygon";
      for (std::int32_t k = 0; k < call.x; k += 2) {
        text += ' ';
        text += PointText(v + k);
      }
      return text;
    }
    case Kind::Rectangle:
      return "rectangle " + RectText(v);
    case Kind::FillRect:
      return "fill_rect " + RectText(v);
    case Kind::Ellipse:
      return "ellipse " + RectText(v);
    case Kind::Arc:
      return "arc " + RectText(v) + " " + PointText(v + 4) + " " + PointText(v + 6);
    case Kind::Text:
      return "text " + Num(call.x) + "," + Num(call.y) + " " + texts_[call.extra];
    case Kind::Clip:
      return "clip " + RectText(v);
    case Kind::NoClip:
      break;
  }
  return "no_clip";
}

void RecordingCanvas::RecordNumbers(Kind kind, std::initializer_list<std::int32_t> numbers) {
  calls_.push_back({kind, static_cast<std::int32_t>(numbers.size()), 0,
                    static_cast<std::uint32_t>(data_.size())});
  data_.insert(data_.end(), numbers);
}

void RecordingCanvas::RecordPoints(Kind kind, const std::vector<Point>& points) {
  calls_.push_back({kind, static_cast<std::int32_t>(2 * points.size()), 0,
                    static_cast<std::uint32_t>(data_.size())});
  for (const Point& p : points) data_.insert(data_.end(), {p.x, p.y});
}

void RecordingCanvas::RecordRect(Kind kind, const Rect& r) {
  RecordNumbers(kind, {r.left, r.top, r.right, r.bottom});
}

void RecordingCanvas::SetPen(const Pen& pen) {
  pen_ = pen;
  RecordNumbers(Kind::Pen,
                {pen.color.red, pen.color.green, pen.color.blue, pen.width,
                 static_cast<std::int32_t>(pen.style), static_cast<std::int32_t>(pen.mode)});
}

void RecordingCanvas::SetBrush(const Brush& brush) {
  brush_ = brush;
  RecordNumbers(Kind::Brush, {brush.color.red, brush.color.green, brush.color.blue,
                              static_cast<std::int32_t>(brush.style)});
}

void RecordingCanvas::SetFont(const Font& font) {
  font_ = font;
  calls_.push_back({Kind::Font, 0, 0, static_cast<std::uint32_t>(fonts_.size())});
  fonts_.push_back(font);
}

void RecordingCanvas::MoveTo(Point p) {
  Record(Kind::MoveTo, p.x, p.y);
}

void RecordingCanvas::LineTo(Point p) {
  Record(Kind::LineTo, p.x, p.y);
}

void RecordingCanvas::Polyline(const std::vector<Point>& points) {
  RecordPoints(Kind::Polyline, points);
}

void RecordingCanvas::Rectangle(const Rect& r) {
  RecordRect(Kind::Rectangle, r);
}

void RecordingCanvas::FillRect(const Rect& r) {
  RecordRect(Kind::FillRect, r);
}

void RecordingCanvas::Ellipse(const Rect& bounds) {
  RecordRect(Kind::Ellipse, bounds);
}

void RecordingCanvas::Polygon(const std::vector<Point>& points) {
  RecordPoints(Kind::Polygon, points);
}

void RecordingCanvas::Arc(const Rect& bounds, Point start, Point end) {
  RecordNumbers(Kind::Arc, {bounds.left, bounds.top, bounds.right, bounds.bottom, start.x, start.y,
                            end.x, end.y});
}

void RecordingCanvas::TextOut(Point p, std::string_view text) {
  calls_.push_back({Kind::Text, p.x, p.y, static_cast<std::uint32_t>(texts_.size())});
  texts_.emplace_back(text);
}

Size RecordingCanvas::TextExtent(std::string_view text) {
  const std::int32_t height = font_.height > 0 ? font_.height : 16;
  const std::int32_t width = font_.width > 0 ? font_.width : height / 2;
  return {static_cast<std::int32_t>(text.size()) * width, height};
}

void RecordingCanvas::SetClip(const Rect& r) {
  RecordRect(Kind::Clip, r);
}

void RecordingCanvas::ClearClip() {
  Record(Kind::NoClip, 0, 0);
}

}  // namespace platform

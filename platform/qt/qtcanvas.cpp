#include "platform/qt/qtcanvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <numbers>

#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

QColor ToQColor(Color c) {
  return QColor(c.red, c.green, c.blue);
}

Qt::PenStyle ToQtStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Solid:
      return Qt::SolidLine;
    case PenStyle::Dot:
      return Qt::DotLine;
    case PenStyle::DashDot:
      return Qt::DashDotLine;
    case PenStyle::Dash:
      return Qt::DashLine;
    case PenStyle::Clear:
      break;
  }
  return Qt::NoPen;
}

QPolygon ToQPolygon(const std::vector<Point>& points) {
  QPolygon polygon;
  for (const Point& p : points) polygon << QPoint(p.x, p.y);
  return polygon;
}

// Qt strokes a rectangle one pixel beyond its width; outlines are to cover left..right-1 and
// top..bottom-1, as the program's rectangles expect.
QRect OutlineRect(const Rect& r) {
  return QRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
}

QRect AreaRect(const Rect& r) {
  return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Angle in degrees, counterclockwise on the screen, of the ray from the centre through p.
double ScreenAngle(QPointF centre, Point p) {
  return std::atan2(centre.y() - p.y, p.x - centre.x()) * 180.0 / std::numbers::pi;
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, Size size) : painter_(painter), size_(size) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  SetPen(pen_);
  SetBrush(brush_);
  SetFont(font_);
}

void PainterCanvas::SetPen(const Pen& pen) {
  pen_ = pen;
  QPen qpen(ToQColor(pen.color));
  qpen.setWidth(std::max<std::int32_t>(pen.width, 1));
  qpen.setStyle(ToQtStyle(pen.style));
  painter_.setPen(qpen);
  painter_.setCompositionMode(pen.mode == PenMode::Not ? QPainter::RasterOp_NotDestination
                                                       : QPainter::CompositionMode_SourceOver);
}

void PainterCanvas::SetBrush(const Brush& brush) {
  brush_ = brush;
  painter_.setBrush(brush.style == BrushStyle::Clear ? QBrush(Qt::NoBrush)
                                                     : QBrush(ToQColor(brush.color)));
}

void PainterCanvas::SetFont(const Font& font) {
  font_ = font;
  qfont_ = font.face.empty() ? QFont() : QFont(ToQString(font.face));
  if (font.height > 0) {
    // The height is that of the whole character cell; Qt sizes the em square.
    qfont_.setPixelSize(font.height);
    const int cell = QFontMetrics(qfont_).height();
    if (cell > 0) qfont_.setPixelSize(std::max(1, font.height * font.height / cell));
  }
  qfont_.setBold(font.bold);
  qfont_.setItalic(font.italic);
  qfont_.setUnderline(font.underline);
  qfont_.setStrikeOut(font.strikeOut);
  if (font.width > 0) {
    const int average = QFontMetrics(qfont_).averageCharWidth();
    if (average > 0) qfont_.setStretch(std::clamp(100 * font.width / average, 1, 4000));
  }
}

void PainterCanvas::LineTo(Point p) {
  painter_.drawLine(position_.x, position_.y, p.x, p.y);
  position_ = p;
}

void PainterCanvas::Polyline(const std::vector<Point>& points) {
  painter_.drawPolyline(ToQPolygon(points));
}

void PainterCanvas::Rectangle(const Rect& r) {
  painter_.drawRect(OutlineRect(r));
}

void PainterCanvas::FillRect(const Rect& r) {
  if (brush_.style == BrushStyle::Clear) return;
  painter_.fillRect(AreaRect(r), ToQColor(brush_.color));
}

void PainterCanvas::Ellipse(const Rect& bounds) {
  painter_.drawEllipse(OutlineRect(bounds));
}

void PainterCanvas::Polygon(const std::vector<Point>& points) {
  painter_.drawPolygon(ToQPolygon(points), Qt::OddEvenFill);
}

void PainterCanvas::Arc(const Rect& bounds, Point start, Point end) {
  const QRectF box(OutlineRect(bounds));
  const double from = ScreenAngle(box.center(), start);
  double sweep = ScreenAngle(box.center(), end) - from;
  if (sweep <= 0) sweep += 360.0;
  QPainterPath path;
  path.arcMoveTo(box, from);
  path.arcTo(box, from, sweep);
  painter_.save();
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPath(path);
  painter_.restore();
}

void PainterCanvas::TextOut(Point p, std::string_view text) {
  painter_.save();
  painter_.setFont(qfont_);
  painter_.setPen(ToQColor(font_.color));
  painter_.translate(p.x, p.y);
  if (font_.escapement != 0) painter_.rotate(-font_.escapement / 10.0);
  painter_.drawText(0, QFontMetrics(qfont_).ascent(), ToQString(text));
  painter_.restore();
}

Size PainterCanvas::TextExtent(std::string_view text) {
  const QFontMetrics metrics(qfont_);
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void PainterCanvas::SetClip(const Rect& r) {
  painter_.setClipRect(AreaRect(r));
}

void PainterCanvas::ClearClip() {
  painter_.setClipping(false);
}

}  // namespace platform::qt

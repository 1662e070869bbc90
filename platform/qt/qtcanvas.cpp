#include "platform/qt/qtcanvas.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <numbers>
#include <span>
#include <string>
#include <unordered_map>

#include "platform/qt/qtimagetext.h"
#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

QColor ToQColor(Color c) {
  return QColor(c.red, c.green, c.blue);
}

// The dash patterns of the classic display driver, in pen widths, at every width: printed
// lines are four times as wide as on the screen and keep their style.
std::span<const int> DashLengths(PenStyle style) {
  static constexpr int kDot[] = {3, 3};
  static constexpr int kDashDot[] = {9, 6, 3, 6};
  static constexpr int kDash[] = {18, 6};
  switch (style) {
    case PenStyle::Dot:
      return kDot;
    case PenStyle::DashDot:
      return kDashDot;
    case PenStyle::Dash:
      return kDash;
    case PenStyle::Solid:
    case PenStyle::Clear:
      break;
  }
  return {};
}

void ApplyStyle(PenStyle style, QPen& pen) {
  if (style == PenStyle::Clear) {
    pen.setStyle(Qt::NoPen);
    return;
  }
  const std::span<const int> dashes = DashLengths(style);
  if (dashes.empty()) return;
  pen.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
  pen.setCapStyle(Qt::FlatCap);
}

// Faces of the Windows drawings, served by the metric-compatible Liberation fonts.
QString ResolveFace(const std::string& face) {
  if (face == "Arial") return QStringLiteral("Liberation Sans");
  if (face == "Courier New") return QStringLiteral("Liberation Mono");
  return ToQString(face);
}

struct FontKey {
  std::string face;
  std::int32_t height, width;
  bool bold, italic, underline, strikeOut;
  bool operator==(const FontKey&) const = default;
};

struct FontKeyHash {
  std::size_t operator()(const FontKey& k) const {
    const std::size_t flags = std::size_t{k.bold} | std::size_t{k.italic} << 1 |
                              std::size_t{k.underline} << 2 | std::size_t{k.strikeOut} << 3;
    std::size_t h = std::hash<std::string>()(k.face);
    for (const std::size_t v :
         {static_cast<std::size_t>(k.height), static_cast<std::size_t>(k.width), flags}) {
      h = h * 1000003u ^ v;
    }
    return h;
  }
};

QFont MakeFont(const Font& font) {
  QFont qfont = font.face.empty() ? QFont() : QFont(ResolveFace(font.face));
  if (font.height > 0) {
    // The height is that of the whole character cell, ascent plus descent; Qt sizes the em.
    qfont.setPixelSize(font.height);
    const QFontMetrics metrics(qfont);
    const int cell = metrics.ascent() + metrics.descent();
    if (cell > 0) qfont.setPixelSize(std::max(1, font.height * font.height / cell));
  }
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  qfont.setStrikeOut(font.strikeOut);
  if (font.width > 0) {
    const int average = QFontMetrics(qfont).averageCharWidth();
    if (average > 0) qfont.setStretch(std::clamp(100 * font.width / average, 1, 4000));
  }
  return qfont;
}

// Sizing a font measures it twice; drawings repeat a few fonts many times.
QFont CachedFont(const Font& font) {
  static std::unordered_map<FontKey, QFont, FontKeyHash> cache;
  constexpr std::size_t kMaxCached = 256;
  FontKey key{font.face,   font.height,    font.width,    font.bold,
              font.italic, font.underline, font.strikeOut};
  const auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  if (cache.size() >= kMaxCached) cache.clear();
  return cache.emplace(std::move(key), MakeFont(font)).first->second;
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

// Qt's angle in degrees of the ray from the centre of box through p. Qt measures ellipse
// angles on the circle that the ellipse is stretched from.
double ScreenAngle(const QRectF& box, Point p) {
  const double halfWidth = std::max(box.width() / 2, 1e-9);
  const double halfHeight = std::max(box.height() / 2, 1e-9);
  return std::atan2((box.center().y() - p.y) / halfHeight, (p.x - box.center().x()) / halfWidth) *
         180.0 / std::numbers::pi;
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, Size size, DirectPixels direct)
    : painter_(painter), size_(size) {
  if (direct == DirectPixels::Allowed) lineTarget_ = ImageLineTargetOf(painter);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  SetPen(pen_);
  SetBrush(brush_);
  LoadFont();
}

void PainterCanvas::SetPen(const Pen& pen) {
  pen_ = pen;
  QPen qpen(ToQColor(pen.color));
  qpen.setWidth(pen.width <= 1 ? 0 : pen.width);  // 0: cosmetic, one pixel
  ApplyStyle(pen.style, qpen);
  painter_.setPen(qpen);
  painter_.setCompositionMode(pen.mode == PenMode::Not ? QPainter::RasterOp_NotDestination
                                                       : QPainter::CompositionMode_SourceOver);
  linePen_.reset();
  if (lineTarget_ && pen.width <= 1 && pen.style != PenStyle::Clear && pen.mode == PenMode::Copy) {
    linePen_ = MakeImageLinePen(pen.color, DashLengths(pen.style));
  }
}

void PainterCanvas::SetBrush(const Brush& brush) {
  brush_ = brush;
  painter_.setBrush(brush.style == BrushStyle::Clear ? QBrush(Qt::NoBrush)
                                                     : QBrush(ToQColor(brush.color)));
}

// The replay sets the font before every text; most texts of a drawing share one font.
void PainterCanvas::SetFont(const Font& font) {
  if (font == font_) return;
  font_ = font;
  LoadFont();
}

void PainterCanvas::LoadFont() {
  qfont_ = CachedFont(font_);
  const QFontMetrics metrics(qfont_);
  ascent_ = metrics.ascent();
  cellHeight_ = metrics.height();
}

// Figures wholly outside the image or its clip cost the painter nearly as much as visible ones,
// and a zoomed drawing lies mostly outside. Reach widens the figure's box by what its pen adds.
bool PainterCanvas::OutsideImage(const Rect& r, std::int32_t reach) const {
  if (!lineTarget_) return false;
  const Rect& c = lineTarget_->clip;
  const std::int64_t scale = lineTarget_->scale;
  const auto low = [scale, reach](std::int32_t a, std::int32_t b) {
    return (std::int64_t{std::min(a, b)} - reach) * scale;
  };
  const auto high = [scale, reach](std::int32_t a, std::int32_t b) {
    return (std::int64_t{std::max(a, b)} + reach) * scale;
  };
  return high(r.left, r.right) < c.left || low(r.left, r.right) >= c.right ||
         high(r.top, r.bottom) < c.top || low(r.top, r.bottom) >= c.bottom;
}

void PainterCanvas::LineTo(Point p) {
  if (!linePen_ || !DrawImageLine(*lineTarget_, *linePen_, position_, p)) {
    painter_.drawLine(position_.x, position_.y, p.x, p.y);
  }
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
  if (OutsideImage(bounds, pen_.width + 2)) return;
  painter_.drawEllipse(OutlineRect(bounds));
}

void PainterCanvas::Polygon(const std::vector<Point>& points) {
  painter_.drawPolygon(ToQPolygon(points), Qt::OddEvenFill);
}

void PainterCanvas::Arc(const Rect& bounds, Point start, Point end) {
  if (OutsideImage(bounds, pen_.width + 2)) return;
  const QRectF box(OutlineRect(bounds));
  const double from = ScreenAngle(box, start);
  double sweep = ScreenAngle(box, end) - from;
  if (sweep <= 0) sweep += 360.0;
  QPainterPath path;
  path.arcMoveTo(box, from);
  path.arcTo(box, from, sweep);
  painter_.strokePath(path, painter_.pen());
}

void PainterCanvas::TextOut(Point p, std::string_view text) {
  const QString qtext = ToQString(text);
  // Whatever its direction, the text stays within its advance and height around its origin.
  // Measuring costs a layout, worth it only for texts that start outside.
  if (OutsideImage({p.x, p.y, p.x, p.y}, 0)) {
    const std::int32_t reach = QFontMetrics(qfont_).horizontalAdvance(qtext) + cellHeight_ + 2;
    if (OutsideImage({p.x, p.y, p.x, p.y}, reach)) return;
  }
  if (lineTarget_ && pen_.mode == PenMode::Copy &&
      DrawImageText(*lineTarget_, qfont_, ascent_, font_.escapement, p, qtext, font_.color)) {
    return;
  }
  // Only pen, font and transform change here; saving the whole painter state costs more.
  const QPen linePen = painter_.pen();
  painter_.setFont(qfont_);
  painter_.setPen(ToQColor(font_.color));
  if (font_.escapement == 0) {
    painter_.drawText(p.x, p.y + ascent_, qtext);
  } else {
    const QTransform world = painter_.worldTransform();
    painter_.translate(p.x, p.y);
    painter_.rotate(-font_.escapement / 10.0);
    painter_.drawText(0, ascent_, qtext);
    painter_.setWorldTransform(world);
  }
  painter_.setPen(linePen);
}

Size PainterCanvas::TextExtent(std::string_view text) {
  const QFontMetrics metrics(qfont_);
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void PainterCanvas::SetClip(const Rect& r) {
  painter_.setClipRect(AreaRect(r));
  if (lineTarget_) {
    const std::int64_t scale = lineTarget_->scale;
    const auto within = [scale](std::int32_t v, std::int32_t limit) {
      return static_cast<std::int32_t>(std::clamp<std::int64_t>(v * scale, 0, limit));
    };
    const Size& size = lineTarget_->size;
    lineTarget_->clip = {within(r.left, size.width), within(r.top, size.height),
                         within(r.right, size.width), within(r.bottom, size.height)};
  }
}

void PainterCanvas::ClearClip() {
  painter_.setClipping(false);
  if (lineTarget_) lineTarget_->clip = {0, 0, lineTarget_->size.width, lineTarget_->size.height};
}

}  // namespace platform::qt

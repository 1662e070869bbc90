// The canvas on a QPainter: a widget, an image or a printer page.
#pragma once

#include <QPainter>
#include <optional>

#include "platform/qt/qtimagelines.h"
#include "platform/ui/canvas.h"

namespace platform::qt {

// Whether the canvas may write one-pixel lines and texts straight into the pixels of the image
// the painter draws on. A replayed drawing is mostly short lines and a few texts repeated, for
// which the painter's fixed cost per call outweighs the pixels it sets. Lines come out as the
// painter's, pixel for pixel; texts within two levels of a colour channel. The image's owner
// allows it for 32-bit images it paints without a transform of its own; on any other device the
// painter draws everything.
enum class DirectPixels { Forbidden, Allowed };

class PainterCanvas : public Canvas {
 public:
  // The painter must stay active while the canvas is used. Size is in the painter's logical
  // pixels.
  PainterCanvas(QPainter& painter, Size size, DirectPixels direct = DirectPixels::Forbidden);

  void SetPen(const Pen& pen) override;
  Pen GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override;
  Brush GetBrush() const override { return brush_; }
  void SetFont(const Font& font) override;
  Font GetFont() const override { return font_; }

  void MoveTo(Point p) override { position_ = p; }
  void LineTo(Point p) override;
  void Polyline(const std::vector<Point>& points) override;
  void Rectangle(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void Ellipse(const Rect& bounds) override;
  void Polygon(const std::vector<Point>& points) override;
  void Arc(const Rect& bounds, Point start, Point end) override;

  void TextOut(Point p, std::string_view text) override;
  Size TextExtent(std::string_view text) override;

  void SetClip(const Rect& r) override;
  void ClearClip() override;
  Size GetSize() const override { return size_; }

 private:
  void LoadFont();
  bool OutsideImage(const Rect& r, std::int32_t reach) const;

  QPainter& painter_;
  Size size_;
  std::optional<ImageLineTarget> lineTarget_;  // set while pixels are written directly
  std::optional<ImageLinePen> linePen_;        // set while the pen allows that
  Pen pen_;
  Brush brush_;
  Font font_;
  QFont qfont_;
  int ascent_ = 0;
  int cellHeight_ = 0;
  Point position_;
};

}  // namespace platform::qt

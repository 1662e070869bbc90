#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <vector>

#include "platform/qt/qtcanvas.h"
#include "tests/support/qt/qtapp.h"

namespace {

using platform::Point;
using platform::qt::DirectPixels;

constexpr int kSide = 48;

// The canvas writes lines itself where direct pixels are allowed and leaves them to the painter
// otherwise: the same lines must set the same pixels both ways.
QImage DrawLines(DirectPixels direct, const platform::Pen& pen, const platform::Rect* clip,
                 Point from, const std::vector<Point>& ends) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    platform::qt::PainterCanvas canvas(painter, {kSide, kSide}, direct);
    canvas.SetPen(pen);
    if (clip != nullptr) canvas.SetClip(*clip);
    for (const Point& end : ends) {
      canvas.MoveTo(from);
      canvas.LineTo(end);
    }
  }
  return image;
}

std::vector<Point> Ends(Point centre, int reach) {
  std::vector<Point> ends;
  for (int dx = -reach; dx <= reach; ++dx) {
    for (int dy = -reach; dy <= reach; ++dy) ends.push_back({centre.x + dx, centre.y + dy});
  }
  return ends;
}

TEST(QtImageLines, LinesSetThePaintersPixelsInEveryDirectionStyleAndClip) {
  StartQtApplication();
  const platform::Rect clip{10, 12, 35, 30};
  struct Case {
    const char* name;
    Point from;
    int reach;
    bool clipped;
  };
  const Case cases[] = {
      {"inside", {24, 24}, 16, false},
      {"across the edges", {2, 45}, 12, false},
      {"far outside", {-30, 70}, 8, false},
      {"clipped", {20, 20}, 16, true},
  };
  for (const platform::PenStyle style : {platform::PenStyle::Solid, platform::PenStyle::Dot,
                                         platform::PenStyle::DashDot, platform::PenStyle::Dash}) {
    const platform::Pen pen{{200, 30, 40}, 1, style, platform::PenMode::Copy};
    for (const Case& c : cases) {
      const std::vector<Point> ends = Ends(c.from, c.reach);
      const platform::Rect* r = c.clipped ? &clip : nullptr;
      // One line per image, so that overlapping lines hide no difference.
      for (const Point& end : ends) {
        const std::vector<Point> one{end};
        ASSERT_EQ(DrawLines(DirectPixels::Allowed, pen, r, c.from, one),
                  DrawLines(DirectPixels::Forbidden, pen, r, c.from, one))
            << c.name << " style " << static_cast<int>(style) << " to " << end.x << "," << end.y;
      }
    }
  }
}

}  // namespace

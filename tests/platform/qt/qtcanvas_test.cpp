#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "platform/qt/qtcanvas.h"
#include "tests/support/qt/imagecompare.h"
#include "tests/support/qt/qtapp.h"

namespace {

using platform::Canvas;
using platform::Point;
using platform::Rect;
using platform::qt::DirectPixels;

// With direct pixels allowed the canvas leaves out figures that lie wholly outside the image,
// and otherwise draws everything: figures reaching in from outside must look alike both ways.
QImage Paint(DirectPixels direct, const std::function<void(Canvas&)>& draw) {
  QImage image(60, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    platform::qt::PainterCanvas canvas(painter, {60, 40}, direct);
    canvas.SetPen({{0, 0, 200}, 1, platform::PenStyle::Solid, platform::PenMode::Copy});
    canvas.SetBrush({{0, 0, 0}, platform::BrushStyle::Clear});
    platform::Font font;
    font.face = "Liberation Sans";
    font.height = 30;
    font.color = {200, 0, 0};
    canvas.SetFont(font);
    canvas.SetClip({5, 5, 55, 35});
    draw(canvas);
  }
  return image;
}

TEST(QtCanvas, FiguresReachingIntoTheImageFromOutsideAreDrawnAndOthersLeftOut) {
  StartQtApplication();
  struct Case {
    const char* name;
    std::function<void(Canvas&)> draw;
    bool inks;
  };
  const Case cases[] = {
      {"circle from the left",
       [](Canvas& c) {
         c.Ellipse({-20, 10, 6, 30});
       },
       true},
      {"circle beyond the clip",
       [](Canvas& c) {
         c.Ellipse({-20, 10, 3, 30});
       },
       false},
      {"arc from below",
       [](Canvas& c) {
         c.Arc({20, 30, 40, 50}, {40, 40}, {20, 40});
       },
       true},
      {"text from the left",
       [](Canvas& c) {
         c.TextOut({-40, 5}, "WWWWW");
       },
       true},
      {"text from above",
       [](Canvas& c) {
         c.TextOut({10, -15}, "Hg");
       },
       true},
      {"text turned up into the image",
       [](Canvas& c) {
         platform::Font font = c.GetFont();
         font.escapement = 900;
         c.SetFont(font);
         c.TextOut({20, 80}, "WWWWWW");
       },
       true},
      {"text far right",
       [](Canvas& c) {
         c.TextOut({70, 10}, "Hg");
       },
       false},
  };
  const QImage blank = Paint(DirectPixels::Allowed, [](Canvas&) {});
  for (const Case& c : cases) {
    const QImage fast = Paint(DirectPixels::Allowed, c.draw);
    EXPECT_TRUE(InkNearInk(fast, Paint(DirectPixels::Forbidden, c.draw), qRgb(255, 255, 255)))
        << c.name;
    EXPECT_EQ(fast != blank, c.inks) << c.name;
  }
}

}  // namespace

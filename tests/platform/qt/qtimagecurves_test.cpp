#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

#include "imagecompare.h"
#include "platform/qt/qtcanvas.h"
#include "platform/qt/qtimagelines.h"
#include "qtapp.h"

namespace {

using platform::Canvas;
using platform::Point;
using platform::Rect;

const QRgb kWhite = qRgb(255, 255, 255);

// The canvas writes curves itself on an RGB32 image and leaves them to the painter on an
// ARGB32 one.
QImage Draw(QImage::Format format, platform::PenStyle style,
            const std::function<void(Canvas&)>& draw) {
  QImage image(120, 100, format);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    platform::qt::PainterCanvas canvas(painter, {120, 100});
    canvas.SetPen({{0, 0, 0}, 1, style, platform::PenMode::Copy});
    canvas.SetBrush({{0, 0, 0}, platform::BrushStyle::Clear});
    canvas.SetClip({4, 4, 116, 96});
    draw(canvas);
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

struct Curve {
  const char* name;
  std::function<void(Canvas&)> draw;
};

std::vector<Curve> Curves() {
  return {
      {"circle",
       [](Canvas& c) {
         c.Ellipse({20, 20, 81, 81});
       }},
      {"flat ellipse",
       [](Canvas& c) {
         c.Ellipse({10, 40, 110, 61});
       }},
      {"tiny circle",
       [](Canvas& c) {
         c.Ellipse({50, 50, 54, 54});
       }},
      {"circle beyond the clip",
       [](Canvas& c) {
         c.Ellipse({-30, -30, 60, 60});
       }},
      {"first quadrant",
       [](Canvas& c) {
         c.Arc({20, 10, 100, 90}, {100, 50}, {60, 10});
       }},
      {"over the bottom",
       [](Canvas& c) {
         c.Arc({20, 10, 100, 90}, {20, 60}, {100, 60});
       }},
      {"equal radials",
       [](Canvas& c) {
         c.Arc({30, 20, 90, 80}, {90, 50}, {90, 50});
       }},
      {"ellipse arc",
       [](Canvas& c) {
         c.Arc({0, 30, 120, 70}, {120, 30}, {0, 70});
       }},
  };
}

TEST(QtImageCurves, CurvesKeepToThePaintersPixels) {
  StartQtApplication();
  for (const Curve& curve : Curves()) {
    const QImage fast = Draw(QImage::Format_RGB32, platform::PenStyle::Solid, curve.draw);
    const QImage painted = Draw(QImage::Format_ARGB32, platform::PenStyle::Solid, curve.draw);
    EXPECT_TRUE(InkNearInk(fast, painted, kWhite)) << curve.name;
    const int ours = InkCount(fast, kWhite), theirs = InkCount(painted, kWhite);
    EXPECT_GT(ours, 0) << curve.name;
    EXPECT_LE(std::abs(ours - theirs), 4 + theirs / 8) << curve.name;
  }
}

TEST(QtImageCurves, DashedCurvesLeaveGapsAlongTheCurve) {
  StartQtApplication();
  for (const Curve& curve : Curves()) {
    const QImage solid = Draw(QImage::Format_RGB32, platform::PenStyle::Solid, curve.draw);
    const int whole = InkCount(solid, kWhite);
    if (whole < 60) continue;  // too short for a whole dash period
    for (const platform::PenStyle style :
         {platform::PenStyle::Dot, platform::PenStyle::Dash, platform::PenStyle::DashDot}) {
      const QImage dashed = Draw(QImage::Format_RGB32, style, curve.draw);
      const int ink = InkCount(dashed, kWhite);
      // Dashes may start elsewhere on the curve than the painter's, but lie on it.
      EXPECT_TRUE(InkNearInk(dashed,
                             Draw(QImage::Format_ARGB32, platform::PenStyle::Solid,
                                  [&](Canvas& c) {
                                    c.SetClip({0, 0, 120, 100});
                                    curve.draw(c);
                                  }),
                             kWhite, true))
          << curve.name;
      EXPECT_GT(ink, whole * 2 / 5) << curve.name << " style " << static_cast<int>(style);
      EXPECT_LT(ink, whole * 9 / 10) << curve.name << " style " << static_cast<int>(style);
    }
  }
}

TEST(QtImageCurves, CurvesTooSmallOrTooLargeToWalkAreLeftToThePainter) {
  StartQtApplication();
  const auto point = [](Canvas& c) { c.Ellipse({50, 50, 51, 51}); };
  EXPECT_EQ(Draw(QImage::Format_RGB32, platform::PenStyle::Solid, point),
            Draw(QImage::Format_ARGB32, platform::PenStyle::Solid, point));
  const auto huge = [](Canvas& c) { c.Ellipse({-40000, 30, 40120, 90000}); };
  EXPECT_EQ(Draw(QImage::Format_RGB32, platform::PenStyle::Solid, huge),
            Draw(QImage::Format_ARGB32, platform::PenStyle::Solid, huge));
}

// Polylines straight onto an image, as the curves use them.
class ImagePolylineTest : public ::testing::Test {
 protected:
  ImagePolylineTest() : image_(200, 20, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    target_.pixels = reinterpret_cast<std::uint32_t*>(image_.bits());
    target_.pixelsPerRow = static_cast<std::int32_t>(image_.bytesPerLine() / 4);
    target_.size = {200, 20};
    target_.clip = {0, 0, 200, 20};
  }
  std::vector<bool> Row(int y) const {
    std::vector<bool> ink;
    for (int x = 0; x < image_.width(); ++x) ink.push_back(image_.pixel(x, y) != kWhite);
    return ink;
  }
  QImage image_;
  platform::qt::ImageLineTarget target_;
};

TEST_F(ImagePolylineTest, DashesRunOnFromOneLineToTheNext) {
  const int dash[] = {9, 6, 3, 6};
  const auto pen = platform::qt::MakeImageLinePen({0, 0, 0}, dash);
  ASSERT_TRUE(pen);
  const std::vector<Point> whole{{0, 5}, {199, 5}};
  const std::vector<Point> pieces{{0, 10}, {7, 10}, {50, 10}, {50, 10}, {131, 10}, {199, 10}};
  platform::qt::DrawImagePolyline(target_, *pen, whole);
  platform::qt::DrawImagePolyline(target_, *pen, pieces);
  EXPECT_EQ(Row(5), Row(10));
  // Running the other way round, the pattern starts at the other end; a dashed line leaves out
  // its last pixel either way.
  const std::vector<Point> back{{199, 15}, {0, 15}};
  platform::qt::DrawImagePolyline(target_, *pen, back);
  std::vector<bool> mirrored = Row(15), forward = Row(5);
  std::reverse(mirrored.begin(), mirrored.end());
  mirrored.erase(mirrored.begin());
  forward.pop_back();
  EXPECT_EQ(mirrored, forward);
}

TEST_F(ImagePolylineTest, LinesFarBeyondTheImageAreClippedNotWalked) {
  const auto pen = platform::qt::MakeImageLinePen({0, 0, 0}, {});
  const auto dots = platform::qt::MakeImageLinePen({0, 0, 0}, std::vector<int>{3, 3});
  target_.clip = {20, 0, 180, 20};
  platform::qt::DrawImagePolyline(target_, *pen, std::vector<Point>{{-30000, 3}, {30000, 3}});
  // Outside the clip the dashes still count on: the dots of the clipped line sit where those
  // of the whole line would.
  platform::qt::DrawImagePolyline(target_, *dots,
                                  std::vector<Point>{{-600, 9}, {-300, 9}, {30000, 9}});
  const std::vector<bool> solid = Row(3), dotted = Row(9);
  for (int x = 0; x < 200; ++x) {
    EXPECT_EQ(solid[x], x >= 20 && x < 180) << x;
    EXPECT_EQ(dotted[x], x >= 20 && x < 180 && (x + 600) % 6 < 3) << x;
  }
}

}  // namespace

#include "platform/qt/qtimagecurves.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace platform::qt {

namespace {

// Beyond this the chain would need thousands of lines, and a zoom that far shows only a
// sliver of the curve: the painter's own clipping does better.
constexpr double kLargestHalfAxis = 16384;
constexpr double kTolerance = 0.1;  // pixels between a chord and its arc

std::int32_t Nearest(double v) {
  return static_cast<std::int32_t>(std::floor(v + 0.5));
}

}  // namespace

bool DrawImageArc(const ImageLineTarget& target, const ImageLinePen& pen, const QRectF& box,
                  double fromDegrees, double sweepDegrees) {
  const double a = box.width() / 2;
  const double b = box.height() / 2;
  if (std::abs(a) > kLargestHalfAxis || std::abs(b) > kLargestHalfAxis) return false;
  const double cx = box.center().x();
  const double cy = box.center().y();
  // A chord through the angle t strays r (1 - cos(t/2)), about r t^2 / 8, from its arc.
  const double r = std::max({std::abs(a), std::abs(b), 1.0});
  const double sweep = sweepDegrees * std::numbers::pi / 180;
  const int count =
      std::max(1, static_cast<int>(std::ceil(std::abs(sweep) / std::sqrt(8 * kTolerance / r))));
  // The chain's corners turn by one fixed rotation; a few hundred turns lose nothing visible.
  const double turnCos = std::cos(sweep / count);
  const double turnSin = std::sin(sweep / count);
  const double from = fromDegrees * std::numbers::pi / 180;
  double c = std::cos(from);
  double s = std::sin(from);
  static thread_local std::vector<Point> points;
  points.clear();
  for (int i = 0; i <= count; ++i) {
    points.push_back({Nearest(cx + a * c), Nearest(cy - b * s)});
    const double next = c * turnCos - s * turnSin;
    s = s * turnCos + c * turnSin;
    c = next;
  }
  DrawImagePolyline(target, pen, points);
  return true;
}

}  // namespace platform::qt

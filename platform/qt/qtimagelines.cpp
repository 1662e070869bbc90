#include "platform/qt/qtimagelines.h"

#include <QImage>
#include <QPaintDevice>
#include <algorithm>
#include <cstdlib>

namespace platform::qt {

namespace {

// The painter clips lines roughly to one pixel around the image and then walks the clipped,
// no longer whole-pixel end points; such lines are left to it.
bool InsideRoughClip(Size size, Point p) {
  return p.x >= -1 && p.x <= size.width + 1 && p.y >= -1 && p.y <= size.height + 1;
}

bool WhollyOutside(Size size, Point a, Point b) {
  return std::max(a.x, b.x) < -1 || std::min(a.x, b.x) > size.width + 1 ||
         std::max(a.y, b.y) < -1 || std::min(a.y, b.y) > size.height + 1;
}

void Plot(const ImageLineTarget& target, std::uint32_t pixel, std::int32_t x, std::int32_t y) {
  const Rect& c = target.clip;
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return;
  target.pixels[static_cast<std::ptrdiff_t>(y) * target.pixelsPerRow + x] = pixel;
}

// Walks the major axis u from the lower end, stepping the minor axis v in 16.16 fixed point with
// the painter's own rounding: a rising line's first pixel sits half a step along (square caps
// round that half step up, flat caps down), a falling line's on its end point. Square caps reach
// the far end pixel, flat caps stop before it. Dashes count from the pixel nearest `from`.
template <bool kSteep>
void Walk(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to) {
  const auto u = [](Point p) { return kSteep ? p.y : p.x; };
  const auto v = [](Point p) { return kSteep ? p.x : p.y; };
  const bool reversed = u(from) > u(to);
  const Point low = reversed ? to : from;
  const Point high = reversed ? from : to;
  const std::int64_t step =
      (static_cast<std::int64_t>(v(high) - v(low)) * 65536) / (u(high) - u(low));
  const bool dashed = pen.dashPeriod > 0;
  std::int64_t minor = static_cast<std::int64_t>(v(low)) * 65536;
  if (step > 0) minor += dashed ? step >> 1 : step - (step >> 1);
  const std::int32_t count = u(high) - u(low) + (dashed ? 0 : 1);
  std::int32_t phase = reversed && dashed ? (count - 1) % pen.dashPeriod : 0;
  for (std::int32_t i = 0; i < count; ++i, minor += step) {
    if (dashed) {
      const bool on = (pen.dashOn >> phase & 1) != 0;
      phase = reversed ? (phase == 0 ? pen.dashPeriod : phase) - 1
                       : (phase + 1 == pen.dashPeriod ? 0 : phase + 1);
      if (!on) continue;
    }
    const std::int32_t major = u(low) + i;
    const auto across = static_cast<std::int32_t>(minor >> 16);
    if (kSteep) {
      Plot(target, pen.pixel, across, major);
    } else {
      Plot(target, pen.pixel, major, across);
    }
  }
}

}  // namespace

std::optional<ImageLineTarget> ImageLineTargetOf(QPainter& painter) {
  QPaintDevice* device = painter.device();
  if (device == nullptr || device->devType() != QInternal::Image) return std::nullopt;
  auto* image = static_cast<QImage*>(device);
  const QImage::Format format = image->format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) {
    return std::nullopt;
  }
  if (!painter.deviceTransform().isIdentity() || image->devicePixelRatio() != 1.0) {
    return std::nullopt;
  }
  ImageLineTarget target;
  target.pixels = reinterpret_cast<std::uint32_t*>(image->bits());
  target.pixelsPerRow = static_cast<std::int32_t>(image->bytesPerLine() / 4);
  target.size = {image->width(), image->height()};
  target.clip = {0, 0, image->width(), image->height()};
  return target;
}

std::optional<ImageLinePen> MakeImageLinePen(Color color, std::span<const int> dashes) {
  ImageLinePen pen;
  pen.pixel = 0xff000000u | std::uint32_t{color.red} << 16 | std::uint32_t{color.green} << 8 |
              color.blue;
  for (std::size_t i = 0; i < dashes.size(); ++i) {
    for (int k = 0; k < dashes[i]; ++k, ++pen.dashPeriod) {
      if (pen.dashPeriod == 64) return std::nullopt;
      if (i % 2 == 0) pen.dashOn |= std::uint64_t{1} << pen.dashPeriod;
    }
  }
  return pen;
}

bool DrawImageLine(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to) {
  if (WhollyOutside(target.size, from, to)) return true;
  if (!InsideRoughClip(target.size, from) || !InsideRoughClip(target.size, to)) return false;
  if (from == to) {
    Plot(target, pen.pixel, from.x, from.y);
  } else if (std::abs(to.x - from.x) < std::abs(to.y - from.y)) {
    Walk<true>(target, pen, from, to);
  } else {
    Walk<false>(target, pen, from, to);
  }
  return true;
}

}  // namespace platform::qt

#include "platform/qt/qtimagelines.h"

#include <QImage>
#include <QPaintDevice>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform::qt {

namespace {

// A canvas point in image pixels, wide enough for any scale.
struct ImagePoint {
  std::int64_t x, y;
};

// The painter clips lines roughly to one pixel around the image and then walks the clipped,
// no longer whole-pixel end points; such lines are left to it.
bool InsideRoughClip(Size size, ImagePoint p) {
  return p.x >= -1 && p.x <= size.width + 1 && p.y >= -1 && p.y <= size.height + 1;
}

bool WhollyOutside(Size size, ImagePoint a, ImagePoint b) {
  return std::max(a.x, b.x) < -1 || std::min(a.x, b.x) > size.width + 1 ||
         std::max(a.y, b.y) < -1 || std::min(a.y, b.y) > size.height + 1;
}

ImagePoint ToImage(const ImageLineTarget& target, Point p) {
  return {std::int64_t{p.x} * target.scale, std::int64_t{p.y} * target.scale};
}

void Plot(const ImageLineTarget& target, std::uint32_t pixel, std::int32_t x, std::int32_t y) {
  const Rect& c = target.clip;
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return;
  target.pixels[static_cast<std::ptrdiff_t>(y) * target.pixelsPerRow + x] = pixel;
}

// Walks the major axis u from the lower end, stepping the minor axis v in 16.16 fixed point with
// the painter's own rounding: a rising line's first pixel sits half a step along (square caps
// round that half step up, flat caps down), a falling line's on its end point. Square caps reach
// the far end pixel, flat caps stop before it. Dashes count from the pixel nearest `from`. Only
// the pixels within the clip's extent along u are walked, so a long line costs no more than the
// image is wide.
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
  const std::int32_t count = u(high) - u(low) + (dashed ? 0 : 1);
  const std::int32_t clipLow = kSteep ? target.clip.top : target.clip.left;
  const std::int32_t clipHigh = kSteep ? target.clip.bottom : target.clip.right;
  const std::int32_t first = std::clamp(clipLow - u(low), 0, count);
  const std::int32_t last = std::clamp(clipHigh - u(low), first, count);
  std::int64_t minor = static_cast<std::int64_t>(v(low)) * 65536 + first * step;
  if (step > 0) minor += dashed ? step >> 1 : step - (step >> 1);
  std::int32_t at = 0;
  if (dashed) at = (reversed ? count - 1 - first : first) % pen.dashPeriod;
  // Locals, so that the pixel stores need not reload the target.
  std::uint32_t* const pixels = target.pixels;
  const std::int64_t rowStep = target.pixelsPerRow;
  const std::uint32_t pixel = pen.pixel;
  const std::int32_t acrossLow = kSteep ? target.clip.left : target.clip.top;
  const std::int32_t acrossHigh = kSteep ? target.clip.right : target.clip.bottom;
  for (std::int32_t i = first; i < last; ++i, minor += step) {
    if (dashed) {
      const bool on = (pen.dashOn >> at & 1) != 0;
      at = reversed ? (at == 0 ? pen.dashPeriod : at) - 1 : (at + 1 == pen.dashPeriod ? 0 : at + 1);
      if (!on) continue;
    }
    const std::int64_t major = u(low) + i;
    const auto across = static_cast<std::int32_t>(minor >> 16);
    if (across < acrossLow || across >= acrossHigh) continue;
    if (kSteep) {
      pixels[major * rowStep + across] = pixel;
    } else {
      pixels[across * rowStep + major] = pixel;
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
  // Lines from whole canvas pixels end on whole image pixels only at a whole-number ratio.
  constexpr double kLargestRatio = 8;  // beyond any screen's
  const double ratio = image->devicePixelRatio();
  if (ratio < 1 || ratio > kLargestRatio || ratio != std::floor(ratio) ||
      painter.deviceTransform() != QTransform::fromScale(ratio, ratio)) {
    return std::nullopt;
  }
  ImageLineTarget target;
  target.pixels = reinterpret_cast<std::uint32_t*>(image->bits());
  target.pixelsPerRow = static_cast<std::int32_t>(image->bytesPerLine() / 4);
  target.scale = static_cast<std::int32_t>(ratio);
  target.size = {image->width(), image->height()};
  target.clip = {0, 0, image->width(), image->height()};
  return target;
}

std::optional<ImageLinePen> MakeImageLinePen(Color color, std::span<const int> dashes) {
  ImageLinePen pen;
  pen.pixel = OpaquePixel(color);
  for (std::size_t i = 0; i < dashes.size(); ++i) {
    for (int k = 0; k < dashes[i]; ++k, ++pen.dashPeriod) {
      if (pen.dashPeriod == 64) return std::nullopt;
      if (i % 2 == 0) pen.dashOn |= std::uint64_t{1} << pen.dashPeriod;
    }
  }
  return pen;
}

bool DrawImageLine(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to) {
  const ImagePoint a = ToImage(target, from), b = ToImage(target, to);
  if (WhollyOutside(target.size, a, b)) return true;
  if (!InsideRoughClip(target.size, a) || !InsideRoughClip(target.size, b)) return false;
  // Within a pixel of the image, so within its range.
  const Point start{static_cast<std::int32_t>(a.x), static_cast<std::int32_t>(a.y)};
  const Point end{static_cast<std::int32_t>(b.x), static_cast<std::int32_t>(b.y)};
  if (start == end) {
    Plot(target, pen.pixel, start.x, start.y);
  } else if (std::abs(end.x - start.x) < std::abs(end.y - start.y)) {
    Walk<true>(target, pen, start, end);
  } else {
    Walk<false>(target, pen, start, end);
  }
  return true;
}

}  // namespace platform::qt

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
// the far end pixel, flat caps stop before it. Dashes count on from `phase` at the pixel nearest
// `from`; the phase after the line comes back. Only the pixels within the clip's extent along
// u are walked, so a long line costs no more than the image is wide.
template <bool kSteep>
std::int32_t Walk(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to,
                  std::int32_t phase) {
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
  if (dashed) at = (phase + (reversed ? count - 1 - first : first)) % pen.dashPeriod;
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
  return dashed ? (phase + count) % pen.dashPeriod : 0;
}

std::int32_t WalkLine(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to,
                      std::int32_t phase) {
  if (std::abs(to.x - from.x) < std::abs(to.y - from.y)) {
    return Walk<true>(target, pen, from, to, phase);
  }
  return Walk<false>(target, pen, from, to, phase);
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
  if (WhollyOutside(target.size, from, to)) return true;
  if (!InsideRoughClip(target.size, from) || !InsideRoughClip(target.size, to)) return false;
  if (from == to) {
    Plot(target, pen.pixel, from.x, from.y);
  } else {
    WalkLine(target, pen, from, to, 0);
  }
  return true;
}

void DrawImagePolyline(const ImageLineTarget& target, const ImageLinePen& pen,
                       std::span<const Point> points) {
  std::int32_t phase = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point a = points[i - 1], b = points[i];
    if (a == b) continue;
    const Rect& c = target.clip;
    // A segment wholly outside the clip still moves the dashes on.
    const bool outside = std::max(a.x, b.x) < c.left || std::min(a.x, b.x) >= c.right ||
                         std::max(a.y, b.y) < c.top || std::min(a.y, b.y) >= c.bottom;
    if (outside && pen.dashPeriod == 0) continue;
    if (outside) {
      phase = (phase + std::max(std::abs(b.x - a.x), std::abs(b.y - a.y))) % pen.dashPeriod;
    } else {
      phase = WalkLine(target, pen, a, b, phase);
    }
  }
}

}  // namespace platform::qt

#include "tests/support/qt/imagecompare.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool InkAround(const QImage& image, int x, int y, QRgb background) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const QPoint p(x + dx, y + dy);
      if (image.rect().contains(p) && image.pixel(p) != background) return true;
    }
  }
  return false;
}

int Difference(QRgb p, QRgb q) {
  return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                   std::abs(qBlue(p) - qBlue(q))});
}

}  // namespace

bool InkNearInk(const QImage& a, const QImage& b, QRgb background) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != background && !InkAround(b, x, y, background)) return false;
      if (b.pixel(x, y) != background && !InkAround(a, x, y, background)) return false;
    }
  }
  return true;
}

ChannelDifference LargestChannelDifference(const QImage& a, const QImage& b) {
  // Whole scan lines of one format: the replay drawings have millions of pixels.
  const QImage first = a.convertToFormat(QImage::Format_RGB32);
  const QImage second = b.convertToFormat(QImage::Format_RGB32);
  ChannelDifference result;
  for (int y = 0; y < first.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
    for (int x = 0; x < first.width(); ++x) {
      const int d = Difference(p[x], q[x]);
      if (d > result.largest) result = {d, QPoint(x, y)};
    }
  }
  return result;
}

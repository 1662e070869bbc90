// Comparing drawings that the canvas writes itself with the painter's own, where the two may
// set neighbouring pixels along a curve.
#pragma once

#include <QImage>

// Every pixel that differs from the background in one image lies within one pixel of such a
// pixel in the other; with oneWay, only a's pixels need to.
inline bool InkNearInk(const QImage& a, const QImage& b, QRgb background, bool oneWay = false) {
  const auto inkNear = [background](const QImage& image, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const QPoint p(x + dx, y + dy);
        if (image.rect().contains(p) && image.pixel(p) != background) return true;
      }
    }
    return false;
  };
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != background && !inkNear(b, x, y)) return false;
      if (!oneWay && b.pixel(x, y) != background && !inkNear(a, x, y)) return false;
    }
  }
  return true;
}

inline int InkCount(const QImage& image, QRgb background) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) != background;
  }
  return count;
}

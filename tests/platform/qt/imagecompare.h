// Comparing drawings that the canvas writes itself with the painter's own, where the two may
// set neighbouring pixels.
#pragma once

#include <QImage>

// Every pixel that differs from the background in either image lies within one pixel of such a
// pixel in the other.
inline bool InkNearInk(const QImage& a, const QImage& b, QRgb background) {
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
      if (b.pixel(x, y) != background && !inkNear(a, x, y)) return false;
    }
  }
  return true;
}

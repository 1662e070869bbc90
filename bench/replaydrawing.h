// The drawing the replay's speed is measured on, and its exactness checked on: 95 % lines of
// about 20 px, 2 % arcs, 1 % circles, 1 % colour or style, 0.5 % solids and 0.5 % texts, in a
// 160 x 120 mm window shown on 1600 x 1200 pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

#include "base/draw/brelgraf.h"
#include "base/settings/wbrelvar.h"

namespace replaydrawing {

inline constexpr int kWidth = 1600;
inline constexpr int kHeight = 1200;

inline void Build(TFbrelgra& window, std::size_t records) {
  HorizontalPixels = kWidth - 1;
  VerticalPixels = kHeight - 1;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(5, 155), y(5, 115), step(-1.5, 1.5);
  window.Clear();
  window.Header(0, 0, 160, 120);
  window.SetTextStyle(0, 3.5, 2.5, 2);
  bool toggle = false;
  while (DisplayList.size() < records) {
    const int kind = static_cast<int>(random() % 1000);
    const double px = x(random), py = y(random);
    if (kind < 950) {
      window.line(px, py, px + step(random), py + step(random));
    } else if (kind < 970) {
      window.Arc(px, py, 10, 200, 2, 190);
    } else if (kind < 980) {
      window.circle(px, py, 1.5);
    } else if (kind < 990) {
      toggle = !toggle;
      if (kind % 2 == 0) {
        window.SetColor(toggle ? 5 : 12);
      } else {
        window.SetLineStyle(toggle ? 3 : 0);
      }
    } else if (kind < 995) {
      window.Solid(px, py, px + 2, py, px + 2, py + 2, px, py + 2);
    } else {
      window.OutTextXY(px, py, "P3G shaft");
    }
  }
}

// Shows the middle of the drawing enlarged by factor (1: the whole drawing).
inline void Zoom(TFbrelgra& window, int factor) {
  window.ResetZoom();
  if (factor == 1) return;
  const ZoomRectangle z = ZoomRect;
  const std::int32_t cx = (z.x1 + z.x2) / 2, cy = (z.y1 + z.y2) / 2;
  const std::int32_t hw = (z.x2 - z.x1) / (2 * factor), hh = (z.y2 - z.y1) / (2 * factor);
  window.SetScale(cx - hw, cy - hh, cx + hw, cy + hh);
}

}  // namespace replaydrawing

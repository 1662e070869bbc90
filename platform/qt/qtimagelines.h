// One-pixel lines written straight into a 32-bit image's pixel rows. A replayed drawing is
// mostly short lines, and the painter's fixed cost per line outweighs the few pixels each one
// sets; these lines set exactly the pixels the painter would for its aliased cosmetic pens.
#pragma once

#include <QPainter>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/ui/canvas.h"

namespace platform::qt {

// Sizes and clip are in image pixels; points the canvas gives are in its own pixels, each of
// which covers scale by scale image pixels on an image of a higher device pixel ratio.
struct ImageLineTarget {
  std::uint32_t* pixels = nullptr;
  std::int32_t pixelsPerRow = 0;
  std::int32_t scale = 1;
  Size size;
  Rect clip;  // the part of the image lines may set; left and top inside, right and bottom not
};

struct ImageLinePen {
  std::uint32_t pixel = 0;
  // The on pixels of one dash period, lowest bit first; a period of 0 draws a solid line.
  // Dashed lines leave out their last pixel, as the painter's flat caps do.
  std::uint64_t dashOn = 0;
  std::int32_t dashPeriod = 0;
};

// The colour as an opaque pixel of an RGB32 or premultiplied ARGB32 image.
inline std::uint32_t OpaquePixel(Color c) {
  return 0xff000000u | std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
}

// The pen for alternating on and off lengths in pixels, starting with on (none: solid);
// nothing when the dash period is longer than the pen can hold.
std::optional<ImageLinePen> MakeImageLinePen(Color color, std::span<const int> dashes);

// The target when the painter draws on an RGB32 or premultiplied ARGB32 image with no transform
// but the image's whole-number device pixel ratio; otherwise the painter has to draw the lines
// itself.
std::optional<ImageLineTarget> ImageLineTargetOf(QPainter& painter);

// False when the line reaches too far beyond the image to match the painter's own clipping;
// the caller then draws it with the painter.
bool DrawImageLine(const ImageLineTarget& target, const ImageLinePen& pen, Point from, Point to);

}  // namespace platform::qt

// Arcs and ellipses of one-pixel pens written into a 32-bit image as chains of short lines.
// The painter strokes every curve through a path of its own, which costs a replayed drawing
// more than all its straight lines; a chain that keeps within a tenth of a pixel of the curve
// sets the same pixels but for a few along the way.
#pragma once

#include <QRectF>

#include "platform/qt/qtimagelines.h"

namespace platform::qt {

// The arc of the ellipse through the pixel centres of box, counterclockwise on the screen from
// the angle fromDegrees through sweepDegrees, both measured as the painter measures them. False
// when the ellipse is too large to walk; the caller then strokes it with the painter.
bool DrawImageArc(const ImageLineTarget& target, const ImageLinePen& pen, const QRectF& box,
                  double fromDegrees, double sweepDegrees);

}  // namespace platform::qt

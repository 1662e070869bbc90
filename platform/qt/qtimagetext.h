// Texts written into a 32-bit image from coverage masks kept per text, font and direction. Drawn
// by the painter, every text costs a layout and, above the size the painter keeps glyphs for, a
// fill of its outlines; a drawing shows the same few texts again at every repaint, pan and zoom.
#pragma once

#include <QFont>
#include <QString>

#include "platform/qt/qtimagelines.h"

namespace platform::qt {

// The text as the painter would draw it: turned by escapement (tenths of a degree,
// counterclockwise) about the top left of its cell at p, its baseline ascent below that corner,
// in colour over what is there, at the target's scale. False when the text is too large to keep;
// the caller then lets the painter draw it.
bool DrawImageText(const ImageLineTarget& target, const QFont& font, int ascent,
                   std::int32_t escapement, Point p, const QString& text, Color colour);

}  // namespace platform::qt

// The screen target (3): primitives become records of the drawing window's display list.
#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"

namespace {

void header(long double xmin, long double ymin, long double xmax, long double ymax, long double) {
  Drawer->grHeader(xmin, ymin, xmax, ymax);
}

void entities_begin() {
  Drawer->grClearViewPort();
  Drawer->grSetLineStyle(0);
}

void line(long double x1, long double y1, long double x2, long double y2) {
  Drawer->grLine(x1, y1, x2, y2);
}

void circle(long double x, long double y, long double r) {
  Drawer->grCircle(x, y, r);
}

void arc(long double x, long double y, long double a1, long double a2, long double r,
         long double sweep) {
  Drawer->grArc(x, y, a1, a2, r, sweep);
}

void text(const std::string& s, long double x, long double y) {
  Drawer->grOutTextXY(x, y, s);
}

// The screen takes a solid's corners in their order round the outline.
void solid(long double x1, long double y1, long double x2, long double y2, long double x3,
           long double y3, long double x4, long double y4) {
  Drawer->grSolid(x1, y1, x2, y2, x4, y4, x3, y3);
}

std::int32_t screen_line_width(std::int32_t n) {
  if (n >= 1 && n <= 5) return LayerLineWidths[n];
  if (n >= 16 && n <= 31 && PenWidths[n - 15] >= 2 && PenWidths[n - 15] <= 50) {
    return PenWidths[n - 15];
  }
  return 1;
}

void layer(std::int32_t n) {
  if (n <= 5 && NumberedLayers == 0) {
    static const std::int32_t kStyles[6] = {0, 2, 3, 0, 0, 0};
    Drawer->grSetLineStyle(static_cast<std::uint16_t>(kStyles[n]));
    Drawer->grSetPenColor(static_cast<std::uint8_t>(LayerColours[n]));
  } else {
    if (NumberedLayers == 0) Drawer->grSetLineStyle(0);
    if (NumberedLayers != 2 && n >= 16 && n <= 31) {
      Drawer->grSetPenColor(static_cast<std::uint8_t>(PenColours[n - 15]));
    }
    if (NumberedLayers == 2 && n == 0) Drawer->grSetPenColor(0);
  }
  DrawWindow->SetLineWidth(static_cast<std::uint16_t>(screen_line_width(n)));
}

void line_style(std::int32_t s) {
  Drawer->grSetLineStyle(static_cast<std::uint16_t>(s));
}

void text_style(std::int32_t style, long double angle, long double height, long double width) {
  Drawer->grSetTextStyle(style, angle, height, width);
}

}  // namespace

void cad_register_screen_writer() {
  CadWriter w;
  w.block_files = true;
  w.header = header;
  w.entities_begin = entities_begin;
  w.line = line;
  w.circle = circle;
  w.circle_cw = circle;
  w.arc = arc;
  w.text = text;
  w.solid = solid;
  w.layer = layer;
  w.line_style = line_style;
  w.text_style = text_style;
  cad_register_writer(3, w);
}

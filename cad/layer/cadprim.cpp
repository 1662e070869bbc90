#include "cad/layer/cadprim.h"

#include <cmath>
#include <numbers>

#include "base/draw/breldraw.h"
#include "base/draw/hgvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utilmath.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/dxfread.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
// Upper bound of the chords of one circle or arc, so that a huge radius from a damaged block file
// cannot stall the output.
constexpr long double kMaxChords = 100000;

long double ox() {
  return DrawOffset.x;
}
long double oy() {
  return DrawOffset.y;
}

bool takes_polylines(const CadWriter* w) {
  return w != nullptr && w->vertex != nullptr && (PolylineMode != 0 || !w->polylines_need_mode);
}

std::int32_t chord_count(long double quotient) {
  if (!(quotient >= 1)) return 1;
  return static_cast<std::int32_t>(std::nearbyint(std::fmin(quotient, kMaxChords)));
}

long double window_corrected_angle(long double angle) {
  long double rounded = std::nearbyint(angle);
  if (!(rounded >= 5 && rounded <= 85)) return angle;
  long double width = HorizontalPixels == 0 ? 640 : HorizontalPixels;
  long double height = VerticalPixels == 0 ? 480 : VerticalPixels;
  long double rad = DegToRad(angle);
  return RadToDeg(ArcTan2(height * std::sin(rad), width * std::cos(rad) * 0.75L));
}

// A full circle as the target's own circle, or as chords where the target draws no curves.
void circle_on_target(bool clockwise, long double x, long double y, long double r) {
  const CadWriter* w = cad_active_writer();
  if (w == nullptr) return;
  const auto draw = clockwise ? w->circle_cw : w->circle;
  if (w->curves_as_chords) {
    cad_circle_polygon(clockwise, x, y, r);
  } else if (draw) {
    draw(x + ox(), y + oy(), r);
  }
}

}  // namespace

void cad_line(long double x1, long double y1, long double x2, long double y2) {
  const CadWriter* w = cad_active_writer();
  if (w && w->line) w->line(x1 + ox(), y1 + oy(), x2 + ox(), y2 + oy());
}

void cad_circle(long double x, long double y, long double r) {
  circle_on_target(false, x, y, r);
}

void cad_circle_cw(long double x, long double y, long double r) {
  circle_on_target(true, x, y, r);
}

void cad_arc(long double x, long double y, long double a1, long double a2, long double r,
             long double sweep) {
  const CadWriter* w = cad_active_writer();
  if (w == nullptr || r == 0) return;
  if (w->curves_as_chords) {
    long double s = DegToRad(a1), e = DegToRad(a2);
    cad_arc_polygon(x + r * std::cos(s), y + r * std::sin(s), x + r * std::cos(e),
                    y + r * std::sin(e), DegToRad(sweep));
  } else if (w->arc) {
    w->arc(x + ox(), y + oy(), a1, a2, r, sweep);
  }
}

void cad_text(const std::string& text, long double x, long double y) {
  if (text.empty()) return;
  long double length = static_cast<long double>(text.size()) * TextHeight * TextWidthFactor;
  if (TextAlignH == 1) x -= length / 2;
  if (TextAlignH == 2) x -= length;
  if (TextAlignV == 1) y -= TextHeight / 2;
  if (TextAlignV == 2) y -= TextHeight;
  const CadWriter* w = cad_active_writer();
  if (w && w->text) w->text(text, x + ox(), y + oy());
}

void cad_text_angle(const std::string& text) {
  if (text.empty()) return;
  cad_text(text, CurrentPoint.x, CurrentPoint.y);
  long double d = 1.6L * TextHeight * LineSpacing;
  if (TextAngle != 0) {
    long double direction = DegToRad(TextAngle - 90);
    CurrentPoint.x += d * std::cos(direction);
    CurrentPoint.y += d * std::sin(direction);
  } else {
    CurrentPoint.y -= d;
  }
}

namespace {

void apply_text_style(std::int32_t style, long double angle, long double height,
                      long double width_factor, long double screen_width) {
  TextHeight = height;
  TextWidthFactor = width_factor;
  TextAngle = angle;
  TextObliqueAngle = CadFontAngle;
  const CadWriter* w = cad_active_writer();
  if (w && w->text_style) w->text_style(style, angle, height, screen_width * 0.95L);
}

}  // namespace

void cad_text_style(std::int32_t style, long double angle, long double height, long double width) {
  if (height == 0) return;
  long double factor = width == 0 ? 0.7L * CadTextFactor : width / height * CadTextFactor;
  apply_text_style(style, window_corrected_angle(angle), height, factor, width);
}

void cad_text_style_stored(std::int32_t style, long double angle, long double height,
                           long double width) {
  if (height == 0) return;
  long double screen_width = CadTextFactor != 0 ? width / CadTextFactor : width;
  apply_text_style(style, angle, height, width / height, screen_width);
}

void cad_text_fit(std::int32_t style, const std::string& text, long double angle,
                  long double height, long double width, long double max_length) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t chars = first == std::string::npos ? 0 : text.find_last_not_of(' ') - first + 1;
  long double length = chars * width * GraphicsTextWidthFactor / 0.7L;
  if (max_length >= length) {
    cad_text_style(style, angle, height, width);
    return;
  }
  long double k = max_length / length * 0.9L;
  if (text.size() < 8) k *= 0.9L;
  cad_text_style(style, angle, height * k, width * k);
}

void cad_text_align(std::int32_t h, std::int32_t v) {
  TextAlignH = h;
  TextAlignV = v;
}

void cad_line_spacing(long double f) {
  LineSpacing = f;
}

void cad_solid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4) {
  const CadWriter* w = cad_active_writer();
  if (w && w->solid) {
    w->solid(x1 + ox(), y1 + oy(), x2 + ox(), y2 + oy(), x3 + ox(), y3 + oy(), x4 + ox(),
             y4 + oy());
  }
}

void cad_moveto(long double x, long double y) {
  CurrentPoint = {x, y};
}

void cad_lineto(long double x, long double y) {
  cad_line(CurrentPoint.x, CurrentPoint.y, x, y);
  CurrentPoint = {x, y};
}

void cad_rect(long double x1, long double y1, long double x2, long double y2) {
  cad_moveto(x1, y1);
  cad_lineto(x2, y1);
  cad_lineto(x2, y2);
  cad_lineto(x1, y2);
  cad_lineto(x1, y1);
}

void cad_hline(long double x, long double y, long double length) {
  cad_line(x, y, x + length, y);
}

void cad_vline(long double x, long double y, long double length) {
  cad_line(x, y, x, y + length);
}

void cad_layer(std::int32_t n) {
  if (n < 0) n = 0;  // a user's block file may carry one; it must not index the layer tables
  if (n > 31) n = n % 16 + 16;
  CurrentLayerNumber = static_cast<std::uint8_t>(n);
  const CadWriter* w = cad_active_writer();
  if (w && w->layer) w->layer(n);
}

void cad_line_style(std::int32_t s) {
  const CadWriter* w = cad_active_writer();
  if (w && w->line_style) w->line_style(s);
}

void cad_set_numbered_layers(std::int32_t n) {
  NumberedLayers = n;
}

void cad_insert(const std::string& name, long double x, long double y, long double angle,
                long double sx, long double sy) {
  const CadWriter* w = cad_active_writer();
  if (w == nullptr) return;
  if (!w->block_files) {
    if (w->insert) w->insert(name, x, y, angle, sx, sy);
    return;
  }
  // Replay lands where a CAD program puts the same INSERT: the drawing offset is not applied
  // to the block's entities a second time.
  CadPoint offset = DrawOffset;
  DrawOffset = {};
  BlockLevel = 0;
  InsertOriginX = InsertOriginY = InsertAngle = 0;
  InsertScaleX = InsertScaleY = 1;
  dxf_read_block(name, x, y, angle, sx, sy);
  DrawOffset = offset;
}

void cad_insert_offset(const std::string& name, long double x, long double y, long double angle,
                       long double sx, long double sy) {
  cad_insert(name, x + ox(), y + oy(), angle, sx, sy);
}

void cad_polyline_begin(std::uint8_t closed) {
  VertexCount = 1;
  const CadWriter* w = cad_active_writer();
  if (takes_polylines(w) && w->polyline_begin) w->polyline_begin(closed);
}

namespace {

void vertex_as_segment(long double x, long double y) {
  if (VertexSweep == 0) {
    cad_lineto(x, y);
    return;
  }
  if (ArcsAsSegments) {
    cad_arc_polygon(CurrentPoint.x, CurrentPoint.y, x, y, VertexSweep);
  } else {
    long double xc = 0, yc = 0, a1 = 0, a2 = 0, r = 0;
    GetArcCenterD(CurrentPoint.x, CurrentPoint.y, x, y, VertexSweep, xc, yc, a1, a2, r);
    cad_arc(xc, yc, RadToDeg(a1), RadToDeg(a2), r, RadToDeg(VertexSweep));
  }
  cad_moveto(x, y);
}

}  // namespace

void cad_vertex(long double x, long double y, long double sweep) {
  const CadWriter* w = cad_active_writer();
  if (takes_polylines(w)) {
    w->vertex(x + ox(), y + oy(), sweep);
    if (w->polylines_need_mode) cad_moveto(x, y);
    return;
  }
  if (VertexCount == 1) {
    cad_moveto(x, y);
  } else {
    vertex_as_segment(x, y);
  }
  VertexSweep = sweep;
  ++VertexCount;
}

void cad_polyline_end() {
  const CadWriter* w = cad_active_writer();
  if (takes_polylines(w) && w->polyline_end) w->polyline_end();
}

void cad_setz(long double z_bottom, long double z_top) {
  ZBottom = z_bottom;
  ZTop = z_top;
  const CadWriter* w = cad_active_writer();
  if (w && w->setz) w->setz(z_bottom, z_top);
}

void cad_circle_polygon(bool clockwise, long double x, long double y, long double r) {
  if (ArcResolution <= 0) ArcResolution = 0.1L;
  long double length = 2 * kPi * r;
  cad_moveto(x + r, y);
  if (!(ArcResolution < length)) {
    cad_lineto(x + r, y);
    return;
  }
  std::int32_t n = chord_count(length / ArcResolution);
  long double step = 2 * kPi / n;
  if (clockwise) step = -step;
  for (std::int32_t i = 0; i <= n; ++i) {
    long double angle = i * step + (step < 0 ? 2 * kPi : 0);
    cad_lineto(x + r * std::cos(angle), y + r * std::sin(angle));
  }
}

void cad_arc_polygon(long double x1, long double y1, long double x2, long double y2,
                     long double sweep) {
  long double xc = 0, yc = 0, a1 = 0, a2 = 0, r = 0;
  GetArcCenter(x1, y1, x2, y2, sweep, xc, yc, a1, a2, r);
  long double length = std::fabs(sweep) * r;
  if (!(length > 0) || !std::isfinite(length)) return;
  if (ArcResolution <= 0) ArcResolution = 0.2L;
  cad_moveto(x1, y1);
  if (ArcResolution >= length && std::fabs(sweep) <= 0.1L) {
    cad_lineto(x2, y2);
    return;
  }
  std::int32_t n = std::fabs(sweep * ArcResolution / length) <= 0.1L
                       ? chord_count(length / ArcResolution)
                       : chord_count(std::fabs(sweep) / 0.1L);
  long double step = sweep / n;
  long double base = step >= 0 ? a1 : a2;
  for (std::int32_t i = 0; i <= n; ++i) {
    long double angle = i * step + base;
    cad_lineto(xc + r * std::cos(angle), yc + r * std::sin(angle));
  }
}

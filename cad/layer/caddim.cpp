#include "cad/layer/caddim.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/draw/hgvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilmath.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

constexpr char kPlusMinus = '\xF1';  // code page 850

struct TolerancePlaces {
  CadPoint lower;
  CadPoint upper;
  CadPoint plus_minus;
};

long double length_of(const std::string& text) {
  return static_cast<long double>(text.size());
}

// Width of the tolerance column in the dimension text style.
long double tolerance_width(const std::string& upper, const std::string& lower) {
  long double longer = std::max(length_of(upper), length_of(lower));
  return (longer + 1) * 1.8L * TextWidthFactor * DimArrowFactor * 1.1L;
}

// A tolerance of value 0 is left out; a positive one gets its "+" unless it is written already.
void signed_tolerance(const std::string& text, long double value, CadPoint at) {
  if (value < 0) cad_text(text, at.x, at.y);
  if (value > 0) cad_text(text.front() == '+' ? text : "+" + text, at.x, at.y);
}

void draw_tolerances(const std::string& upper, const std::string& lower,
                     const TolerancePlaces& at) {
  if (upper.empty() && lower.empty()) return;
  if (upper.empty()) {
    cad_text(lower, at.lower.x, at.lower.y);
    return;
  }
  if (lower.empty()) {
    cad_text(upper, at.upper.x, at.upper.y);
    return;
  }
  long double u = TextToReal(upper);
  long double l = TextToReal(lower);
  if (u == -l && u != 0) {
    cad_text(std::string(1, kPlusMinus) + upper, at.plus_minus.x, at.plus_minus.y);
    return;
  }
  signed_tolerance(lower, l, at.lower);
  signed_tolerance(upper, u, at.upper);
}

// Ordered so that a short dimension (up to 10 F) has its arrows outside: first the smaller,
// then exchanged again when short.
void order_ends(long double& a, long double& b) {
  if (b < a) std::swap(a, b);
  if ((b - a) / DimArrowFactor <= 10) std::swap(a, b);
}

void dimension_text_style(long double angle) {
  cad_text_style(2, angle, 3.5L * DimArrowFactor, 2.5L * DimArrowFactor);
}

void tolerance_text_style(long double angle) {
  cad_text_style(2, angle, 2.5L * DimArrowFactor, 1.8L * DimArrowFactor);
}

}  // namespace

long double DimArrowFactorFor(long double f) {
  const long double factor = f * DimArrowBase;
  return std::fabs(factor) < 0.001L ? 1.0L : factor;
}

void cad_dim_scale(long double f) {
  DimArrowFactor = DimArrowFactorFor(f);
}

void cad_arrow(long double x, long double y, long double direction, long double half_opening,
               long double head_length, long double shaft_length) {
  long double d = DegToRad(direction);
  long double h = DegToRad(half_opening);
  long double l = head_length;
  cad_solid(x, y, x + l * std::cos(d + h), y + l * std::sin(d + h), x + l * std::cos(d - h),
            y + l * std::sin(d - h), x + l * std::cos(d), y + l * std::sin(d));
  cad_line(x, y, x + shaft_length * std::cos(d), y + shaft_length * std::sin(d));
}

void cad_dim_arrow(long double x, long double y, long double direction) {
  cad_arrow(x, y, direction, 10, 3.5L * DimArrowFactor, 3.5L * DimArrowFactor);
}

void cad_dim_h_line(const std::string& text, const std::string& upper, const std::string& lower,
                    long double x1, long double x2, long double y) {
  const long double f = DimArrowFactor;
  const long double text_factor = CadTarget == kCadScreen ? GraphicsTextWidthFactor : CadTextFactor;
  order_ends(x1, x2);
  dimension_text_style(0);
  long double total =
      length_of(text) * 2.5L * text_factor * f * 1.2L + tolerance_width(upper, lower);
  long double tx = (x1 + x2) / 2 - total / 2;
  cad_text(text, tx, y + f);
  tolerance_text_style(0);
  long double t = tx + (length_of(text) + 1) * 2.5L * TextWidthFactor * f * 1.2L;
  draw_tolerances(upper, lower, {{t, y + 0.5L * f}, {t, y + 2.5L * f}, {t, y + 1.25L * f}});
  cad_line(x1, y, x2, y);
  cad_dim_arrow(x1, y, 0);
  cad_dim_arrow(x2, y, 180);
}

void cad_dim_v_line(const std::string& text, const std::string& upper, const std::string& lower,
                    long double y1, long double y2, long double x) {
  const long double f = DimArrowFactor;
  order_ends(y1, y2);
  dimension_text_style(90);
  long double total =
      length_of(text) * 2.5L * TextWidthFactor * f * 1.2L + tolerance_width(upper, lower);
  long double ty = (y1 + y2) / 2 - total / 2;
  cad_text(text, x - f, ty);
  tolerance_text_style(90);
  long double t = ty + (length_of(text) + 1) * 2.5L * TextWidthFactor * f * 1.3L;
  draw_tolerances(upper, lower, {{x - 0.5L * f, t}, {x - 2.5L * f, t}, {x - f, t - 0.5L * f}});
  cad_line(x, y1, x, y2);
  cad_dim_arrow(x, y1, 90);
  cad_dim_arrow(x, y2, 270);
}

void cad_dim_h(const std::string& text, const std::string& upper, const std::string& lower,
               long double x1, long double y1, long double x2, long double y2, long double yd) {
  cad_layer(3);
  long double end = y1 > yd ? yd - DimArrowFactor : yd + DimArrowFactor;
  cad_line(x1, y1, x1, end);
  cad_line(x2, y2, x2, end);
  cad_dim_h_line(text, upper, lower, x1, x2, yd);
}

void cad_dim_v(const std::string& text, const std::string& upper, const std::string& lower,
               long double x1, long double y1, long double x2, long double y2, long double xd) {
  cad_layer(3);
  long double end = x1 > xd ? xd - DimArrowFactor : xd + DimArrowFactor;
  cad_line(x1, y1, end, y1);
  cad_line(x2, y2, end, y2);
  cad_dim_v_line(text, upper, lower, y1, y2, xd);
}

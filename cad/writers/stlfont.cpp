// The STL writer's text: seven-segment characters whose strokes are flat prisms.
#include <cmath>
#include <cstring>
#include <numbers>

#include "cad/layer/cadvar.h"
#include "cad/writers/stlwall.h"

namespace {

constexpr long double kDegree = std::numbers::pi_v<long double> / 180;

enum class Stroke { Horizontal, Slanted };

struct Segment {
  Stroke stroke;
  long double dx_w, dx_hs, dy_h;  // start point: x + dx_w w + dx_hs h s, y + dy_h h
  const char* characters;
};

// Top, upper right, lower right, bottom, lower left, upper left, middle.
constexpr Segment kSegments[] = {
    {Stroke::Horizontal, 0, 1, 1, "02356789ACEFGMOPQRSTZa"},
    {Stroke::Slanted, 1, 0.5L, 0.5L, "01234789ADHJMOPQRUWXYZ"},
    {Stroke::Slanted, 1, 0, 0, "013456789ABDGHJMNORSUVWhou"},
    {Stroke::Horizontal, 0, 0, 0, ",.0235689BCDEGJLOQSUVWZ_cou"},
    {Stroke::Slanted, 0, 0, 0, "0268ABCDEFGHIKLMNOPQRTUVWXYZchoru"},
    {Stroke::Slanted, 0, 0.5L, 0.5L, "045689ABCEFGHIKLMOPQRSTUWYh"},
    {Stroke::Horizontal, 0, 0.5L, 0.5L, "-2345689ABDEFGHKNPRSWXYZchor"},
};

// A bar of the given length with pointed ends, rotated by angle about its start point; its
// walls run clockwise round the outline so that they face outwards.
void bar(long double length, long double h, long double angle, long double x0, long double y0) {
  const long double t = 0.09L * h;
  const long double u[6] = {0, t / 2, length - t / 2, length, length - t / 2, t / 2};
  const long double v[6] = {0, -t / 2, -t / 2, 0, t / 2, t / 2};
  const long double c = std::cos(angle * kDegree), s = std::sin(angle * kDegree);
  long double x[6], y[6];
  for (int i = 0; i < 6; ++i) {
    x[i] = u[i] * c - v[i] * s + x0;
    y[i] = v[i] * c + u[i] * s + y0;
  }
  for (int i = 6; i > 0; --i) stl_wall(x[i % 6], y[i % 6], x[i - 1], y[i - 1]);
}

// Lower-case letters take the capital's shape except the six that have their own.
char shape_of(char c) {
  if (c >= 'a' && c <= 'z' && std::strchr("achoru", c) == nullptr) return static_cast<char>(c - 32);
  return c;
}

void character(char c, long double x, long double y) {
  const long double h = TextHeight;
  const long double w = 0.5L * h * TextWidthFactor;
  const long double hs = h * std::sin(10 * kDegree);
  c = shape_of(c);
  if (c == '\0') return;
  for (const Segment& segment : kSegments) {
    if (std::strchr(segment.characters, c) == nullptr) continue;
    const long double x0 = x + segment.dx_w * w + segment.dx_hs * hs;
    const long double y0 = y + segment.dy_h * h;
    if (segment.stroke == Stroke::Horizontal) {
      bar(w, h, 0, x0, y0);
    } else {
      bar(h / 2, h, 80, x0, y0);
    }
  }
}

}  // namespace

void stl_text(const std::string& text, long double x, long double y) {
  const long double advance = TextHeight * TextWidthFactor;
  for (std::size_t i = 0; i < text.size(); ++i) {
    character(text[i], x + static_cast<long double>(i) * advance, y);
  }
}

#include "cad/drawings/zonemarks.h"

#include <cmath>
#include <string>

#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

void zone_strip(std::int32_t nx, std::int32_t ny, long double x1, long double y1, long double x2,
                long double y2, long double w) {
  cad_rect(x1 - w, y1 - w, x2 + w, y2 + w);
  const long double dx = (x2 - x1) / nx;
  const long double dy = (y2 - y1) / ny;
  cad_text_style(2, 0, w / 2, 0.375L * w);
  cad_layer(3);
  for (std::int32_t i = 0; i <= nx; ++i) {
    const long double x = x1 + i * dx;
    const std::string number = IntText(i + 1);
    cad_vline(x, y2, w);
    if (i < nx) cad_text(number, x + dx / 2, y2 + 0.25L * w);
    cad_vline(x, y1, -w);
    if (i < nx) cad_text(number, x + dx / 2, y1 - 0.75L * w);
  }
  for (std::int32_t j = 0; j <= ny; ++j) {
    const long double y = y1 + j * dy;
    const std::string letter(1, IndexLetter(j + 1));
    cad_hline(x1, y, -w);
    if (j < ny) cad_text(letter, x1 - 0.75L * w, y + dy / 2);
    cad_hline(x2, y, w);
    if (j < ny) cad_text(letter, x2 + 0.25L * w, y + dy / 2);
  }
}

long double tick_length(std::int64_t i) {
  if (i % 10 == 0) return 3;
  return i % 5 == 0 ? 2.25L : 1.5L;
}

// Whole millimetres between a and b, halves to even.
std::int64_t millimetres(long double a, long double b) {
  return static_cast<std::int64_t>(std::nearbyint(b - a));
}

long double half_text_length(const std::string& text) {
  return 0.5625L * static_cast<long double>(text.size());
}

void millimetre_scale(long double x1, long double y1, long double x2, long double y2,
                      long double w) {
  cad_text_style(2, 0, 1.5L, 1.125L);
  for (std::int64_t i = 0, m = millimetres(x1, x2); i <= m; ++i) {
    const long double x = x1 + static_cast<long double>(i);
    cad_vline(x, y2 + w, tick_length(i));
    if (i % 10 == 0) {
      const std::string text = IntText(static_cast<std::int32_t>(i));
      cad_text(text, x - half_text_length(text), y2 + w + 3.6L);
    }
  }
  cad_text_style(2, 90, 1.5L, 1.125L);
  for (std::int64_t j = 0, m = millimetres(y1, y2); j <= m; ++j) {
    const long double y = y1 + static_cast<long double>(j);
    cad_hline(x2 + w, y, tick_length(j));
    if (j % 10 == 0) {
      const std::string text = IntText(static_cast<std::int32_t>(j));
      cad_text(text, x2 + w + 4.8L, y - half_text_length(text));
    }
  }
}

}  // namespace

void DrawZoneMarks(std::int32_t nx, std::int32_t ny, long double x1, long double y1, long double x2,
                   long double y2, long double w) {
  cad_layer(3);
  if (!HideZoneMarks) zone_strip(nx, ny, x1, y1, x2, y2, w);
  if (!HideMmScale) millimetre_scale(x1, y1, x2, y2, w);
}

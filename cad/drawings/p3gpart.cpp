#include "cad/drawings/p3gpart.h"

#include <algorithm>
#include <string>

#include "base/text/unittext.h"
#include "cad/drawings/p3gcontour.h"
#include "cad/layer/caddim.h"
#include "cad/layer/cadprim.h"
#include "calc/kv6record.h"

namespace {

constexpr std::uint16_t kConnection = 0;
constexpr std::uint16_t kPolylineElement = 2;
constexpr std::int32_t kDimensionLayer = 3;

bool shows_shaft(std::uint16_t part) {
  return part == kConnection || part == kShaft;
}
bool shows_hub(std::uint16_t part) {
  return part == kConnection || part == kHub;
}

// The shaft's bore is a hole, so it runs clockwise; the hub's outer circle does not.
void bore_and_outer_circles(std::uint16_t part) {
  const kv6record& r = CalcData;
  if (shows_shaft(part) && r.dB1 > 0) cad_circle_cw(0, 0, r.dB1 / 2);
  if (shows_hub(part) && r.dB2 > 0) cad_circle(0, 0, r.dB2 / 2);
}

std::string tolerance_text(std::uint16_t part) {
  if (part == kShaft) return CalcData.TolShaft;
  if (part == kHub) return "H7";
  return "H7 / " + CalcData.TolShaft;
}

void dimensions(std::uint16_t part) {
  const kv6record& r = CalcData;
  cad_layer(kDimensionLayer);
  cad_dim_scale(0.015L * r.d2);
  cad_circle(0, 0, r.d3 / 2);
  cad_circle(0, 0, r.d2 / 2);
  const long double m = std::max(r.d2, r.dB2);
  cad_dim_v(LengthText(r.d3), "", "", 0, -r.d3 / 2, 0, r.d3 / 2, 0.65L * m);
  cad_dim_v(LengthText(r.d2), "", "", 0, -r.d2 / 2, 0, r.d2 / 2, 0.75L * m);
  const long double line_at = part == kShaft ? -0.68L * r.d2 : -0.65L * m;
  cad_dim_h(LengthText(r.d1), tolerance_text(part), "", -r.d2 / 2, 0, r.d3 / 2, 0, line_at);
  if (shows_shaft(part) && r.dB1 > 0) {
    cad_dim_v(LengthText(r.dB1), "", "", 0, r.dB1 / 2, 0, -r.dB1 / 2, -0.65L * r.d2);
  }
  if (shows_hub(part) && r.dB2 > 0) {
    cad_dim_v(LengthText(r.dB2), "", "", 0, r.dB2 / 2, 0, -r.dB2 / 2, -0.62L * m);
  }
}

}  // namespace

void DrawP3GPart(std::uint16_t part, std::uint16_t mode) {
  const kv6record& r = CalcData;
  DrawP3GContour(3, r.CadElement == kPolylineElement, r.Resolution, r.d1graf, r.e1, false);
  if (mode == 1 || mode == 2) bore_and_outer_circles(part);
  if (mode == 2) dimensions(part);
}

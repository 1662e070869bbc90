#include "cad/drawings/p3gpart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/text/unittext.h"
#include "cad/drawings/p3gcontour.h"
#include "cad/layer/caddim.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/kv6record.h"

namespace {

constexpr std::uint16_t kConnection = 0;
constexpr std::uint16_t kPolylineElement = 2;
constexpr std::int32_t kDimensionLayer = 3;
// Where the dimension lines lie, as fractions of d2 or of the larger of d2 and the hub's outer
// diameter; the arrow factor is a fraction of d2.
constexpr long double kArrowPerD2 = 0.015L;
constexpr long double kInnerCircleLine = 0.65L;
constexpr long double kOuterCircleLine = 0.75L;
constexpr long double kShaftDiameterLine = 0.68L;
constexpr long double kDiameterLine = 0.65L;
constexpr long double kBoreLine = 0.65L;
constexpr long double kHubOuterLine = 0.62L;
// A vertical dimension's text stands left of its line: one arrow factor off, 3.5 high.
constexpr long double kTextReach = 4.5L;

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

// The dimension lines keep clear of the larger of the profile and the hub's outer circle.
long double dimension_base() {
  return std::max(CalcData.d2, CalcData.dB2);
}

long double diameter_line(std::uint16_t part) {
  return part == kShaft ? -kShaftDiameterLine * CalcData.d2 : -kDiameterLine * dimension_base();
}

void dimensions(std::uint16_t part) {
  const kv6record& r = CalcData;
  cad_layer(kDimensionLayer);
  cad_dim_scale(kArrowPerD2 * r.d2);
  cad_circle(0, 0, r.d3 / 2);
  cad_circle(0, 0, r.d2 / 2);
  const long double m = dimension_base();
  cad_dim_v(LengthText(r.d3), "", "", 0, -r.d3 / 2, 0, r.d3 / 2, kInnerCircleLine * m);
  cad_dim_v(LengthText(r.d2), "", "", 0, -r.d2 / 2, 0, r.d2 / 2, kOuterCircleLine * m);
  cad_dim_h(LengthText(r.d1), tolerance_text(part), "", -r.d2 / 2, 0, r.d3 / 2, 0,
            diameter_line(part));
  if (shows_shaft(part) && r.dB1 > 0) {
    cad_dim_v(LengthText(r.dB1), "", "", 0, r.dB1 / 2, 0, -r.dB1 / 2, -kBoreLine * r.d2);
  }
  if (shows_hub(part) && r.dB2 > 0) {
    cad_dim_v(LengthText(r.dB2), "", "", 0, r.dB2 / 2, 0, -r.dB2 / 2, -kHubOuterLine * m);
  }
}

// The radius of the largest circle of the view: the contour's outer circle, and the bore and
// outer circles when they are drawn.
long double largest_radius(std::uint16_t part, std::uint16_t mode) {
  const kv6record& r = CalcData;
  const long double d = r.d1graf == 0 ? kDefaultContourDiameter : r.d1graf;
  long double radius = std::fabs(d / 2) + std::fabs(r.e1);
  if (mode == 1 || mode == 2) {
    if (shows_shaft(part)) radius = std::max(radius, r.dB1 / 2);
    if (shows_hub(part)) radius = std::max(radius, r.dB2 / 2);
  }
  if (mode == 2) radius = std::max({radius, r.d2 / 2, r.d3 / 2});
  return radius;
}

// How far the dimensions reach across (x) and down (y) from the centre.
CadPoint dimension_reach(std::uint16_t part) {
  const kv6record& r = CalcData;
  const long double f = std::fabs(DimArrowFactorFor(kArrowPerD2 * r.d2));
  const long double m = dimension_base();
  long double across = kOuterCircleLine * m + f;
  if (shows_shaft(part) && r.dB1 > 0) across = std::max(across, kBoreLine * r.d2 + kTextReach * f);
  if (shows_hub(part) && r.dB2 > 0) across = std::max(across, kHubOuterLine * m + kTextReach * f);
  return {across, std::fabs(diameter_line(part)) + f};
}

}  // namespace

CadPoint P3GPartReach(std::uint16_t part, std::uint16_t mode) {
  const long double radius = largest_radius(part, mode);
  CadPoint reach{radius, radius};
  if (mode == 2) {
    const CadPoint dims = dimension_reach(part);
    reach = {std::max(reach.x, dims.x), std::max(reach.y, dims.y)};
  }
  return reach;
}

void DrawP3GPart(std::uint16_t part, std::uint16_t mode) {
  const kv6record& r = CalcData;
  DrawP3GContour(3, r.CadElement == kPolylineElement, r.Resolution, r.d1graf, r.e1, false);
  if (mode == 1 || mode == 2) bore_and_outer_circles(part);
  if (mode == 2) dimensions(part);
}

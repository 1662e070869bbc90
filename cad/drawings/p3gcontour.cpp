#include "cad/drawings/p3gcontour.h"

#include <cmath>

#include "base/text/utilmath.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

constexpr std::int32_t kContourLayer = 5;
constexpr std::int32_t kDefaultResolution = 90;
// The chord cap of the CAD layer; a stored resolution of 10^9 would otherwise stall the program.
constexpr std::int32_t kMaxResolution = 100000;

std::int32_t effective_resolution(std::int32_t resolution, std::uint16_t lobes) {
  if (resolution < 3 * lobes) return kDefaultResolution;
  if (resolution > kMaxResolution) return kMaxResolution;
  return resolution;
}

// The contour point whose outward normal points at phi: with the support function
// h = d/2 - e cos(n phi), the point is h (cos phi, sin phi) + h' (-sin phi, cos phi).
CadPoint contour_point(long double phi, long double n, long double d, long double e) {
  const long double h = d / 2 - e * std::cos(n * phi);
  const long double dh = n * e * std::sin(n * phi);
  const long double c = std::cos(phi);
  const long double s = std::sin(phi);
  return {h * c - dh * s, h * s + dh * c};
}

}  // namespace

void DrawP3GContour(std::uint16_t lobes, bool polyline, std::int32_t resolution, long double d,
                    long double e, bool reverse) {
  if (lobes == 0) lobes = 3;
  resolution = effective_resolution(resolution, lobes);
  if (d == 0) d = kDefaultContourDiameter;
  cad_layer(kContourLayer);
  if (polyline) {
    cad_polyline_begin(0);
  } else {
    cad_moveto(d / 2 - e, 0);
  }
  // An integer count gives both ends, 2 x resolution + 1 points; the full turn is taken as
  // angle 0, so that the contour closes exactly.
  const std::int32_t steps = 2 * resolution;
  for (std::int32_t i = 0; i <= steps; ++i) {
    const std::int32_t step = (reverse ? steps - i : i) % steps;
    const long double phi = static_cast<long double>(step) * Pi / resolution;
    const CadPoint p = contour_point(phi, lobes, d, e);
    if (polyline) {
      cad_vertex(p.x, p.y, 0);
    } else {
      cad_lineto(p.x, p.y);
    }
  }
  if (polyline) cad_polyline_end();
}

// The P3G polygon contour (DIN 32711) as CAD geometry on layer 5.
#pragma once

#include <cstdint>

// The mean diameter a contour of diameter 0 is drawn with.
inline constexpr long double kDefaultContourDiameter = 4.2L;

// Draws the contour with lobes lobes (0 means 3), mean diameter d (0 means 4.2) and eccentricity
// e around the origin (plus the drawing offset), as one open polyline or as connected lines.
// resolution counts steps per half turn: below 3 x lobes it is 90, above 100,000 it is 100,000.
// The 2 x resolution + 1 points run from angle 0 to 2 pi, or back from 2 pi with reverse; first
// and last are both (d/2 - e, 0).
void DrawP3GContour(std::uint16_t lobes, bool polyline, std::int32_t resolution, long double d,
                    long double e, bool reverse);

// The ISO 7200 marking strip round the 10 mm border and the millimetre scale outside it.
#pragma once

#include <cstdint>

// nx zones across and ny up between the border corners (x1, y1) and (x2, y2); w is the strip
// width. Numbers run from left to right, letters from bottom to top.
void DrawZoneMarks(std::int32_t nx, std::int32_t ny, long double x1, long double y1, long double x2,
                   long double y2, long double w);

// One profile view of the P3G connection: the contour of the drawing settings, with the bore and
// outer circles and the dimensions when asked. The drawings place it directly or as a block.
#pragma once

#include <cstdint>

#include "cad/layer/cadvar.h"

// part: 0 the connection (shaft and hub), 1 the shaft, 2 the hub. mode: 0 the contour only, 1
// with the bore and outer circles, 2 dimensioned as well.
void DrawP3GPart(std::uint16_t part, std::uint16_t mode);
// How far the view reaches from its centre across (x) and up and down (y): its largest circle
// and, dimensioned, the dimension lines with their texts.
CadPoint P3GPartReach(std::uint16_t part, std::uint16_t mode);

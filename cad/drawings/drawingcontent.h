// What each of the twelve drawings is made of: its header, the blocks it defines (sheet frame,
// profile views, result tables) and its entities, which place those blocks and draw the rest.
// The dispatcher calls them in the order the CAD output layer expects.
#pragma once

#include <cstdint>

// The extents and extrusion height of drawing 1 to 12, through cad_header.
void DrawingHeader(std::uint16_t drawing);
// Defines the drawing's blocks, in the order FRAME_1, P3G0, P3G1, P3G2, TABLE_1, TABLE_2,
// TABLE_3, each only where the drawing uses it.
void DrawingBlocks(std::uint16_t drawing);
// One entity pass of the drawing.
void DrawingEntities(std::uint16_t drawing);

// The scale of a profile view from its quotient: 1 unless the quotient is finite and positive.
long double ProfileScale(long double quotient);

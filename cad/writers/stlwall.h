// The STL writer's building blocks: a vertical wall between ZBottom and ZTop over one segment,
// and the stroke-font text made of such walls.
#pragma once

#include <string>

// Two facets over the segment from point 1 to point 2, facing left of that direction; none when
// the two points, or ZBottom and ZTop, are written alike.
void stl_wall(long double x1, long double y1, long double x2, long double y2);
// The text in the built-in seven-segment font, character i at (x + i h f, y), h = TextHeight,
// f = TextWidthFactor; the text angle is not applied.
void stl_text(const std::string& text, long double x, long double y);

#pragma once
// The inputs and results of the P3G calculation as CAD text tables on layer 4, in the current
// language and the user's units. (x, y) is the top left corner, h the text height (0 means 3.5).
// Every column is at least as wide as its longest text; the ...Width functions give a table's
// width at h, so that a drawing can shrink a table into its place.

#include <cstdint>

// The P3G dimensions of part 1 (shaft) or 2 (hub), or with part 0 the section values. short_form
// leaves out lengths, drill and grinding diameters; the section values have no short form.
void DrawDimensionTable(bool short_form, std::int32_t part, long double x, long double y,
                        long double h);
long double DimensionTableWidth(bool short_form, std::int32_t part, long double h);
// Loads, material values, allowable values, pressure and safety factors of shaft and hub;
// detailed adds wall thicknesses and stresses in place of the material row.
void DrawStrengthTable(bool detailed, long double x, long double y, long double h);
long double StrengthTableWidth(bool detailed, long double h);
// The height of that table from its top to the foot of its last row.
long double StrengthTableHeight(bool detailed, long double h);
// Drawing names and numbers and the two materials.
void DrawMaterialTable(long double x, long double y, long double h);
long double MaterialTableWidth(long double h);
// The check of the textbook method: factors, permissible pressures and torques.
void DrawPressureSafetyTable(long double x, long double y, long double h);
long double PressureSafetyTableWidth(long double h);

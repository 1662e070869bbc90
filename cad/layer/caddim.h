// Dimensions and arrows of the CAD output layer, drawn out of lines, solids and texts so that
// every target sees the same primitives. All sizes are multiples of DimArrowFactor (F).
#pragma once

#include <string>

// DimArrowFactor := f * DimArrowBase; a result below 0.001 in absolute value gives 1.0.
void cad_dim_scale(long double f);
// The DimArrowFactor that cad_dim_scale(f) sets, without setting it.
long double DimArrowFactorFor(long double f);

// A filled head with its tip at (x, y) opening towards direction (degrees) with the half opening
// angle, head length and shaft length.
void cad_arrow(long double x, long double y, long double direction, long double half_opening,
               long double head_length, long double shaft_length);
// The dimension arrow: 10 degrees half opening, head and shaft 3.5 F.
void cad_dim_arrow(long double x, long double y, long double direction);

// Dimension line with its text and tolerances; a line up to 10 F long gets its arrows from
// outside. The tolerance texts are written as the caller formats them.
void cad_dim_h_line(const std::string& text, const std::string& upper, const std::string& lower,
                    long double x1, long double x2, long double y);
void cad_dim_v_line(const std::string& text, const std::string& upper, const std::string& lower,
                    long double y1, long double y2, long double x);

// Dimensions of two points with extension lines on layer 3; the first point alone decides on
// which side of the dimension line the extension lines end.
void cad_dim_h(const std::string& text, const std::string& upper, const std::string& lower,
               long double x1, long double y1, long double x2, long double y2, long double yd);
void cad_dim_v(const std::string& text, const std::string& upper, const std::string& lower,
               long double x1, long double y1, long double x2, long double y2, long double xd);

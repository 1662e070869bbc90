// Drawing operations of the CAD output layer. Each adds the drawing offset once and hands the
// primitive at once to the writer of the current target; nothing is stored.
#pragma once

#include <cstdint>
#include <string>

void cad_line(long double x1, long double y1, long double x2, long double y2);
void cad_circle(long double x, long double y, long double r);
void cad_circle_cw(long double x, long double y, long double r);
void cad_arc(long double x, long double y, long double a1, long double a2, long double r,
             long double sweep);
void cad_text(const std::string& text, long double x, long double y);
void cad_text_angle(const std::string& text);
void cad_text_style(std::int32_t style, long double angle, long double height, long double width);
// The text style as a DXF TEXT carries it (width = height * width factor): no text factor and no
// window correction are applied again. Used by the block replay.
void cad_text_style_stored(std::int32_t style, long double angle, long double height,
                           long double width);
void cad_text_fit(std::int32_t style, const std::string& text, long double angle,
                  long double height, long double width, long double max_length);
void cad_text_align(std::int32_t h, std::int32_t v);
void cad_line_spacing(long double f);
void cad_solid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4);
void cad_moveto(long double x, long double y);
void cad_lineto(long double x, long double y);
void cad_rect(long double x1, long double y1, long double x2, long double y2);
void cad_hline(long double x, long double y, long double length);
void cad_vline(long double x, long double y, long double length);
void cad_layer(std::int32_t n);
void cad_line_style(std::int32_t s);
void cad_set_numbered_layers(std::int32_t n);
void cad_insert(const std::string& name, long double x, long double y, long double angle,
                long double sx, long double sy);
void cad_insert_offset(const std::string& name, long double x, long double y, long double angle,
                       long double sx, long double sy);
void cad_polyline_begin(std::uint8_t closed);
void cad_vertex(long double x, long double y, long double sweep);
void cad_polyline_end();
void cad_setz(long double z_bottom, long double z_top);

// Chords of a full circle (counter-clockwise, or clockwise) and of an arc from (x1, y1) to
// (x2, y2) sweeping sweep radians, through cad_moveto/cad_lineto.
void cad_circle_polygon(bool clockwise, long double x, long double y, long double r);
void cad_arc_polygon(long double x1, long double y1, long double x2, long double y2,
                     long double sweep);

// ASCII DXF (R12 group-code/value pairs) written entity by entity into the current DXF stream:
// the output file on the DXF and plot targets, the block file inside BLOCKS on the targets
// whose blocks are replayed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// CadDecimals kept in 0..32: the decimals of the DXF and text-list numbers.
std::int32_t cad_decimals();

void dxf_header(long double xmin, long double ymin, long double xmax, long double ymax);
void dxf_tables(std::int32_t mode);
void dxf_blocks();
void dxf_block(const std::string& name);
void dxf_endblk();
void dxf_endsec();
void dxf_entities();
void dxf_eof();

void dxf_line(long double x1, long double y1, long double x2, long double y2);
void dxf_circle(long double x, long double y, long double r);
void dxf_arc(long double x, long double y, long double a1, long double a2, long double r,
             long double z);
void dxf_text(const std::string& text, long double x, long double y);
void dxf_solid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4);
void dxf_insert(const std::string& name, long double x, long double y, long double angle,
                long double sx, long double sy);
void dxf_polyline(std::uint8_t closed);
// The vertex as the writer table takes it: the bulge of an arc of `sweep` radians to the next
// vertex.
void dxf_polyline_vertex(long double x, long double y, long double sweep);
void dxf_seqend();
void dxf_set_layer(std::int32_t n);
void dxf_layer_entry(const std::string& name, std::uint8_t colour, const std::string& line_type);
void dxf_ltype_entry(const std::string& name, const std::string& description);

// The layer name of layer n by the naming rule of the DXF and text-list writers.
std::string cad_layer_name(std::int32_t n);

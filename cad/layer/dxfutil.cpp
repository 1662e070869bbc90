#include "cad/layer/dxfutil.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/dxfnumber.h"

namespace {

// The lines of the entity or table part being written, numbers formatted straight into them:
// Lines up to At, with room up to Limit (none before the first write). Every public writer hands
// them to the DXF stream in one piece before it returns.
std::string Lines;
char* At = nullptr;
char* Limit = nullptr;

void put_lines() {
  dxf_put_lines(std::string_view(Lines.data(), static_cast<std::size_t>(At - Lines.data())));
  At = Lines.data();
}

void grow(std::size_t n) {
  const auto used = At == nullptr ? std::size_t{0} : static_cast<std::size_t>(At - Lines.data());
  Lines.resize(std::max({2 * Lines.size(), used + n, std::size_t{4096}}));
  At = Lines.data() + used;
  Limit = Lines.data() + Lines.size();
}

// Room for n more bytes at the end of the lines.
char* room(std::size_t n) {
  if (static_cast<std::size_t>(Limit - At) < n) grow(n);
  return At;
}

void written_up_to(char* end) {
  At = end;
}

char* line_end(char* out) {
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

// A group-code line needs at most this room.
constexpr std::size_t kCodeRoom = 16 + 2;

char* put_code(char* out, std::int32_t code) {
  return line_end(out + dxf_code_text(code, out).size());
}

char* put_text(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return line_end(out + text.size());
}

void text_line(std::string_view text) {
  written_up_to(put_text(room(text.size() + 2), text));
}

void pair_text(std::int32_t code, std::string_view value) {
  written_up_to(put_text(put_code(room(kCodeRoom + value.size() + 2), code), value));
}

void pair_int(std::int32_t code, std::int32_t n) {
  pair_text(code, IntText(n));
}

// The pair of a real in fixed point; a length (scaled) takes the unit factor, except in block
// files, which keep drawing units and at least 6 decimals.
void pair_number(std::int32_t code, long double v, bool scaled) {
  const bool block_file = cad_dxf_in_block_file();
  int decimals = cad_decimals();
  if (block_file && decimals < 6) decimals = 6;
  // v * 1 is v: the usual factor needs no product, whose result would go through memory.
  const bool factor = scaled && !block_file && CadUnitFactor != 1;
  const long double product = factor ? v * CadUnitFactor : 0;
  const long double& value = factor ? product : v;
  char* out = put_code(room(kCodeRoom + kDxfNumberRoom + 2), code);
  char* end = dxf_write_number(out, value, v, decimals);
  if (end == nullptr) {
    written_up_to(out);
    text_line(dxf_number_text(value, v, decimals));
  } else {
    written_up_to(line_end(end));
  }
}

void pair_real(std::int32_t code, long double v) {
  pair_number(code, v, true);
}

// Angles, scales, bulges and the arc direction take no unit factor.
void pair_unscaled(std::int32_t code, long double v) {
  pair_number(code, v, false);
}

// Groups 0 and 8: the entity's name and its layer, with one check for room.
void entity_start(std::string_view name) {
  char* out = room(2 * kCodeRoom + name.size() + CurrentLayer.size() + 4);
  out = put_text(put_code(out, 0), name);
  written_up_to(put_text(put_code(out, 8), CurrentLayer));
}

void point(std::int32_t code, long double x, long double y) {
  pair_real(code, x);
  pair_real(code + 10, y);
}

}  // namespace

std::int32_t cad_decimals() {
  return CadDecimals < 0 ? 0 : (CadDecimals > 32 ? 32 : CadDecimals);
}

void dxf_header(long double xmin, long double ymin, long double xmax, long double ymax) {
  pair_text(0, "SECTION");
  pair_text(2, "HEADER");
  pair_text(9, "$EXTMIN");
  point(10, xmin, ymin);
  pair_text(9, "$EXTMAX");
  point(10, xmax, ymax);
  pair_text(9, "$LIMMIN");
  point(10, xmin, ymin);
  pair_text(9, "$LIMMAX");
  point(10, xmax, ymax);
  pair_text(9, "$LTSCALE");
  pair_text(40, "15");
  pair_text(0, "ENDSEC");
  put_lines();
}

namespace {

long double dxf_bulge(long double angle) {
  if (angle == 0) return angle;  // a straight segment, the most common, needs no tangent
  return std::tan(angle / 4);
}

void line_types(std::int32_t mode) {
  pair_text(0, "SECTION");
  pair_text(2, "TABLES");
  pair_text(0, "TABLE");
  pair_text(2, "LTYPE");
  pair_text(70, mode == 0 ? "6" : (mode == 1 ? "17" : "23"));
  dxf_ltype_entry("CONTINUOUS", "Ausgezogene Linie");
  pair_text(73, "0");
  pair_text(40, "0.0");
  dxf_ltype_entry("DASHDOT", "--. --. --.-");
  pair_text(73, "4");
  pair_text(40, "1.0");
  for (const char* element : {"0.5", "-0.25", "0.0", "-0.25"}) pair_text(49, element);
  dxf_ltype_entry("DASHED", "- - - - - - ");
  pair_text(73, "2");
  pair_text(40, "0.375");
  pair_text(49, "0.25");
  pair_text(49, "-0.125");
  pair_text(0, "ENDTAB");
}

std::uint8_t layer_colour(std::int32_t colour) {
  return MonochromeLayers ? 1 : static_cast<std::uint8_t>(colour & 0xFF);
}

void named_layers() {
  static const char* const kLineTypes[6] = {"CONTINUOUS", "DASHDOT",    "DASHED",
                                            "CONTINUOUS", "CONTINUOUS", "CONTINUOUS"};
  dxf_layer_entry("0", 1, "CONTINUOUS");
  for (int i = 1; i <= 5; ++i)
    dxf_layer_entry(LayerNames[i], layer_colour(LayerColours[i]), kLineTypes[i]);
}

void layers(std::int32_t mode) {
  pair_text(0, "TABLE");
  pair_text(2, "LAYER");
  pair_int(70, 24);
  if (mode == 1) {
    for (int n = 0; n <= 15; ++n) dxf_layer_entry(IntText(n), layer_colour(n + 1), "CONTINUOUS");
  } else {
    named_layers();
  }
  if (mode == 2) {
    for (int i = 1; i <= 16; ++i) {
      dxf_layer_entry(IntText(15 + i), layer_colour(PenColours[i]), "CONTINUOUS");
    }
  }
  pair_text(0, "ENDTAB");
}

void text_style_table() {
  pair_text(0, "TABLE");
  pair_text(2, "STYLE");
  pair_text(70, "1");
  pair_text(0, "STYLE");
  pair_text(2, "STANDARD");
  pair_text(70, "0");
  pair_text(40, "0.0");
  pair_text(41, "1.0");
  pair_text(50, "0.0");
  pair_text(71, "0");
  pair_text(42, "3.5");
  pair_text(3, NoLineBreaks(UpperText(CadFont)));
  pair_text(4, "");
  // This table's end is written with a bare "0" code line; readers accept it.
  text_line("0");
  text_line("ENDTAB");
}

}  // namespace

void dxf_tables(std::int32_t mode) {
  line_types(mode);
  layers(mode);
  text_style_table();
  pair_text(0, "ENDSEC");
  put_lines();
}

void dxf_blocks() {
  pair_text(0, "SECTION");
  pair_text(2, "BLOCKS");
  put_lines();
}

void dxf_block(const std::string& name) {
  pair_text(0, "BLOCK");
  pair_text(8, CurrentLayer);
  pair_text(2, NoLineBreaks(name));
  pair_text(70, "0");
  pair_text(10, "0.0");
  pair_text(20, "0.0");
  put_lines();
}

void dxf_endblk() {
  pair_text(0, "ENDBLK");
  put_lines();
}

void dxf_endsec() {
  pair_text(0, "ENDSEC");
  put_lines();
}

void dxf_entities() {
  pair_text(0, "SECTION");
  pair_text(2, "ENTITIES");
  put_lines();
}

void dxf_eof() {
  pair_text(0, "EOF");
  put_lines();
  cad_dxf_stream_close();
}

void dxf_line(long double x1, long double y1, long double x2, long double y2) {
  entity_start("LINE");
  point(10, x1, y1);
  point(11, x2, y2);
  put_lines();
}

void dxf_circle(long double x, long double y, long double r) {
  entity_start("CIRCLE");
  point(10, x, y);
  pair_real(40, r);
  put_lines();
}

void dxf_arc(long double x, long double y, long double a1, long double a2, long double r,
             long double z) {
  bool block_file = cad_dxf_in_block_file();
  // A DXF file states a clockwise arc as the same arc counter-clockwise; only the block
  // reader needs the turning sense, which block files carry in group 230.
  if (!block_file && z < 0) std::swap(a1, a2);
  entity_start("ARC");
  point(10, x, y);
  pair_real(40, r);
  pair_unscaled(50, a1);
  pair_unscaled(51, a2);
  if (block_file && std::fabs(z) > 1e-5L) pair_unscaled(230, z);
  put_lines();
}

void dxf_text(const std::string& text, long double x, long double y) {
  entity_start("TEXT");
  point(10, x, y);
  pair_real(40, TextHeight);
  std::string value = NoLineBreaks(text);
  pair_text(1, CadTarget == 3 ? value : CadText(value));
  pair_text(7, "STANDARD");
  pair_text(41, RealTextPoint(TextWidthFactor));
  pair_text(50, RealTextPoint(TextAngle));
  pair_text(51, RealTextPoint(TextObliqueAngle));
  put_lines();
}

void dxf_solid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4) {
  entity_start("SOLID");
  point(10, x1, y1);
  point(11, x2, y2);
  point(12, x3, y3);
  point(13, x4, y4);
  put_lines();
}

void dxf_insert(const std::string& name, long double x, long double y, long double angle,
                long double sx, long double sy) {
  entity_start("INSERT");
  pair_text(2, NoLineBreaks(name));
  point(10, x, y);
  pair_unscaled(41, sx);
  pair_unscaled(42, sy);
  pair_unscaled(50, angle);
  put_lines();
}

void dxf_polyline(std::uint8_t closed) {
  entity_start("POLYLINE");
  pair_int(66, 1);
  if (closed != 0) pair_int(70, closed);
  put_lines();
}

void dxf_polyline_vertex(long double x, long double y, long double sweep) {
  const long double bulge = dxf_bulge(sweep);
  entity_start("VERTEX");
  point(10, x, y);
  if (bulge != 0) pair_unscaled(42, bulge);
  put_lines();
}

void dxf_seqend() {
  entity_start("SEQEND");
  put_lines();
}

std::string cad_layer_name(std::int32_t n) {
  if (n == 0) return "0";
  if (n >= 1 && n <= 5 && NumberedLayers == 0) return NoLineBreaks(LayerNames[n]);
  return IntText(n);
}

void dxf_set_layer(std::int32_t n) {
  CurrentLayer = cad_layer_name(n);
}

void dxf_layer_entry(const std::string& name, std::uint8_t colour, const std::string& line_type) {
  pair_text(0, "LAYER");
  pair_text(2, NoLineBreaks(name));
  pair_text(70, "0");
  pair_int(62, colour);
  pair_text(6, line_type);
  put_lines();
}

void dxf_ltype_entry(const std::string& name, const std::string& description) {
  pair_text(0, "LTYPE");
  pair_text(2, name);
  pair_text(70, "64");
  pair_text(3, description);
  pair_text(72, "65");
  put_lines();
}

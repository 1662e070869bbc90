// The text list (target 5): one tab-separated record per primitive, blocks first, then entities.
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "base/settings/brelvar.h"
#include "base/text/displaytext.h"
#include "base/text/utilstr.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/dxfnumber.h"
#include "cad/layer/dxfutil.h"

namespace {

// value is what is written, unscaled the drawing value it comes from (the DXF field rule).
std::string number(long double value, long double unscaled) {
  std::string text = dxf_number_text(value, unscaled, cad_decimals());
  if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
  return DecimalMark == 2 ? PointToComma(text) : text;
}

// Coordinates and lengths take the unit factor; angles and scales do not.
std::string length(long double v) {
  return number(v * CadUnitFactor, v);
}

std::string plain(long double v) {
  return number(v, v);
}

// A tab or line break inside a value would split the record.
std::string field_text(std::string_view text) {
  std::string value = NoLineBreaks(text);
  ReplaceChar('\t', ' ', value);
  return value;
}

void record(std::string_view keyword, std::initializer_list<std::string> fields) {
  std::string line(keyword);
  for (const std::string& field : fields) {
    line += '\t';
    line += field;
  }
  cad_list_put_line(line);
}

void header(long double xmin, long double ymin, long double xmax, long double ymax, long double) {
  record("MINMAX", {length(xmin), length(ymin), length(xmax), length(ymax)});
}

void blocks_begin() {
  cad_list_put_line("SECTION BLOCKS");
}

void block_begin(const std::string& name) {
  record("BLOCK", {field_text(name)});
}

void block_end() {
  cad_list_put_line("END OF BLOCK");
}

void entities_begin() {
  cad_list_put_line("SECTION ENTITIES");
}

void close() {
  cad_list_put_line("EOF");
  cad_list_file_close();
}

void line(long double x1, long double y1, long double x2, long double y2) {
  record("LINE", {length(x1), length(y1), length(x2), length(y2)});
}

void circle(long double x, long double y, long double r) {
  record("CIRCLE", {length(x), length(y), length(r)});
}

bool near(long double a, long double b) {
  return std::fabs(a - b) <= 1e-5L;
}

bool full_turn(long double a1, long double a2) {
  return a1 == a2 || (near(a1, 0) && near(a2, 360)) || (near(a1, 360) && near(a2, 0));
}

void arc(long double x, long double y, long double a1, long double a2, long double r,
         long double sweep) {
  // A clockwise arc is the same arc counter-clockwise from its end to its start.
  if (sweep < 0) std::swap(a1, a2);
  if (full_turn(a1, a2)) {
    circle(x, y, r);
    return;
  }
  record("ARC", {length(x), length(y), length(r), plain(a1), plain(a2)});
}

void text(const std::string& value, long double x, long double y) {
  record("TEXT", {length(x), length(y), field_text(CadText(value))});
}

void solid(long double x1, long double y1, long double x2, long double y2, long double x3,
           long double y3, long double x4, long double y4) {
  record("SOLID", {length(x1), length(y1), length(x2), length(y2), length(x3), length(y3),
                   length(x4), length(y4)});
}

void insert(const std::string& name, long double x, long double y, long double angle,
            long double sx, long double sy) {
  record("INSERT", {field_text(name), length(x), length(y), plain(angle), plain(sx), plain(sy)});
}

}  // namespace

void cad_register_text_list_writer() {
  CadWriter w;
  w.extension = "txt";
  w.header = header;
  w.blocks_begin = blocks_begin;
  w.block_begin = block_begin;
  w.block_end = block_end;
  w.entities_begin = entities_begin;
  w.close = close;
  w.line = line;
  w.circle = circle;
  w.circle_cw = circle;
  w.arc = arc;
  w.text = text;
  w.solid = solid;
  w.insert = insert;
  w.layer = dxf_set_layer;
  cad_register_writer(kCadTextList, w);
}

// The STL file (target 6): every line a vertical wall between ZBottom and ZTop, every solid four
// walls, every text a row of stroke-font prisms. Walls only: the mesh is open by design.
// ASCII facets are written as they come; binary facets go out in large pieces, the header's
// facet count last.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "base/dialogs/utilcrt.h"
#include "base/files/textfile.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"
#include "cad/writers/stlfacets.h"
#include "cad/writers/stlwall.h"

namespace {

constexpr char kHeaderText[] = "STL binary file created by Brelcor Software";

std::string SolidName = "MYSOLID";
std::uint32_t FacetCount = 0;
bool ascii = false;
bool writing = false;  // opened, not yet closed, and nothing failed
TextFile AsciiFile;
std::string FileName;

std::string number(long double v) {
  return ExponentText(v, 7, 2);
}

// A coordinate of an ASCII file: its text and the 32-bit float a reader parses from it.
struct Written {
  float value = 0;
  std::string text;
};

// The float a reader parses the text into; a text beyond the float range gives the value's own
// float, as a binary file would hold it.
float read_back(const std::string& text, long double v) {
  float value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc{} ? value : static_cast<float>(v);
}

Written written(long double v) {
  std::string text = number(v);
  const float value = read_back(text, v);
  return {value, std::move(text)};
}

// A corner as a reader gets it.
struct Point {
  float x, y, z;
};

// A corner of an ASCII file: its three coordinates.
struct Corner {
  const Written* x;
  const Written* y;
  const Written* z;
};

Point point_of(const Point& p) {
  return p;
}

Point point_of(const Corner& c) {
  return {c.x->value, c.y->value, c.z->value};
}

struct Normal {
  double x, y, z;
};

// The unit normal a reader computes from the corners' floats (exact in double), facing the
// side from which they run counter-clockwise; none when they span no area.
std::optional<Normal> normal_of(const Point& a, const Point& b, const Point& c) {
  const double ux = double{b.x} - a.x, uy = double{b.y} - a.y, uz = double{b.z} - a.z;
  const double vx = double{c.x} - a.x, vy = double{c.y} - a.y, vz = double{c.z} - a.z;
  const Normal n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (!(length > 0)) return std::nullopt;
  // Adding 0 turns a negative zero positive: a zero component is written as one.
  return Normal{n.x / length + 0.0, n.y / length + 0.0, n.z / length + 0.0};
}

// The normal of a facet about to be written, its corners put in the order written. A facet that
// the written corners make degenerate is left out (none); the normal is the one a reader
// computes from them, so that no reader finds one to correct.
template <class C>
std::optional<Normal> facet_normal(C& v1, C& v2, C& v3) {
  // The exchanged winding faces the other way.
  if (StlInverse) std::swap(v2, v3);
  const std::optional<Normal> normal = normal_of(point_of(v1), point_of(v2), point_of(v3));
  if (normal) ++FacetCount;
  return normal;
}

void fail() {
  writing = false;
  cad_own_file_failed(FileName, ascii ? AsciiFile.FailureText()
                                      : FileFailureText(stl_facets_error(), IoWriteError));
}

void ascii_line(const std::string& line) {
  if (!writing) return;
  AsciiFile.WriteLine(line);
  if (AsciiFile.IoResult() != 0) fail();
}

std::string triple(const Corner& v) {
  return v.x->text + " " + v.y->text + " " + v.z->text;
}

void ascii_facet(Corner v1, Corner v2, Corner v3) {
  const std::optional<Normal> n = facet_normal(v1, v2, v3);
  if (!n) return;
  ascii_line("  facet normal " + number(n->x) + " " + number(n->y) + " " + number(n->z));
  ascii_line("    outer loop");
  for (const Corner* v : {&v1, &v2, &v3}) ascii_line("      vertex " + triple(*v));
  ascii_line("    endloop");
  ascii_line("  endfacet");
}

void ascii_wall(long double x1, long double y1, long double x2, long double y2) {
  const Written b = written(ZBottom), t = written(ZTop);
  const Written wx1 = written(x1), wy1 = written(y1), wx2 = written(x2), wy2 = written(y2);
  ascii_facet({&wx1, &wy1, &b}, {&wx1, &wy1, &t}, {&wx2, &wy2, &b});
  ascii_facet({&wx1, &wy1, &t}, {&wx2, &wy2, &t}, {&wx2, &wy2, &b});
}

void binary_facet(Point v1, Point v2, Point v3) {
  const std::optional<Normal> n = facet_normal(v1, v2, v3);
  if (!n || !writing) return;
  char* at = stl_facets_next();
  if (at == nullptr) {
    fail();
    return;
  }
  at = stl_put_float(at, static_cast<float>(n->x));
  at = stl_put_float(at, static_cast<float>(n->y));
  at = stl_put_float(at, static_cast<float>(n->z));
  for (const Point* v : {&v1, &v2, &v3}) {
    at = stl_put_float(at, v->x);
    at = stl_put_float(at, v->y);
    at = stl_put_float(at, v->z);
  }
}

void binary_wall(long double x1, long double y1, long double x2, long double y2) {
  const auto b = static_cast<float>(ZBottom), t = static_cast<float>(ZTop);
  const auto fx1 = static_cast<float>(x1), fy1 = static_cast<float>(y1);
  const auto fx2 = static_cast<float>(x2), fy2 = static_cast<float>(y2);
  binary_facet({fx1, fy1, b}, {fx1, fy1, t}, {fx2, fy2, b});
  binary_facet({fx1, fy1, t}, {fx2, fy2, t}, {fx2, fy2, b});
}

void open() {
  FileName = CadFileName;
  if (FileName.empty()) {
    writing = false;
    ShowErrorBox("invalid File name");
    AbortFlag = 1;
    return;
  }
  writing = true;
  FacetCount = 0;
  SolidName = "BRLSOLID";
  if (StlType >= 2) StlType = 0;
  ascii = StlType != 0;
  if (ascii) {
    AsciiFile.AssignWhole(FileName);
    AsciiFile.Rewrite();
    if (AsciiFile.IoResult() != 0) fail();
    ascii_line("solid " + SolidName);
    return;
  }
  stl_facets_begin(FileName, kHeaderText);
}

// An output that failed anywhere (a block file too) leaves the old file as it was.
void close() {
  if (ascii) {
    ascii_line("endsolid " + SolidName);
    if (cad_stream_failed()) {
      AsciiFile.Discard();
    } else if (AsciiFile.IsOpen()) {
      AsciiFile.Close();
      if (AsciiFile.IoResult() != 0) fail();
    }
  } else if (cad_stream_failed()) {
    stl_facets_discard();
  } else if (writing && !stl_facets_end(FacetCount)) {
    fail();
  }
  writing = false;
}

void line(long double x1, long double y1, long double x2, long double y2) {
  stl_wall(x1, y1, x2, y2);
}

// The corners come in DXF order, whose outline runs 1, 2, 4, 3.
void solid(long double x1, long double y1, long double x2, long double y2, long double x3,
           long double y3, long double x4, long double y4) {
  stl_wall(x1, y1, x2, y2);
  stl_wall(x2, y2, x4, y4);
  stl_wall(x4, y4, x3, y3);
  stl_wall(x3, y3, x1, y1);
}

}  // namespace

void stl_wall(long double x1, long double y1, long double x2, long double y2) {
  if (!writing) return;
  if (ascii) {
    ascii_wall(x1, y1, x2, y2);
  } else {
    binary_wall(x1, y1, x2, y2);
  }
}

void cad_register_stl_writer() {
  CadWriter w;
  w.extension = "stl";
  w.own_file = true;
  w.block_files = true;
  w.curves_as_chords = true;
  w.open = open;
  w.close = close;
  w.line = line;
  w.text = stl_text;
  w.solid = solid;
  cad_register_writer(kCadStl, w);
}

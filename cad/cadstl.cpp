// The STL file (target 6): every line a vertical wall between ZBottom and ZTop, every solid four
// walls, every text a row of stroke-font prisms. Walls only: the mesh is open by design.
// ASCII facets are written as they come; binary facets are kept until close, since the header
// carries their count.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "base/numbertext.h"
#include "base/textfile.h"
#include "base/wbrelvar.h"
#include "cad/brelcad.h"
#include "cad/cadstream.h"
#include "cad/cadtargets.h"
#include "cad/cadvar.h"
#include "cad/stlwall.h"
#include "platform/osfiles.h"

namespace {

constexpr char kHeaderText[] = "STL binary file created by Brelcor Software";
constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kCountOffset = kHeaderSize;
constexpr std::size_t kFacetsOffset = kHeaderSize + 4;
static_assert(sizeof kHeaderText - 1 + 37 == kHeaderSize);

struct Vertex {
  long double x, y, z;
};

std::string SolidName = "MYSOLID";
std::uint32_t FacetCount = 0;
bool ascii = false;
bool writing = false;  // opened, not yet closed, and nothing failed
TextFile AsciiFile;
std::string FileName;
std::string Binary;  // header, count and facets, written whole at close

std::string number(long double v) {
  return ExponentText(v, 7, 2);
}

void put_float(long double v) {
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(static_cast<float>(v));
  for (int shift = 0; shift < 32; shift += 8) Binary += static_cast<char>((bits >> shift) & 0xFF);
}

void put_u32_at(std::size_t offset, std::uint32_t n) {
  for (int i = 0; i < 4; ++i)
    Binary[offset + static_cast<std::size_t>(i)] = static_cast<char>(n >> (8 * i));
}

void fail() {
  writing = false;
  cad_own_file_failed(FileName);
}

void ascii_line(const std::string& line) {
  if (!writing) return;
  AsciiFile.WriteLine(line);
  if (AsciiFile.IoResult() != 0) fail();
}

std::string triple(const Vertex& v) {
  return number(v.x) + " " + number(v.y) + " " + number(v.z);
}

void facet(Vertex normal, Vertex v1, Vertex v2, Vertex v3) {
  // The exchanged winding faces the other way, and so must the normal.
  if (StlInverse) {
    std::swap(v2, v3);
    normal = {-normal.x, -normal.y, -normal.z};
  }
  ++FacetCount;
  if (ascii) {
    ascii_line("  facet normal " + triple(normal));
    ascii_line("    outer loop");
    for (const Vertex* v : {&v1, &v2, &v3}) ascii_line("      vertex " + triple(*v));
    ascii_line("    endloop");
    ascii_line("  endfacet");
    return;
  }
  for (const Vertex* v : {&normal, &v1, &v2, &v3}) {
    put_float(v->x);
    put_float(v->y);
    put_float(v->z);
  }
  Binary += "XX";
}

// Two values that the file cannot tell apart.
bool written_alike(long double a, long double b) {
  return ascii ? number(a) == number(b) : static_cast<float>(a) == static_cast<float>(b);
}

void open() {
  writing = true;
  FacetCount = 0;
  SolidName = "BRLSOLID";
  FileName = CadFileName;
  if (StlType >= 2) StlType = 0;
  ascii = StlType != 0;
  if (ascii) {
    AsciiFile.Assign(FileName);
    AsciiFile.Rewrite();
    if (AsciiFile.IoResult() != 0) fail();
    ascii_line("solid " + SolidName);
    return;
  }
  Binary.assign(kHeaderText);
  Binary.resize(kFacetsOffset, ' ');
}

void close() {
  if (ascii) {
    ascii_line("endsolid " + SolidName);
    if (AsciiFile.IsOpen()) AsciiFile.Close();
    if (writing && AsciiFile.IoResult() != 0) fail();
  } else if (writing) {
    put_u32_at(kCountOffset, FacetCount);
    if (!platform::os::WriteWholeFile(FileName, Binary)) fail();
  }
  writing = false;
  std::string().swap(Binary);
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
  if (written_alike(x1, x2) && written_alike(y1, y2)) return;
  if (written_alike(ZBottom, ZTop)) return;
  const long double d = std::hypot(x2 - x1, y2 - y1);
  const Vertex normal{(y1 - y2) / d, (x2 - x1) / d, 0};
  const long double b = ZBottom, t = ZTop;
  facet(normal, {x1, y1, b}, {x1, y1, t}, {x2, y2, b});
  facet(normal, {x1, y1, t}, {x2, y2, t}, {x2, y2, b});
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

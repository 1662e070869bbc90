// Writes sample DXF files through the real CAD output layer, each with a file of the entity
// counts a reader must find beside it (name.expect, "layout type count" lines and the checks of
// the clockwise arc and the decoded text). check_dxf.py reads both.
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "samplestart.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

std::string dir;

void expect(const std::string& name, const std::string& lines) {
  std::ofstream(dir + "/" + name + ".expect", std::ios::binary) << lines;
}

void open(std::uint16_t target, const std::string& name) {
  CurrentFile = dir + "/" + name;
  cad_open(target);
  cad_layer(0);
  cad_header(0, 0, 297, 210, 0);
  cad_tables(2);
}

// An output with an empty BLOCKS section and the entities body draws.
void entities_only(std::uint16_t target, const std::string& name, void (*body)()) {
  open(target, name);
  cad_blocks_begin();
  cad_blocks_end();
  cad_entities_begin();
  body();
  cad_blocks_end();
  cad_close();
}

void polyline(std::uint8_t closed, long double sweep) {
  cad_polyline_begin(closed);
  cad_vertex(0, 0, sweep);
  cad_vertex(20, 0, 0);
  cad_vertex(20, 10, -sweep);
  cad_vertex(0, 10, 0);
  cad_polyline_end();
}

void all_entities(const std::string& name) {
  open(kCadDxf, name);
  cad_blocks_begin();
  cad_block_begin("INNER");
  cad_layer(1);
  cad_circle(0, 0, 5);
  polyline(0, kPi / 2);
  cad_block_end();
  cad_block_begin("OUTER");
  cad_line(0, 0, 10, 10);
  cad_insert("INNER", 5, 5, 30, 0.5, 0.5);
  cad_block_end();
  cad_blocks_end();
  cad_entities_begin();
  cad_layer(3);
  cad_line(10, 10, 100, 10);
  cad_circle(50, 50, 20);
  cad_arc(100, 100, 90, 0, 30, -90);
  cad_arc(100, 100, 0, 45, 30, 45);
  cad_text_style(2, 0, 5, 3.5);
  cad_text("Ma\341e \204 \3610.1", 10, 150);
  cad_solid(200, 10, 220, 10, 200, 30, 220, 30);
  cad_insert("OUTER", 150, 150, 0, 1, 1);
  polyline(0, kPi / 4);
  polyline(1, -kPi / 3);
  cad_layer(20);
  cad_line(0, 0, 297, 210);
  cad_blocks_end();
  cad_close();
}

}  // namespace

int main(int argc, char** argv) {
  dir = StartSampleWriter(argc, argv);
  if (dir.empty()) return 2;

  all_entities("entities");
  expect("entities",
         "modelspace LINE 2\nmodelspace CIRCLE 1\nmodelspace ARC 2\nmodelspace TEXT 1\n"
         "modelspace SOLID 1\nmodelspace INSERT 1\nmodelspace POLYLINE 2\n"
         "block INNER CIRCLE 1\nblock INNER POLYLINE 1\nblock OUTER LINE 1\nblock OUTER INSERT 1\n"
         "arc 0 90\narc 0 45\ntext Ma\303\237e \303\244 \302\2610.1\n");

  CadUnitFactor = 25.4L;
  CadDecimals = 3;
  all_entities("scaled");
  expect("scaled", "modelspace LINE 2\nmodelspace ARC 2\nmodelspace POLYLINE 2\narc 0 90\n");
  CadUnitFactor = 1;
  CadDecimals = 6;

  PrintBorder = 1;
  entities_only(kCadPlot, "plot", [] { cad_line(0, 0, 10, 10); });
  std::filesystem::rename(dir + "/penwerk.dxf", dir + "/plot.dxf");
  expect("plot", "modelspace LINE 5\n");
  PrintBorder = 0;

  entities_only(kCadDxf, "big", [] {
    cad_polyline_begin(0);
    for (int i = 0; i < 100000; ++i) cad_vertex(i * 0.01L, (i % 7) * 0.5L, i % 3 == 0 ? 0.2L : 0);
    cad_polyline_end();
  });
  expect("big", "modelspace POLYLINE 1\nvertices 100000\n");
  return AbortFlag;
}

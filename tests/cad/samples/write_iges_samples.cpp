// Writes sample IGES files through the real CAD output layer, each with the number of edges a
// reader must build from it beside it (name.igs.edges). occt_check reads both.
#include <fstream>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "samplestart.h"

namespace {

std::string dir;

void write(const std::string& name, int edges, void (*blocks)(), void (*entities)()) {
  CurrentFile = dir + "/" + name;
  cad_open(kCadIges);
  cad_layer(0);
  cad_header(0, 0, 297, 210, 0);
  cad_blocks_begin();
  blocks();
  cad_blocks_end();
  cad_entities_begin();
  entities();
  cad_close();
  std::ofstream(dir + "/" + name + ".igs.edges") << edges << "\n";
}

void no_blocks() {}

void three_blocks() {
  cad_block_begin("INNER");
  cad_layer(1);
  cad_circle(0, 0, 5);
  cad_line(-5, 0, 5, 0);
  cad_line(0, -5, 0, 5);
  cad_block_end();
  cad_block_begin("OUTER_BLOCK");
  cad_line(0, 0, 10, 10);
  cad_insert("INNER", 5, 5, 30, 0.5, 0.5);
  cad_block_end();
  // Defined and never placed: no geometry of its own.
  cad_block_begin("UNUSED");
  cad_line(0, 0, 50, 50);
  cad_block_end();
}

void every_entity() {
  cad_layer(3);
  cad_line(10, 10, 100, 10);
  cad_line(10, 10, 10, 10.00001L);  // no length as written: left out
  cad_circle(50, 50, 20);
  cad_arc(100, 100, 90, 0, 30, -90);
  cad_arc(100, 100, 0, 45, 30, 45);
  cad_text_style(2, 30, 5, 3.5);
  cad_text(
      "Fit 60 H7/g6, \361"
      "0,05 mm at 20\370C, see sheet 2, zone B4, rev. c, ok xxxxxxxxxxx",
      10, 150);
  cad_solid(200, 10, 220, 10, 200, 30, 220, 30);
  cad_insert("OUTER_BLOCK", 150, 150, 0, 1, 1);
  cad_insert("INNER", 250, 150, 90, 2, 2);
  cad_layer(20);
  cad_line(0, 0, 297, 210);
}

void big_block() {
  cad_block_begin("BIG");
  for (int i = 0; i < 3500; ++i) cad_line(0, i * 0.05L, 10, i * 0.05L);
  cad_block_end();
}

void place_big_block() {
  cad_insert("BIG", 0, 0, 0, 1, 1);
}

}  // namespace

int main(int argc, char** argv) {
  dir = StartSampleWriter(argc, argv);
  if (dir.empty()) return 2;

  write("line", 1, no_blocks, [] { cad_line(10, 20, 30, 40); });
  // 2 lines, circle, 2 arcs, the solid's 4 sides, OUTER_BLOCK's line and INNER's 3 edges,
  // INNER's 3 edges once more: what the drawing shows, without the block never placed.
  write("entities", 2 + 1 + 2 + 4 + 4 + 3, three_blocks, every_entity);
  write("bigblock", 3500, big_block, place_big_block);
  return AbortFlag;
}

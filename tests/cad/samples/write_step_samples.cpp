// Writes sample STEP files through the real CAD output layer, each with the number of edges a
// reader must build from it beside it (name.stp.edges), for the Open CASCADE check.
#include <fstream>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "platform/files/codepage.h"
#include "samplestart.h"

namespace {

std::string dir;

void write(const std::string& name, int edges, std::int32_t mode, void (*entities)()) {
  CurrentFile = dir + "/" + name;
  cad_set_3d_mode(mode);
  cad_open(kCadStep);
  cad_header(0, 0, 297, 210, 0);
  cad_blocks_begin();
  cad_block_begin("CROSS");
  cad_line(-5, 0, 5, 0);
  cad_line(0, -5, 0, 5);
  cad_circle(0, 0, 5);
  cad_block_end();
  cad_blocks_end();
  cad_entities_begin();
  entities();
  cad_close();
  std::ofstream(dir + "/" + platform::Cp1252ToUtf8(name) + ".stp.edges") << edges << "\n";
}

void lines_and_curves() {
  cad_line(10, 10, 100, 10);
  cad_line(10, 10, 10, 10.0000001L);  // no length as written: left out
  cad_line(100, 10, 40, 80);
  cad_circle(50, 50, 20);
  cad_arc(100, 100, 0, 45, 30, 45);
  cad_text("A", 10, 150);
  cad_solid(200, 10, 220, 10, 200, 30, 220, 30);
}

void inserts() {
  cad_insert("CROSS", 150, 150, 0, 1, 1);
  cad_insert("CROSS", 250, 150, 90, 2, 2);
  cad_line(0, 0, 297, 210);
}

void polylines() {
  cad_polyline_begin(1);
  for (auto [x, y] : {std::pair{0.0L, 0.0L}, {50.0L, 0.0L}, {50.0L, 50.0L}, {0.0L, 0.0L}})
    cad_vertex(x, y, 0);
  cad_polyline_end();
  cad_polyline_begin(0);
  cad_vertex(100, 100, 0);
  cad_vertex(150, 120, 0);
  cad_polyline_end();
  cad_line(0, 100, 0, 200);
}

}  // namespace

int main(int argc, char** argv) {
  dir = StartSampleWriter(argc, argv);
  if (dir.empty()) return 2;
  OpenAfterExport = 0;

  write("step_lines", 2, 0, lines_and_curves);
  write("step_inserts", 2 + 2 + 1, 0, inserts);
  PolylineMode = 1;
  write("step_polylines_face_mode", 3 + 1 + 1, 3, polylines);
  write("step_polylines_closed_faces", 3 + 1 + 1, 2, polylines);
  write("step_polylines_as_lines", 3 + 1 + 1, 0, polylines);
  write("step_it's \\b\xE4r", 1, 0, [] { cad_line(1, 2, 3, 4); });
  return AbortFlag;
}

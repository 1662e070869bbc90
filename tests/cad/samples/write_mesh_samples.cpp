// Writes sample STL files and text lists through the real CAD output layer, each with a file of
// what an independent reader must find beside it (name.expect): the facet count of an STL file,
// the decimal sign and the records per kind of a text list. check_stl.py and check_txt.py read
// both.
#include <chrono>
#include <fstream>
#include <numbers>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "cad/drawings/p3gcontour.h"
#include "cad/drawings/sheetframe.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/drawinginfo.h"
#include "platform/system/services.h"
#include "samplestart.h"
#include "tests/base/fakemachine.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

std::string dir;

void expect(const std::string& name, const std::string& lines) {
  std::ofstream(dir + "/" + name + ".expect", std::ios::binary) << lines;
}

// Two lines of a block, inserted twice; a square; a solid; a circle of 36 chords; a text; on the
// text list a clockwise arc.
void drawing(std::uint16_t target, const std::string& name) {
  CurrentFile = dir + "/" + name;
  cad_open(target);
  cad_layer(0);
  cad_header(0, 0, 297, 210, 5);
  cad_tables(2);
  cad_blocks_begin();
  cad_block_begin("MARK");
  cad_line(0, 0, 4, 0);
  cad_line(0, 0, 0, 4);
  cad_block_end();
  cad_blocks_end();
  cad_entities_begin();
  cad_insert("MARK", 10, 10, 0, 1, 1);
  cad_insert("MARK", 50, 10, 90, 2, 2);
  cad_rect(100, 100, 140, 130);
  cad_solid(200, 10, 220, 10, 200, 30, 220, 30);
  ArcResolution = 2 * kPi * 10 / 36;
  cad_circle(60, 60, 10);
  if (target == kCadTextList) cad_arc(150, 60, 90, 0, 20, -90);
  cad_text_style(2, 0, 5, 3.5L);
  cad_text("88-1 b", 10, 150);
  cad_blocks_end();
  cad_close();
}

// Walls: 2 block lines x 2 inserts, 4 square sides, 4 solid sides, 36 chords (the circle's
// zero-length first chord gives none) and the text's strokes: "8" 7 bars, "-" 1, "1" 2, the
// blank none, "b" as "B" 5; every bar 6 walls; every wall 2 facets.
std::string stl_expect() {
  const int walls = 4 + 4 + 4 + 36 + (7 + 7 + 1 + 2 + 5) * 6;
  return "facets " + IntText(2 * walls) + "\n";
}

// An A3 sheet frame with a P3G contour (d 60, e 1.5) of 3600 steps per half turn: its chords are
// so short that a normal taken from the unrounded coordinates disagrees with the one a reader
// takes from the written ones.
void frame_with_contour(const std::string& name) {
  // A fixed day, and neither the output's path nor the time of day on the sheet: the frame's
  // texts, and so its facets, are the same in every run.
  platform::Substitute<platform::Machine, FakeMachine> machine;
  machine->now = std::chrono::system_clock::from_time_t(1709640000);  // 2024-03-05 12:00 UTC
  HideFileName = 1;
  HideDate = 1;
  InitDrawingInfo();
  CurrentFile = dir + "/" + name;
  cad_open(kCadStl);
  SetSheetExtents(3);
  DrawSheetFrame(3, "Shaft", "P3G 60", "4711");
  cad_offset(210, 150);
  DrawP3GContour(3, false, 3600, 60, 1.5L, false);
  cad_close();
  cad_offset(0, 0);
  HideFileName = 0;
  HideDate = 0;
}

// The contour's 7,200 chords (the first, from the start point to itself, gives none) are 14,400
// facets; the frame's 11,378 walls, counted from the writer when the sample was added, 22,756.
constexpr int kFrameFacets = 14400 + 22756;

void stl_samples() {
  StlInverse = 1;
  StlType = 0;
  drawing(kCadStl, "mesh_binary");
  expect("mesh_binary", stl_expect());
  StlType = 1;
  DecimalSeparator = ',';  // a German desktop must not change the file
  drawing(kCadStl, "mesh_ascii");
  expect("mesh_ascii", stl_expect());
  StlInverse = 0;
  drawing(kCadStl, "mesh_ascii_plain");
  expect("mesh_ascii_plain", stl_expect());
  DecimalSeparator = '.';
  StlType = 0;
  frame_with_contour("frame_binary");
  expect("frame_binary", "facets " + IntText(kFrameFacets) + "\n");
  StlType = 1;
  frame_with_contour("frame_ascii");
  expect("frame_ascii", "facets " + IntText(kFrameFacets) + "\n");
}

void text_list_samples() {
  const std::string counts =
      "MINMAX 1\nBLOCK 1\nLINE 6\nCIRCLE 1\nARC 1\nTEXT 1\nSOLID 1\nINSERT 2\n";
  drawing(kCadTextList, "list");
  expect("list", "decimal .\n" + counts);
  DecimalMark = 2;
  CadUnitFactor = 25.4L;
  drawing(kCadTextList, "list_comma");
  expect("list_comma", "decimal ,\n" + counts);
  DecimalMark = 1;
  CadUnitFactor = 1;
}

}  // namespace

int main(int argc, char** argv) {
  dir = StartSampleWriter(argc, argv);
  if (dir.empty()) return 2;
  stl_samples();
  text_list_samples();
  return AbortFlag;
}

// Writes sample DXF files through the real CAD output layer, each with a file of the entity
// counts a reader must find beside it (name.expect, "layout type count" lines and the checks of
// the clockwise arc, the decoded text, the placed blocks and the contour). check_dxf.py reads
// both. The twelve drawings of the golden connection are written as the command line writes
// them, also with single lines, German words and a DXF scale of 25.4.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/drawings/resulttables.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "samplestart.h"
#include "tests/base/testdata.h"

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

// How one set of the twelve drawings is written.
struct DrawingVariant {
  const char* prefix;
  bool polyline;
  long double unit_factor;
};

std::string number(long double x) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(x)).ptr;
  return std::string(text, end);
}

// An INSERT of the modelspace: block, point (in DXF units) and scale.
std::string insert(const DrawingVariant& v, const char* name, long double x, long double y,
                   long double scale) {
  return std::string("insert ") + name + " " + number(x * v.unit_factor) + " " +
         number(y * v.unit_factor) + " " + number(scale) + "\n";
}

// A profile view: the contour, as one polyline of 721 vertices or as lines, the first of them
// of length 0 to the start point; the inner and outer circles when dimensioned (the connection
// has neither bore nor hub diameter).
std::string profile(const DrawingVariant& v, const std::string& layout, bool dimensioned) {
  std::string lines = layout + " POLYLINE " + (v.polyline ? "1" : "0") + "\n";
  if (!v.polyline && !dimensioned) lines += layout + " LINE 721\n";
  if (layout == "modelspace" && v.polyline) lines += "vertices 721\n";
  return lines + layout + " CIRCLE " + (dimensioned ? "2" : "0") + "\n";
}

// Each table row draws every column's text; the heading row too.
std::string table(const std::string& layout, int rows, int columns) {
  return layout + " TEXT " + std::to_string((rows + 1) * columns) + "\n";
}

std::string drawing_expectation(const DrawingVariant& v, int drawing) {
  const long double quick = 50 / 77.4L;  // 50 / (1.2 x d2)
  const long double quick3 = 35 / 77.4L;
  const long double strength = 78 / StrengthTableWidth(false, 3.5L);
  switch (drawing) {
    case 1:
      return profile(v, "modelspace", false) + "modelspace INSERT 0\n" +
             (v.polyline ? "contour 60 2.25 360 " + number(v.unit_factor) + "\n" : "");
    case 2:
      return profile(v, "modelspace", true) + "modelspace TEXT 4\ntext H7 / k6\n";
    case 3:
      return table("modelspace", 5, 4) + "modelspace INSERT 0\n";
    case 4:
      return table("modelspace", 7, 4) + "modelspace INSERT 0\n";
    case 5:
      // The strength table, its columns as wide as its texts, is scaled to reach from 82 to
      // the sheet's edge at 160; the hub's table starts below its 17 rows of 7 mm.
      return "modelspace INSERT 4\n" + insert(v, "TABLE_1", 2, 54, 0.6L) +
             insert(v, "TABLE_2", 82, 118 - strength * 17 * 7, 0.6L) +
             insert(v, "TABLE_3", 82, 118, strength) + insert(v, "P3G0", 40, 90, quick) +
             profile(v, "block P3G0", true) + table("block TABLE_1", 4, 4) +
             table("block TABLE_2", 4, 4) + table("block TABLE_3", 16, 5);
    case 6:
      return "modelspace INSERT 3\n" + insert(v, "FRAME_1", 0, 0, 1) +
             insert(v, "P3G1", 110, 220, 1) + insert(v, "TABLE_1", 48, 140, 1) +
             profile(v, "block P3G1", true) + table("block TABLE_1", 5, 4) +
             "text M 1:1\ntext  60 k 6\n";
    case 7:
      return "modelspace INSERT 3\n" + insert(v, "FRAME_1", 0, 0, 1) +
             insert(v, "P3G2", 110, 220, 1) + insert(v, "TABLE_2", 48, 140, 1) +
             profile(v, "block P3G2", true) + table("block TABLE_2", 7, 4) +
             "text M 1:1\ntext  60 H 7\n";
    case 8:
      return "modelspace INSERT 4\n" + insert(v, "FRAME_1", 0, 0, 1) +
             insert(v, "P3G0", 110, 220, 1) + insert(v, "TABLE_1", 22, 130, 0.7L) +
             insert(v, "TABLE_2", 112, 130, 0.7L) + table("block TABLE_1", 5, 4) +
             table("block TABLE_2", 7, 4) + table("block TABLE_3", 16, 5);
    case 9:
    case 10:
      return profile(v, "modelspace", false) + "modelspace INSERT 0\n";
    case 11:
      return "modelspace INSERT 2\n" + insert(v, "P3G1", 25, 103, quick3) +
             insert(v, "P3G2", 25, 46, quick3) + profile(v, "block P3G1", true) +
             profile(v, "block P3G2", true);
    default:
      return "modelspace INSERT 3\n" + insert(v, "FRAME_1", 0, 0, 1) +
             insert(v, "P3G1", 117.5L, 180, 1) + insert(v, "P3G2", 318, 180, 1) +
             profile(v, "block P3G1", true) + profile(v, "block P3G2", true) + "text M 1:1\n";
  }
}

void drawings(const DrawingVariant& v, const std::string& golden) {
  if (!LoadCalcFile(golden)) {
    AbortFlag = 1;
    return;
  }
  CalcData.CadElement = v.polyline ? 2 : 1;
  CadUnitFactor = v.unit_factor;
  for (std::uint16_t drawing = 1; drawing <= 12 && AbortFlag == 0; ++drawing) {
    const std::string name = v.prefix + std::to_string(drawing);
    CurrentFile = dir + "/" + name;
    OutputDrawing(kCadDxf, drawing);
    expect(name, drawing_expectation(v, drawing));
  }
  CadUnitFactor = 1;
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

  StartCalculationUnits();
  const std::string golden = SourceRoot() + "/tests/calc/golden/p3g60.kv6";
  drawings({"drawing", true, 1}, golden);
  drawings({"lines_drawing", false, 1}, golden);
  drawings({"inch_drawing", true, 25.4L}, golden);
  SetCalcTexts(1);
  SetVocabularyLanguage(1);
  drawings({"german_drawing", true, 1}, golden);
  expect("german_drawing3", table("modelspace", 5, 4) + "modelspace INSERT 0\n" +
                                "text  Au\303\237enkreisdurchmesser\n");
  return AbortFlag;
}

// Writes the twelve drawings of the golden connection as IGES, STEP, STL (binary and ASCII) and
// text lists, as the command line writes them, with beside each file what an independent reader
// must find in it: the edges of an IGES or STEP file (name.igs.edges, name.stp.edges), the facets
// of an STL file and the records per kind of a text list (name.expect). occt_check, check_stl.py
// and check_txt.py read them.
//
// The expectations come from a recording writer that stands in for each writer with the same
// switches (block files, curves as chords, which primitives it takes), so the drawing reaches it
// exactly as it reaches the writer; each recorded primitive counts as that writer's file holds it,
// a line whose written end points are alike counting for nothing. The STL text's facets per
// character are taken from the STL writer itself, one character at a time.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadvar.h"
#include "cad/writers/stlwall.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/drawinginfo.h"
#include "calc/kv6record.h"
#include "platform/system/services.h"
#include "samplestart.h"
#include "tests/base/fakemachine.h"
#include "tests/base/testdata.h"

namespace {

using LD = long double;

constexpr std::uint16_t kRecorder = 8;  // a code no writer of the program uses
constexpr int kContourEdges = 720;      // drawing 1: the contour's 720 steps

std::string dir;

struct Call {
  char kind;  // H header, B block, E block end, L line, C circle, A arc, T text, S solid, I insert
  std::vector<LD> v;
  std::string text;
  LD z_bottom = 0, z_top = 0;
};

std::vector<Call> calls;

void record(char kind, std::vector<LD> v, std::string text = {}) {
  calls.push_back({kind, std::move(v), std::move(text), ZBottom, ZTop});
}

// The recording writer with the switches and hooks of the target's writer.
CadWriter recorder_for(std::uint16_t target) {
  const CadWriter& w = *cad_writer_of(target);
  CadWriter r;
  r.extension = "rec";
  r.block_files = w.block_files;
  r.polylines_need_mode = w.polylines_need_mode;
  r.curves_as_chords = w.curves_as_chords;
  r.close = cad_list_file_close;
  if (w.header) r.header = [](LD x0, LD y0, LD x1, LD y1, LD) { record('H', {x0, y0, x1, y1}); };
  if (w.block_begin) r.block_begin = [](const std::string& name) { record('B', {}, name); };
  if (w.block_end) r.block_end = [] { record('E', {}); };
  if (w.blocks_end) r.blocks_end = [] { record('E', {}); };
  if (w.line) r.line = [](LD x1, LD y1, LD x2, LD y2) { record('L', {x1, y1, x2, y2}); };
  if (w.circle) r.circle = [](LD x, LD y, LD rr) { record('C', {x, y, rr}); };
  if (w.circle_cw) r.circle_cw = [](LD x, LD y, LD rr) { record('C', {x, y, rr}); };
  if (w.arc) r.arc = [](LD x, LD y, LD a1, LD a2, LD rr, LD) { record('A', {x, y, rr, a1, a2}); };
  if (w.text) r.text = [](const std::string& s, LD x, LD y) { record('T', {x, y}, s); };
  if (w.solid) {
    r.solid = [](LD x1, LD y1, LD x2, LD y2, LD x3, LD y3, LD x4, LD y4) {
      record('S', {x1, y1, x2, y2, x3, y3, x4, y4});
    };
  }
  if (w.insert) {
    r.insert = [](const std::string& name, LD x, LD y, LD, LD, LD) { record('I', {x, y}, name); };
  }
  return r;
}

bool points_alike(const Call& c, std::string (*written)(LD)) {
  return written(c.v[0]) == written(c.v[2]) && written(c.v[1]) == written(c.v[3]);
}

std::string iges_number(LD v) {
  return FixedPointText(v, 4);
}
std::string step_number(LD v) {
  return ExponentText(v, 6, 3);
}

// IGES: a line, circle or arc is one edge, a solid's outline four; a block's edges count once
// for each insert of it, a block never inserted not at all.
int iges_edges() {
  std::map<std::string, int> blocks;
  std::optional<std::pair<std::string, int>> open;
  auto end_block = [&] {
    if (open) blocks.emplace(open->first, open->second);  // the first definition of a name holds
    open.reset();
  };
  int total = 0;
  for (const Call& c : calls) {
    int edges = 0;
    if (c.kind == 'B') {
      end_block();
      open.emplace(c.text, 0);
    } else if (c.kind == 'E') {
      end_block();
    } else if (c.kind == 'L') {
      edges = points_alike(c, iges_number) ? 0 : 1;
    } else if (c.kind == 'C' || c.kind == 'A') {
      edges = 1;
    } else if (c.kind == 'S') {
      edges = 4;
    } else if (c.kind == 'I') {
      const auto block = blocks.find(c.text);
      edges = block == blocks.end() ? 0 : block->second;
    }
    (open ? open->second : total) += edges;
  }
  return total;
}

// STEP: lines only (blocks arrive replayed).
int step_edges() {
  int edges = 0;
  for (const Call& c : calls) edges += c.kind == 'L' && !points_alike(c, step_number);
  return edges;
}

// The facets of the STL writer's text per character, from the writer itself.
std::map<char, int> char_facets;

int facets_of_character(char c) {
  if (const auto known = char_facets.find(c); known != char_facets.end()) return known->second;
  const std::string name = dir + "/scratch/char";
  CurrentFile = name;
  StlType = 0;
  cad_open(kCadStl);
  cad_setz(0, 10);
  TextHeight = 5;
  TextWidthFactor = 1;
  stl_text(std::string(1, c), 0, 0);
  cad_close();
  std::ifstream file(name + ".stl", std::ios::binary);
  unsigned char count[4] = {};
  file.seekg(80);
  file.read(reinterpret_cast<char*>(count), 4);
  const int facets = count[0] | count[1] << 8 | count[2] << 16 | count[3] << 24;
  char_facets.emplace(c, facets);
  return facets;
}

bool ascii_stl = false;

// Written alike: the same float in a binary file, the same text in an ASCII one.
bool stl_alike(LD a, LD b) {
  if (ascii_stl) return ExponentText(a, 7, 2) == ExponentText(b, 7, 2);
  return static_cast<float>(a) == static_cast<float>(b);
}

int wall_facets(LD x1, LD y1, LD x2, LD y2, const Call& c) {
  if (stl_alike(c.z_bottom, c.z_top)) return 0;
  return stl_alike(x1, x2) && stl_alike(y1, y2) ? 0 : 2;
}

// STL: a wall over every line, four over a solid's outline 1, 2, 4, 3, the text's bars.
int stl_facets() {
  int facets = 0;
  std::vector<std::string> texts;
  for (const Call& c : calls) {
    const std::vector<LD>& v = c.v;
    if (c.kind == 'L') facets += wall_facets(v[0], v[1], v[2], v[3], c);
    if (c.kind == 'S') {
      facets += wall_facets(v[0], v[1], v[2], v[3], c) + wall_facets(v[2], v[3], v[6], v[7], c) +
                wall_facets(v[6], v[7], v[4], v[5], c) + wall_facets(v[4], v[5], v[0], v[1], c);
    }
    if (c.kind == 'T') texts.push_back(c.text);
  }
  for (const std::string& text : texts) {
    for (char ch : text) facets += facets_of_character(ch);
  }
  return facets;
}

bool full_turn(LD a1, LD a2) {
  auto near = [](LD a, LD b) { return a - b <= 1e-5L && b - a <= 1e-5L; };
  return a1 == a2 || (near(a1, 0) && near(a2, 360)) || (near(a1, 360) && near(a2, 0));
}

// The text list: a record per primitive; a full-turn arc is a CIRCLE.
std::string list_counts() {
  std::map<std::string, int> counts;
  for (const Call& c : calls) {
    static const std::map<char, std::string> kKeywords = {
        {'H', "MINMAX"}, {'B', "BLOCK"}, {'L', "LINE"},  {'C', "CIRCLE"},
        {'T', "TEXT"},   {'S', "SOLID"}, {'I', "INSERT"}};
    if (c.kind == 'A') {
      ++counts[full_turn(c.v[3], c.v[4]) ? "CIRCLE" : "ARC"];
    } else if (const auto keyword = kKeywords.find(c.kind); keyword != kKeywords.end()) {
      ++counts[keyword->second];
    }
  }
  std::string lines;
  for (const auto& [keyword, count] : counts) lines += keyword + " " + IntText(count) + "\n";
  return lines;
}

void write_text(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The drawing through the recorder standing for target; AbortFlag when it failed.
void record_drawing(std::uint16_t target, std::uint16_t drawing) {
  cad_register_writer(kRecorder, recorder_for(target));
  calls.clear();
  CurrentFile = dir + "/scratch/drawing";
  // The layer switches polylines off for STEP files outside 3D mode.
  const std::uint8_t polylines = PolylineMode;
  if (target == kCadStep) PolylineMode = 0;
  OutputDrawing(kRecorder, drawing);
  PolylineMode = polylines;
}

struct Output {
  const char* suffix;
  std::uint16_t target;
  std::int32_t stl_type;
  std::uint16_t decimal_mark;
  LD unit_factor;
};

const Output kOutputs[] = {
    {"iges", kCadIges, 0, 1, 1},     {"step", kCadStep, 0, 1, 1},
    {"bin", kCadStl, 0, 1, 1},       {"ascii", kCadStl, 1, 1, 1},
    {"list", kCadTextList, 0, 1, 1}, {"comma", kCadTextList, 0, 2, 25.4L},
};

std::string expectation(const Output& out) {
  if (out.target == kCadIges) return IntText(iges_edges()) + "\n";
  if (out.target == kCadStep) return IntText(step_edges()) + "\n";
  if (out.target == kCadStl) return "facets " + IntText(stl_facets()) + "\n";
  return std::string("decimal ") + (out.decimal_mark == 2 ? "," : ".") + "\n" + list_counts();
}

std::string expectation_file(const std::string& name, const Output& out) {
  if (out.target == kCadIges) return name + ".igs.edges";
  if (out.target == kCadStep) return name + ".stp.edges";
  return name + ".expect";
}

// The drawing in every output; false when one failed.
bool write_drawing(const std::string& prefix, std::uint16_t drawing, bool contour_check = true) {
  for (const Output& out : kOutputs) {
    StlType = out.stl_type;
    ascii_stl = out.stl_type == 1;
    DecimalMark = out.decimal_mark;
    CadUnitFactor = out.unit_factor;
    record_drawing(out.target, drawing);
    if (AbortFlag) return false;
    const std::string expected = expectation(out);
    const std::string name =
        dir + "/" + prefix + (drawing < 10 ? "0" : "") + IntText(drawing) + "_" + out.suffix;
    if (drawing == 1 && contour_check && (out.target == kCadIges || out.target == kCadStep) &&
        expected != IntText(kContourEdges) + "\n") {
      std::cerr << name << ": the recorder expects " << expected << " edges, not " << kContourEdges
                << "\n";
      return false;
    }
    CurrentFile = name;
    OutputDrawing(out.target, drawing);
    if (AbortFlag) return false;
    write_text(expectation_file(name, out), expected);
  }
  DecimalMark = 1;
  CadUnitFactor = 1;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  dir = StartSampleWriter(argc, argv);
  if (dir.empty()) return 2;
  std::filesystem::create_directories(dir + "/scratch");
  // The sheets show neither a path nor the time, so the recorder and the file see one drawing.
  platform::Substitute<platform::Machine, FakeMachine> machine;
  machine->now = std::chrono::system_clock::from_time_t(1709640000);  // 2024-03-05 12:00 UTC
  HideFileName = 1;
  HideDate = 1;
  OpenAfterExport = 0;
  StlInverse = 1;
  StartCalculationUnits();
  InitDrawingInfo();
  if (!LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6")) return 1;
  const kv6record loaded = CalcData;
  bool ok = true;
  for (std::uint16_t drawing = 1; drawing <= 12 && ok; ++drawing) ok = write_drawing("p", drawing);
  // The contour drawings also as single lines, and at 3600 steps.
  for (std::uint16_t drawing : {std::uint16_t{1}, std::uint16_t{6}}) {
    CalcData = loaded;
    CalcData.CadElement = 1;
    ok = ok && write_drawing("lines", drawing);
    CalcData = loaded;
    CalcData.Resolution = 3600;
    ok = ok && write_drawing("fine", drawing, false);
  }
  std::filesystem::remove_all(dir + "/scratch");
  return ok ? 0 : 1;
}

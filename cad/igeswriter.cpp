#include "cad/igeswriter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "base/displaytext.h"
#include "base/messages.h"
#include "base/numbertext.h"
#include "base/utildate.h"
#include "base/utilpath.h"
#include "base/utilstr.h"
#include "base/wbrelvar.h"
#include "cad/brelcad.h"
#include "cad/caddisp.h"
#include "cad/cadstream.h"
#include "cad/cadvar.h"
#include "cad/igesrecord.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr std::size_t kParameterWidth = 64;
constexpr std::size_t kSectionWidth = 72;
constexpr std::size_t kMembersPerPiece = 12;

struct Block {
  std::string name;
  std::int32_t de = 0;  // of its subfigure definition
};

// Everything one file needs; a new file starts from scratch.
struct IgesFile {
  std::int32_t s = 0, g = 0, d = 0, p = 0;  // records written per section
  std::int32_t de = -1;                     // DE pointer of the current entity
  std::int32_t param_lines = 0;             // P records of the current entity
  std::int32_t next_param = 1;              // first P record of the current entity
  std::int32_t colour = 0;
  std::int32_t font = 1;
  bool in_definition = false;
  std::vector<std::int32_t> members;  // of the open subfigure definition
  std::vector<Block> blocks;
  std::vector<std::string> params;  // complete P records, written after the D section
};

IgesFile file;

void reset() {
  file = IgesFile{};
}

void put(char section, std::int32_t& counter, std::string_view text) {
  ++counter;
  cad_list_put_line(iges_record(text, "", section, counter));
}

void put_cut(char section, std::int32_t& counter, std::string_view text) {
  for (const std::string& piece : iges_cut(text, kSectionWidth)) put(section, counter, piece);
}

// One call's parameter text, as P records of the current entity.
void params(std::string_view text) {
  for (const std::string& piece : iges_cut(text, kParameterWidth)) {
    ++file.p;
    ++file.param_lines;
    file.params.push_back(iges_record(piece, IntText(file.de), 'P', file.p));
  }
}

void begin_entity(bool member) {
  file.param_lines = 0;
  file.de += 2;
  if (member && file.in_definition) file.members.push_back(file.de);
}

const char* entity_status() {
  return file.in_definition ? "00010000" : "00000000";
}

std::string fields(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += iges_field(value);
  return text;
}

void directory(std::int32_t type, const std::string& matrix, const std::string& form,
               const std::string& label, const char* status) {
  put('D', file.d,
      fields({IntText(type), IntText(file.next_param), "0", IntText(file.font),
              IntText(file.colour), "", matrix, ""}) +
          status);
  put('D', file.d,
      fields({IntText(type), "", IntText(file.colour), IntText(file.param_lines), form, "", "",
              label, ""}));
  file.next_param += file.param_lines;
}

void directory(std::int32_t type, const std::string& matrix, const std::string& form = {}) {
  directory(type, matrix, form, {}, entity_status());
}

std::string point(long double x, long double y) {
  return iges_real(x) + "," + iges_real(y) + ",";
}

// IGES colours 0..8; the CAD colours that map beyond them, and those without an entry, are 0.
std::int32_t iges_colour(std::int32_t cad_colour) {
  static constexpr std::int32_t kMap[16] = {0, 2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1};
  if (cad_colour < 1 || cad_colour > 15) return 0;
  std::int32_t c = kMap[cad_colour];
  return c <= 8 ? c : 0;
}

std::string six_digit_date() {
  std::uint16_t year = 0, month = 0, day = 0, weekday = 0;
  GetToday(year, month, day, weekday);
  return IntTextZero(year % 100, 2) + IntTextZero(month, 2) + IntTextZero(day, 2);
}

void open() {
  reset();
}

void header(long double, long double, long double xmax, long double ymax, long double) {
  reset();
  std::string name = BareFileName(CadFileName);
  if (name.size() > 30) name = ShortenText(name, 30);
  put_cut('S', file.s, "IGES-Datei generiert von " + ProductCode);
  put_cut('S', file.s, "Uebersetzer von BRELCOR GMBH, Uebersetzerversion 3.1");
  put_cut('G', file.g,
          ",," + iges_hollerith("FILE") + "," + iges_hollerith(name) + "," +
              iges_hollerith(ProductCode + " V" + ProgVersion) + ",,");
  put_cut('G', file.g, "16,38,6,99,15,");
  put_cut('G', file.g,
          iges_hollerith(name) + ",1.0,2," + iges_hollerith("MM") + ",32767,3.2767D1,");
  put_cut('G', file.g,
          iges_hollerith(six_digit_date() + ".140920") + ",1.0D-8," +
              iges_real(std::max(xmax, ymax)) + ",");
  put_cut(
      'G', file.g,
      iges_hollerith("Dalve") + "," + iges_hollerith("BRELCOR Industriesoftware GmbH") + ",4,0;");
}

void layer(std::int32_t n) {
  if (NumberedLayers == 0 && n >= 0 && n <= 5) {
    file.colour = iges_colour(n == 0 ? 7 : LayerColours[static_cast<std::size_t>(n)]);
    file.font = n == 1 ? 4 : (n == 2 ? 2 : 1);
  } else if (NumberedLayers == 0 && n >= 16 && n <= 31) {
    file.colour = iges_colour(PenColours[static_cast<std::size_t>(n - 15)]);
    file.font = 1;
  } else {
    file.colour = iges_colour(n % 16 + 1);
    if (NumberedLayers == 0) file.font = 1;
  }
}

void line(long double x1, long double y1, long double x2, long double y2) {
  std::string start = point(x1, y1);
  std::string end = point(x2, y2);
  if (start == end) return;  // a line of no length as written is no entity
  begin_entity(true);
  params("110," + start + "0.0," + end + "0.0;");
  directory(110, "");
}

void circular_arc(long double xc, long double yc, long double xs, long double ys, long double xe,
                  long double ye) {
  begin_entity(true);
  params("100,0.0," + point(xc, yc) + point(xs, ys) + iges_real(xe) + "," + iges_real(ye) + ";");
  directory(100, "0");
}

void circle(long double x, long double y, long double r) {
  circular_arc(x, y, x + r, y, x + r, y);
}

// IGES arcs run counter-clockwise; a clockwise one is the same arc from its end to its start.
void arc(long double x, long double y, long double a1, long double a2, long double r,
         long double sweep) {
  if (sweep < 0) std::swap(a1, a2);
  long double s = a1 * kPi / 180, e = a2 * kPi / 180;
  circular_arc(x, y, x + r * std::cos(s), y + r * std::sin(s), x + r * std::cos(e),
               y + r * std::sin(e));
}

// The corners come in DXF order, whose outline runs 1, 2, 4, 3.
void solid(long double x1, long double y1, long double x2, long double y2, long double x3,
           long double y3, long double x4, long double y4) {
  begin_entity(true);
  params("106,1,5,0.0," + point(x1, y1));
  params(point(x2, y2));
  params(point(x4, y4));
  params(point(x3, y3));
  params(iges_real(x1) + "," + iges_real(y1) + ";");
  directory(106, "0", "11");
}

void text(const std::string& value, long double x, long double y) {
  std::string written = CadText(NoLineBreaks(value));
  auto chars = static_cast<long double>(written.size());
  begin_entity(true);
  params("212,1," + IntText(static_cast<std::int32_t>(written.size())) + "," +
         iges_real(chars * TextHeight * TextWidthFactor) + "," + iges_real(TextHeight) + ",1,," +
         FixedPointText(TextAngle * kPi / 180, 6) + ",0,0," + point(x, y) + "0.0,");
  params(iges_hollerith(written) + ";");
  directory(212, "0");
}

void block_end() {
  if (!file.in_definition) return;
  file.in_definition = false;
  begin_entity(false);
  Block& block = file.blocks.back();
  block.de = file.de;
  std::vector<std::string> pieces{"308,0," + iges_hollerith(block.name) + "," +
                                  IntText(static_cast<std::int32_t>(file.members.size())) + ","};
  for (std::size_t i = 0; i < file.members.size(); ++i) {
    if (i % kMembersPerPiece == 0) pieces.emplace_back();
    pieces.back() += IntText(file.members[i]) + ",";
  }
  pieces.back().back() = ';';
  for (const std::string& piece : pieces) params(piece);
  // Use flag "definition": readers take it as geometry only where it is instanced.
  directory(308, "", "", NoLineBreaks(block.name), "00000200");
  file.members.clear();
}

// A definition left open by an aborted block is closed by the next one or by the end of the
// blocks, so its entities stay subordinate to a definition.
void block_begin(const std::string& name) {
  block_end();
  file.blocks.push_back({name, 0});
  file.in_definition = true;
  file.members.clear();
}

void blocks_end() {
  block_end();
}

const Block* find_block(const std::string& name) {
  for (const Block& block : file.blocks) {
    if (block.name == name) return &block;
  }
  return nullptr;
}

void insert(const std::string& name, long double x, long double y, long double angle,
            long double sx, long double) {
  const Block* block = find_block(name);
  if (block == nullptr) {
    AddMessage("Blockname " + name + " not found !");
    return;
  }
  std::string subfigure = "408," + IntText(block->de) + ",";
  if (angle == 0) {
    begin_entity(true);
    params(subfigure + point(x, y) + "0.0," + iges_real(sx) + ";");
    directory(408, "");
    return;
  }
  long double a = angle * kPi / 180;
  std::string cos_a = FixedPointText(std::cos(a), 6);
  std::string sin_a = FixedPointText(std::sin(a), 6);
  begin_entity(false);
  params("124," + cos_a + "," + FixedPointText(-std::sin(a), 6) + ",0.0," + iges_real(x) + ",");
  params(sin_a + "," + cos_a + ",0.0," + iges_real(y) + ",");
  params("0.0,0.0,1.0,0.0;");
  directory(124, "", "0", {}, "00010000");
  std::int32_t matrix = file.de;
  begin_entity(true);
  params(subfigure + "0.0,0.0,0.0," + iges_real(sx) + ";");
  directory(408, IntText(matrix));
}

void close() {
  for (const std::string& record : file.params) cad_list_put_line(record);
  std::string counts = "S" + IntTextZero(file.s, 7) + "G" + IntTextZero(file.g, 7) + "D" +
                       IntTextZero(file.d, 7) + "P" + IntTextZero(file.p, 7);
  cad_list_put_line(iges_record(counts, "", 'T', 1));
  cad_list_file_close();
  reset();
}

}  // namespace

void cad_register_iges_writer() {
  CadWriter w;
  w.extension = "igs";
  w.open = open;
  w.header = header;
  w.block_begin = block_begin;
  w.block_end = block_end;
  w.blocks_end = blocks_end;
  w.close = close;
  w.line = line;
  w.circle = circle;
  w.circle_cw = circle;
  w.arc = arc;
  w.text = text;
  w.solid = solid;
  w.layer = layer;
  w.insert = insert;
  cad_register_writer(kCadIges, w);
}

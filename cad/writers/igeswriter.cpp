#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"
#include "cad/writers/igesrecord.h"

namespace {

constexpr std::size_t kParameterWidth = 64;
constexpr std::size_t kSectionWidth = 72;
constexpr std::size_t kMembersPerPiece = 12;

// One entity, kept until the file is closed: only then is it known which blocks are placed,
// and so which entities are written and what DE pointers they get. References to other
// entities are indexes into IgesFile::entities.
struct Entity {
  std::int32_t type = 0;
  std::vector<std::string> params;  // each text starts a new P record
  std::int32_t font = 1;
  std::int32_t colour = 0;
  std::string matrix, form, label;
  const char* status = "00000000";
  std::optional<std::size_t> block;     // the definition it belongs to
  std::optional<std::size_t> places;    // an instance: the block it places
  std::optional<std::size_t> defines;   // a definition: its block
  std::optional<std::size_t> rotation;  // an instance's matrix entity
};

struct Block {
  std::string name;
  std::vector<std::size_t> members;
  std::optional<std::size_t> definition;  // its 308 entity, once the definition is complete
  bool placed = false;
};

// Everything one file needs; a new file starts from scratch.
struct IgesFile {
  std::int32_t s = 0, g = 0;  // records written per section
  std::int32_t colour = 0;
  std::int32_t font = 1;
  std::optional<std::size_t> open_block;  // the definition being drawn
  std::vector<Entity> entities;
  std::vector<Block> blocks;
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

// A new entity in the current line font and colour, a member of the open definition unless it
// is only referred to by one.
Entity& add_entity(std::int32_t type, std::vector<std::string> params, bool member) {
  Entity e;
  e.type = type;
  e.params = std::move(params);
  e.font = file.font;
  e.colour = file.colour;
  e.block = file.open_block;
  if (file.open_block) {
    e.status = "00010000";
    if (member) file.blocks[*file.open_block].members.push_back(file.entities.size());
  }
  file.entities.push_back(std::move(e));
  return file.entities.back();
}

std::string fields(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += iges_field(value);
  return text;
}

std::string point(long double x, long double y) {
  return iges_real(x) + "," + iges_real(y) + ",";
}

// IGES colours 0..8; the CAD colours that map beyond them, and those without an entry, are 0.
std::int32_t iges_colour(std::int32_t cad_colour) {
  static constexpr std::int32_t kMap[16] = {0, 2, 5, 3, 7, 4, 6, 0, 8, 0, 0, 0, 0, 0, 0, 1};
  if (cad_colour < 1 || cad_colour > 15) return 0;
  return kMap[cad_colour];
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
  add_entity(110, {"110," + start + "0.0," + end + "0.0;"}, true);
}

void circular_arc(long double xc, long double yc, long double xs, long double ys, long double xe,
                  long double ye) {
  add_entity(
      100, {"100,0.0," + point(xc, yc) + point(xs, ys) + iges_real(xe) + "," + iges_real(ye) + ";"},
      true)
      .matrix = "0";
}

void circle(long double x, long double y, long double r) {
  circular_arc(x, y, x + r, y, x + r, y);
}

// IGES arcs run counter-clockwise; a clockwise one is the same arc from its end to its start.
void arc(long double x, long double y, long double a1, long double a2, long double r,
         long double sweep) {
  if (sweep < 0) std::swap(a1, a2);
  long double s = DegToRad(a1), e = DegToRad(a2);
  circular_arc(x, y, x + r * std::cos(s), y + r * std::sin(s), x + r * std::cos(e),
               y + r * std::sin(e));
}

// The corners come in DXF order, whose outline runs 1, 2, 4, 3.
void solid(long double x1, long double y1, long double x2, long double y2, long double x3,
           long double y3, long double x4, long double y4) {
  Entity& e = add_entity(106,
                         {"106,1,5,0.0," + point(x1, y1), point(x2, y2), point(x4, y4),
                          point(x3, y3), iges_real(x1) + "," + iges_real(y1) + ";"},
                         true);
  e.matrix = "0";
  e.form = "11";
}

void text(const std::string& value, long double x, long double y) {
  std::string written = CadText(NoLineBreaks(value));
  auto chars = static_cast<long double>(written.size());
  add_entity(212,
             {"212,1," + IntText(static_cast<std::int32_t>(written.size())) + "," +
                  iges_real(chars * TextHeight * TextWidthFactor) + "," + iges_real(TextHeight) +
                  ",1,," + FixedPointText(DegToRad(TextAngle), 6) + ",0,0," + point(x, y) + "0.0,",
              iges_hollerith(written) + ";"},
             true)
      .matrix = "0";
}

void block_end() {
  if (!file.open_block) return;
  const std::size_t block = *file.open_block;
  file.open_block.reset();
  Entity& definition = add_entity(308, {}, false);
  definition.block = block;  // written with its members or not at all
  definition.defines = block;
  definition.label = NoLineBreaks(file.blocks[block].name);
  // Use flag "definition": readers take it as geometry only where it is instanced.
  definition.status = "00000200";
  file.blocks[block].definition = file.entities.size() - 1;
}

// A definition left open by an aborted block is closed by the next one or by the end of the
// blocks, so its entities stay subordinate to a definition.
void block_begin(const std::string& name) {
  block_end();
  file.blocks.push_back({name, {}, std::nullopt, false});
  file.open_block = file.blocks.size() - 1;
}

void blocks_end() {
  block_end();
}

// The first complete definition of that name; one still being drawn cannot place itself.
std::optional<std::size_t> find_block(const std::string& name) {
  for (std::size_t i = 0; i < file.blocks.size(); ++i) {
    if (file.blocks[i].definition && file.blocks[i].name == name) return i;
  }
  return std::nullopt;
}

void insert(const std::string& name, long double x, long double y, long double angle,
            long double sx, long double) {
  const std::optional<std::size_t> block = find_block(name);
  if (!block) {
    AddMessage("Blockname " + name + " not found !");
    return;
  }
  if (angle == 0 && sx == 1) {
    add_entity(408, {point(x, y) + "0.0," + iges_real(sx) + ";"}, true).places = block;
    return;
  }
  // A scaled instance moves by a matrix entity even without a rotation: Open CASCADE drops an
  // instance whose own parameters both move and scale it, with every edge it places.
  long double a = DegToRad(angle);
  std::string cos_a = FixedPointText(std::cos(a), 6);
  std::string sin_a = FixedPointText(std::sin(a), 6);
  Entity& matrix = add_entity(
      124,
      {"124," + cos_a + "," + FixedPointText(-std::sin(a), 6) + ",0.0," + iges_real(x) + ",",
       sin_a + "," + cos_a + ",0.0," + iges_real(y) + ",", "0.0,0.0,1.0,0.0;"},
      false);
  matrix.form = "0";
  matrix.status = "00010000";
  const std::size_t rotation = file.entities.size() - 1;
  Entity& instance = add_entity(408, {"0.0,0.0,0.0," + iges_real(sx) + ";"}, true);
  instance.places = block;
  instance.rotation = rotation;
}

// Open CASCADE, like other readers, takes every entity that nothing refers to as geometry,
// whatever its status: a definition never placed is left out with its members and matrices.
// An instance refers only to definitions complete before it, so going backwards settles
// whether a definition is placed before its own instances are reached.
void mark_placed_blocks() {
  for (std::size_t i = file.entities.size(); i-- > 0;) {
    const Entity& e = file.entities[i];
    if (e.places && (!e.block || file.blocks[*e.block].placed))
      file.blocks[*e.places].placed = true;
  }
}

bool written(const Entity& e) {
  return !e.block || file.blocks[*e.block].placed;
}

// The DE pointer of every entity written, 0 for the others.
std::vector<std::int32_t> pointers() {
  std::vector<std::int32_t> de(file.entities.size(), 0);
  std::int32_t next = 1;
  for (std::size_t i = 0; i < file.entities.size(); ++i) {
    if (!written(file.entities[i])) continue;
    de[i] = next;
    next += 2;
  }
  return de;
}

// The parameter texts with the DE pointers they name: the members of a definition, in pieces of
// twelve after the first, and the definition an instance places.
std::vector<std::string> parameters(const Entity& e, const std::vector<std::int32_t>& de) {
  if (e.places)
    return {"408," + IntText(de[*file.blocks[*e.places].definition]) + "," + e.params[0]};
  if (!e.defines) return e.params;
  const Block& block = file.blocks[*e.defines];
  std::vector<std::string> pieces{"308,0," + iges_hollerith(block.name) + "," +
                                  IntText(static_cast<std::int32_t>(block.members.size())) + ","};
  for (std::size_t i = 0; i < block.members.size(); ++i) {
    if (i % kMembersPerPiece == 0) pieces.emplace_back();
    pieces.back() += IntText(de[block.members[i]]) + ",";
  }
  pieces.back().back() = ';';
  return pieces;
}

// The D section as it goes, and the P records it points to, written after it.
void write_entities() {
  const std::vector<std::int32_t> de = pointers();
  std::int32_t d = 0, p = 0;
  std::vector<std::string> p_records;
  for (std::size_t i = 0; i < file.entities.size(); ++i) {
    const Entity& e = file.entities[i];
    if (!written(e)) continue;
    const std::int32_t first = p + 1;
    for (const std::string& text : parameters(e, de)) {
      for (const std::string& piece : iges_cut(text, kParameterWidth))
        p_records.push_back(iges_record(piece, IntText(de[i]), 'P', ++p));
    }
    const std::string matrix = e.rotation ? IntText(de[*e.rotation]) : e.matrix;
    put('D', d,
        fields({IntText(e.type), IntText(first), "0", IntText(e.font), IntText(e.colour), "",
                matrix, ""}) +
            e.status);
    put('D', d,
        fields({IntText(e.type), "", IntText(e.colour), IntText(p - first + 1), e.form, "", "",
                e.label, ""}));
  }
  for (const std::string& record : p_records) cad_list_put_line(record);
  std::string counts = "S" + IntTextZero(file.s, 7) + "G" + IntTextZero(file.g, 7) + "D" +
                       IntTextZero(d, 7) + "P" + IntTextZero(p, 7);
  cad_list_put_line(iges_record(counts, "", 'T', 1));
}

void close() {
  block_end();
  mark_placed_blocks();
  write_entities();
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

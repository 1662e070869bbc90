#include "cad/layer/dxfread.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/runfolder.h"
#include "base/files/textfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

constexpr std::int32_t kMaxBlockLevel = 4;
constexpr std::int32_t kMaxLwVertices = 100000;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A value that fits a long double can still overflow on the way (the centre of a bulge between
// huge coordinates, a large insertion scale); an entity whose numbers did is left out, since the
// writers cannot place an infinity or a NaN.
bool all_finite(std::initializer_list<long double> values) {
  return std::all_of(values.begin(), values.end(), [](long double v) { return std::isfinite(v); });
}

// A group code is a whole number, blanks around it allowed; anything else is damage.
std::optional<std::int32_t> group_code(std::string_view line) {
  std::string_view s = trimmed(line);
  bool negative = !s.empty() && s.front() == '-';
  if (negative || (!s.empty() && s.front() == '+')) s.remove_prefix(1);
  if (s.empty() || s.size() > 9) return std::nullopt;
  std::int32_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// A number group an entity reader takes, and where the value goes.
struct RealGroup {
  std::int32_t code;
  long double* value;
};

// The text groups an entity may carry besides its numbers.
struct EntityGroups {
  std::optional<std::int32_t> layer;  // group 8
  std::string text;                   // group 1
  std::string name;                   // group 2
};

struct Vertex {
  long double x = 0;
  long double y = 0;
  long double sweep = 0;  // radians of the arc that starts here
};

// One level of replay: its own block file, the current pair and the layer of its entities.
class BlockReplay {
 public:
  explicit BlockReplay(const std::string& file_name) { file_.Assign(file_name); }

  bool Open() {
    file_.Reset();
    return file_.IoResult() == 0;
  }
  void Run();
  void Close() { file_.Close(); }

 private:
  bool Next();
  bool SkipToEntity();
  void Fail(const std::string& line);
  bool EntityDone() const { return !damaged_ && !at_end_; }
  long double Real();
  std::int32_t LayerOf() const;
  void SelectLayer(std::int32_t layer);
  CadPoint Map(long double x, long double y) const;
  std::optional<EntityGroups> ReadGroups(std::initializer_list<RealGroup> reals);

  bool Line();
  bool Circle();
  bool Arc();
  bool Text();
  bool Solid();
  bool Insert();
  bool Polyline();
  bool PolylineVertices(std::int32_t flags);
  bool LwPolyline();
  void Segment(const Vertex& from, const Vertex& to);

  TextFile file_;
  std::int32_t code_ = -1;
  std::string value_;
  std::string code_line_;
  bool at_end_ = false;
  bool damaged_ = false;
  std::int32_t layer_ = 0;
};

// Reads the next pair; false at the end of the file or after damage.
bool BlockReplay::Next() {
  if (at_end_) return false;
  if (file_.Eof()) {
    at_end_ = true;
    return false;
  }
  file_.ReadLine(code_line_);
  std::optional<std::int32_t> code = group_code(code_line_);
  if (!code || file_.Eof()) {
    Fail(code_line_);
    return false;
  }
  file_.ReadLine(value_);
  if (file_.IoResult() != 0) {
    Fail(code_line_);
    return false;
  }
  code_ = *code;
  return true;
}

// Damage ends this file's replay; what was drawn stays.
void BlockReplay::Fail(const std::string& line) {
  if (damaged_) return;
  AddMessage("Error  : DXF: " + std::string(trimmed(line)));
  damaged_ = at_end_ = true;
}

// Skips pairs up to the next code 0 pair; false when there is none.
bool BlockReplay::SkipToEntity() {
  while (Next()) {
    if (code_ == 0) return true;
  }
  return false;
}

long double BlockReplay::Real() {
  long double v = TextToReal(trimmed(value_));
  if (std::isfinite(v)) return v;
  Fail(value_);
  return 0;
}

std::int32_t BlockReplay::LayerOf() const {
  std::string_view name = trimmed(value_);
  for (int i = 0; i <= 5; ++i) {
    if (name == LayerNames[i]) return i;
  }
  std::int32_t n = TextToInt(name);
  return n < 0 ? 0 : n;
}

void BlockReplay::SelectLayer(std::int32_t layer) {
  layer_ = layer;
  cad_layer(layer);
}

CadPoint BlockReplay::Map(long double x, long double y) const {
  CadPoint p;
  InsertXY(InsertScaleX, InsertScaleY, InsertOriginX, InsertOriginY, InsertAngle, x, y, p.x, p.y);
  return p;
}

// Reads the current entity's pairs up to the next code 0 pair: the listed number groups into
// their places, the text groups into the result, all others skipped. Empty after damage.
std::optional<EntityGroups> BlockReplay::ReadGroups(std::initializer_list<RealGroup> reals) {
  EntityGroups groups;
  while (Next() && code_ != 0) {
    if (code_ == 8) {
      groups.layer = LayerOf();
    } else if (code_ == 1) {
      groups.text = value_;
    } else if (code_ == 2) {
      groups.name = std::string(trimmed(value_));
    } else {
      for (const RealGroup& group : reals) {
        if (group.code == code_) *group.value = Real();
      }
    }
  }
  if (damaged_) return std::nullopt;
  return groups;
}

void BlockReplay::Run() {
  if (!SkipToEntity()) return;
  while (AbortFlag == 0) {
    std::string_view name = trimmed(value_);
    bool more = false;
    if (name == "EOF") return;
    if (name == "LINE") {
      more = Line();
    } else if (name == "POLYLINE") {
      more = Polyline();
    } else if (name == "CIRCLE") {
      more = Circle();
    } else if (name == "ARC") {
      more = Arc();
    } else if (name == "TEXT") {
      more = Text();
    } else if (name == "SOLID") {
      more = Solid();
    } else if (name == "INSERT") {
      more = Insert();
    } else if (UpperText(name) == "LWPOLYLINE") {
      more = LwPolyline();
    } else {
      AddMessage("Error  : DXF: " + std::string(name));
      return;
    }
    if (!more) return;
  }
}

bool BlockReplay::Line() {
  long double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::optional<EntityGroups> groups = ReadGroups({{10, &x1}, {20, &y1}, {11, &x2}, {21, &y2}});
  if (!groups) return false;
  SelectLayer(groups->layer.value_or(0));
  CadPoint a = Map(x1, y1);
  CadPoint b = Map(x2, y2);
  if (all_finite({a.x, a.y, b.x, b.y})) cad_line(a.x, a.y, b.x, b.y);
  return EntityDone();
}

bool BlockReplay::Circle() {
  long double x = 0, y = 0, r = 0;
  std::optional<EntityGroups> groups = ReadGroups({{10, &x}, {20, &y}, {40, &r}});
  if (!groups) return false;
  SelectLayer(groups->layer.value_or(layer_));
  CadPoint c = Map(x, y);
  if (all_finite({c.x, c.y, r * InsertScaleX})) cad_circle(c.x, c.y, r * InsertScaleX);
  return EntityDone();
}

bool BlockReplay::Arc() {
  long double x = 0, y = 0, r = 0, start = 0, end = 0, z = 0;
  std::optional<EntityGroups> groups =
      ReadGroups({{10, &x}, {20, &y}, {40, &r}, {50, &start}, {51, &end}, {230, &z}});
  if (!groups) return false;
  SelectLayer(groups->layer.value_or(layer_));
  CadPoint c = Map(x, y);
  if (all_finite({c.x, c.y, start + InsertAngle, end + InsertAngle, r * InsertScaleX})) {
    cad_arc(c.x, c.y, start + InsertAngle, end + InsertAngle, r * InsertScaleX,
            SweepAngle(start, end, z));
  }
  return EntityDone();
}

bool BlockReplay::Text() {
  long double x = 0, y = 0, height = 3.5L, width_factor = 1, angle = 0;
  std::optional<EntityGroups> groups =
      ReadGroups({{10, &x}, {20, &y}, {40, &height}, {41, &width_factor}, {50, &angle}});
  if (!groups) return false;
  SelectLayer(groups->layer.value_or(layer_));
  cad_text_style_stored(2, angle + InsertAngle, height * InsertScaleY,
                        height * width_factor * InsertScaleX);
  CadPoint p = Map(x, y);
  if (all_finite({p.x, p.y})) cad_text(groups->text, p.x, p.y);
  return EntityDone();
}

bool BlockReplay::Solid() {
  long double x[4] = {0, 0, 0, 0}, y[4] = {0, 0, 0, 0};
  std::optional<EntityGroups> groups = ReadGroups({{10, &x[0]},
                                                   {20, &y[0]},
                                                   {11, &x[1]},
                                                   {21, &y[1]},
                                                   {12, &x[2]},
                                                   {22, &y[2]},
                                                   {13, &x[3]},
                                                   {23, &y[3]}});
  if (!groups) return false;
  SelectLayer(groups->layer.value_or(layer_));
  CadPoint p[4];
  for (int i = 0; i < 4; ++i) p[i] = Map(x[i], y[i]);
  if (all_finite({p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y})) {
    cad_solid(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
  }
  return EntityDone();
}

bool BlockReplay::Insert() {
  long double x = 0, y = 0, sx = 1, sy = 1, angle = 0;
  std::int32_t layer_before = layer_;
  std::optional<EntityGroups> groups =
      ReadGroups({{10, &x}, {20, &y}, {41, &sx}, {42, &sy}, {50, &angle}});
  if (!groups) return false;
  if (groups->layer) SelectLayer(*groups->layer);
  dxf_read_block(groups->name, x, y, angle, sx, sy);
  SelectLayer(layer_before);
  return EntityDone();
}

// A segment of a polyline: straight, or the arc its start vertex's sweep gives.
void BlockReplay::Segment(const Vertex& from, const Vertex& to) {
  CadPoint a = Map(from.x, from.y);
  CadPoint b = Map(to.x, to.y);
  if (from.sweep == 0) {
    if (all_finite({a.x, a.y, b.x, b.y})) cad_line(a.x, a.y, b.x, b.y);
    return;
  }
  long double xc = 0, yc = 0, a1 = 0, a2 = 0, r = 0;
  GetArcCenterD(from.x, from.y, to.x, to.y, from.sweep, xc, yc, a1, a2, r);
  CadPoint c = Map(xc, yc);
  if (!all_finite({c.x, c.y, a1, a2, r * InsertScaleX})) return;
  cad_arc(c.x, c.y, RadToDeg(a1) + InsertAngle, RadToDeg(a2) + InsertAngle, r * InsertScaleX,
          RadToDeg(from.sweep));
}

bool BlockReplay::Polyline() {
  std::int32_t flags = 0;
  while (Next() && code_ != 0) {
    if (code_ == 70) flags = TextToInt(trimmed(value_));
  }
  if (damaged_ || at_end_) return false;
  if (trimmed(value_) != "VERTEX") {
    ShowError("Error in DXF File");
    return true;  // the pair read is the next entity
  }
  return PolylineVertices(flags);
}

// Reads VERTEX records up to SEQEND (or any other entity) and draws their segments.
bool BlockReplay::PolylineVertices(std::int32_t flags) {
  Vertex first, previous;
  std::int32_t count = 0;
  while (code_ == 0 && trimmed(value_) == "VERTEX") {
    Vertex v;
    long double bulge = 0;
    std::optional<EntityGroups> groups = ReadGroups({{10, &v.x}, {20, &v.y}, {42, &bulge}});
    if (!groups) return false;
    v.sweep = 4 * std::atan(bulge);
    SelectLayer(groups->layer.value_or(layer_));
    if (count++ == 0) {
      first = v;
    } else {
      Segment(previous, v);
    }
    previous = v;
    if (at_end_) return false;
  }
  if (flags == 1 && count > 1) Segment(Vertex{previous.x, previous.y, 0}, first);
  if (trimmed(value_) == "SEQEND") return SkipToEntity();
  return true;
}

bool BlockReplay::LwPolyline() {
  while (Next() && !(code_ == 100 && trimmed(value_) == "AcDbPolyline")) {
    if (code_ == 0) return true;  // no vertex list: nothing to draw
  }
  if (damaged_ || at_end_) return false;
  SelectLayer(0);
  Vertex first, previous, current;
  std::int32_t count = 0, flags = 0;
  auto vertex_group = [](std::int32_t c) {
    return c == 10 || c == 20 || c == 38 || c == 39 || c == 40 || c == 41 || c == 42 || c == 43 ||
           c == 70 || c == 90 || c == 210 || c == 220 || c == 230;
  };
  while (Next() && vertex_group(code_)) {
    if (code_ == 10) {
      if (count >= 2) Segment(previous, current);
      if (count == 1) first = current;
      if (count >= 1) previous = current;
      if (++count > kMaxLwVertices) {
        ShowError("Elements > " + IntText(kMaxLwVertices) + " !");
        AbortFlag = 1;
        return false;
      }
      current = Vertex{Real(), 0, 0};
    } else if (code_ == 20) {
      current.y = Real();
    } else if (code_ == 42) {
      current.sweep = 4 * std::atan(Real());
    } else if (code_ == 70) {
      flags = TextToInt(trimmed(value_));
    }
  }
  if (damaged_) return false;
  if (!at_end_ && code_ == 8) SelectLayer(LayerOf());
  if (count == 1) first = current;
  if (count >= 2) Segment(previous, current);
  if (flags == 1 && count >= 2) Segment(Vertex{current.x, current.y, 0}, first);
  if (at_end_ || code_ == 0) return !at_end_;
  return SkipToEntity();
}

}  // namespace

std::string cad_block_file_name(const std::string& name) {
  return RunFolder() + "$" + name + ".dx$";
}

std::string cad_block_file_to_read(const std::string& name) {
  const std::string own = cad_block_file_name(name);
  return FileThere(own) ? own : AddBackslash(TempDir) + "$" + name + ".dx$";
}

void dxf_read_block(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy) {
  const long double saved[5] = {InsertOriginX, InsertOriginY, InsertAngle, InsertScaleX,
                                InsertScaleY};
  ++BlockLevel;
  CadPoint origin;
  InsertXY(InsertScaleX, InsertScaleY, InsertOriginX, InsertOriginY, InsertAngle, x, y, origin.x,
           origin.y);
  InsertOriginX = origin.x;
  InsertOriginY = origin.y;
  InsertAngle += angle;
  InsertScaleX *= sx;
  InsertScaleY *= sy;
  if (BlockLevel > kMaxBlockLevel) {
    ShowError("error blockno." + IntText(BlockLevel));
    AbortFlag = 1;
  } else if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
    AddMessage("Invalid temp directory");
    AbortFlag = 1;
  } else {
    BlockReplay replay(cad_block_file_to_read(name));
    if (replay.Open()) {
      replay.Run();
      replay.Close();
    } else {
      AddMessage("Invalid temp directory");
      AbortFlag = 1;
    }
  }
  --BlockLevel;
  InsertOriginX = saved[0];
  InsertOriginY = saved[1];
  InsertAngle = saved[2];
  InsertScaleX = saved[3];
  InsertScaleY = saved[4];
}

// The text tables of the twelve drawings, in English and German, with their blocks replayed as
// on the screen: every text ends before the next column starts, and no table runs over another
// table, the sheet's frame, its title block or the edge of the drawing.
#include <algorithm>
#include <string>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/cadtargets.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"

namespace {

using LD = long double;

constexpr LD kTolerance = 1e-6L;
constexpr std::int32_t kTableLines = 17;
constexpr std::int32_t kTableTexts = 18;

struct Box {
  LD x1, y1, x2, y2;  // x1 <= x2, y1 <= y2
};

struct Segment {
  LD x1, y1, x2, y2;
  std::int32_t layer;
};

struct Text {
  std::string text;
  Box box;  // from its start point to its end at its height, as the CAD output measures it
};

// What one entity pass drew: its lines with their layers and the texts of the tables.
struct Sheet {
  Box window{};
  std::vector<Segment> lines;
  std::vector<Text> table_texts;
};

Sheet FirstPass() {
  Sheet sheet;
  std::int32_t layer = 0;
  bool inside = false;
  for (const RecordedCall& call : Recorded) {
    const std::vector<LD>& v = call.values;
    if (call.op == "header") sheet.window = {v[0], v[1], v[2], v[3]};
    if (call.op == "entities_begin") inside = true;
    if (call.op == "output_complete") break;
    if (!inside) continue;
    if (call.op == "layer") layer = static_cast<std::int32_t>(v[0]);
    if (call.op == "line") sheet.lines.push_back({v[0], v[1], v[2], v[3], layer});
    // An empty heading is drawn as its leading blank alone.
    const bool blank = call.text.find_first_not_of(' ') == std::string::npos;
    if (call.op == "text" && v[5] == kTableTexts && !blank) {
      EXPECT_EQ(v[4], 0) << call.text;
      const LD length = static_cast<LD>(call.text.size()) * v[2] * v[3];
      sheet.table_texts.push_back({call.text, {v[0], v[1], v[0] + length, v[1] + v[2]}});
    }
  }
  return sheet;
}

bool Inside(const Box& inner, const Box& outer) {
  return inner.x1 >= outer.x1 - kTolerance && inner.x2 <= outer.x2 + kTolerance &&
         inner.y1 >= outer.y1 - kTolerance && inner.y2 <= outer.y2 + kTolerance;
}

Box BoxOf(const Segment& s) {
  return {std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)};
}

// Whether an upright or level segment passes through the open box.
bool Crosses(const Segment& s, const Box& b) {
  const Box l = BoxOf(s);
  return l.x2 > b.x1 + kTolerance && l.x1 < b.x2 - kTolerance && l.y2 > b.y1 + kTolerance &&
         l.y1 < b.y2 - kTolerance;
}

// Whether two segments cross where neither ends: two tables laid over each other.
bool CrossInside(const Segment& a, const Segment& b) {
  const Box p = BoxOf(a);
  const Box q = BoxOf(b);
  const bool a_level = p.y1 == p.y2;
  const bool b_level = q.y1 == q.y2;
  if (a_level == b_level) return false;
  const Box& level = a_level ? p : q;
  const Box& upright = a_level ? q : p;
  return upright.x1 > level.x1 + kTolerance && upright.x1 < level.x2 - kTolerance &&
         level.y1 > upright.y1 + kTolerance && level.y1 < upright.y2 - kTolerance;
}

// The text itself, without the blank every table text starts with.
Box Ink(const Text& t) {
  const LD blank = (t.box.x2 - t.box.x1) / static_cast<LD>(t.text.size());
  return {t.box.x1 + blank, t.box.y1, t.box.x2, t.box.y2};
}

void ExpectTextsWhole(const Sheet& sheet) {
  for (const Text& t : sheet.table_texts) {
    SCOPED_TRACE("\"" + t.text + "\"");
    for (const Segment& s : sheet.lines) {
      EXPECT_FALSE(Crosses(s, Ink(t))) << "a line of layer " << s.layer << " at " << s.x1;
    }
    // Heading texts have no separator between them: the next one on the row bounds them.
    for (const Text& next : sheet.table_texts) {
      const bool same_row = std::abs(next.box.y1 - t.box.y1) < kTolerance;
      if (same_row && next.box.x1 > t.box.x1 + kTolerance) {
        EXPECT_LE(t.box.x2, next.box.x1 + kTolerance) << "\"" << next.text << "\"";
      }
    }
  }
}

// The tables keep to the drawing's window (or to the frame's border on a sheet), and are not
// laid over one another.
void ExpectTablesInTheirPlaces(const Sheet& sheet, const Box& room) {
  std::vector<Segment> table_lines;
  for (const Segment& s : sheet.lines) {
    if (s.layer == kTableLines) table_lines.push_back(s);
  }
  for (const Segment& s : table_lines) EXPECT_TRUE(Inside(BoxOf(s), room)) << s.x1 << " " << s.y1;
  for (const Text& t : sheet.table_texts) EXPECT_TRUE(Inside(t.box, room)) << t.text;
  for (std::size_t i = 0; i < table_lines.size(); ++i) {
    for (std::size_t j = i + 1; j < table_lines.size(); ++j) {
      EXPECT_FALSE(CrossInside(table_lines[i], table_lines[j]))
          << table_lines[i].x1 << " " << table_lines[i].y1 << " / " << table_lines[j].x1 << " "
          << table_lines[j].y1;
    }
  }
}

class DrawingTables : public CadTest, public ::testing::WithParamInterface<std::int32_t> {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    UseLanguage(GetParam());
    // Recorded in place of the screen, and so the screen's way: every block goes to a block file
    // that keeps the layers and is replayed where the block is placed.
    cad_register_writer(kCadScreen, RecordingWriter(true));
    CadBatch = 1;
    CurrentFile = Temp("out");
  }
  void TearDown() override {
    cad_register_screen_writer();
    CadBatch = 0;
    UseLanguage(2);
  }
  static void UseLanguage(std::int32_t code) {
    SetCalcTexts(static_cast<std::uint16_t>(code));
    SetVocabularyLanguage(static_cast<std::uint16_t>(code));
  }
  static Sheet Draw(std::uint16_t drawing) {
    Recorded.clear();
    OutputDrawing(kCadScreen, drawing);
    EXPECT_EQ(AbortFlag, 0);
    return FirstPass();
  }
};

TEST_P(DrawingTables, EveryTextEndsBeforeTheNextColumn) {
  std::size_t texts = 0;
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    SCOPED_TRACE("drawing " + std::to_string(drawing));
    const Sheet sheet = Draw(drawing);
    ExpectTextsWhole(sheet);
    texts += sheet.table_texts.size();
  }
  EXPECT_GT(texts, 400u);
}

// The production drawings keep their tables inside the 5 mm border and clear of the title
// block, which every table would cross; the other drawings keep them inside their window.
TEST_P(DrawingTables, TablesStayInTheirPlaces) {
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    SCOPED_TRACE("drawing " + std::to_string(drawing));
    const Sheet sheet = Draw(drawing);
    const bool framed = drawing >= 6 && drawing <= 8;
    ExpectTablesInTheirPlaces(sheet, framed ? Box{17.9L, 5, 205.1L, 292} : sheet.window);
    for (const Text& t : sheet.table_texts) {
      for (const Segment& s : sheet.lines) {
        if (s.layer != kTableLines) {
          EXPECT_FALSE(Crosses(s, t.box)) << t.text << " " << s.layer;
        }
      }
    }
  }
}

// A strength table whose labels are long takes wider columns and, where its place is narrow,
// a smaller text height: nothing runs over the tables beside it.
TEST_P(DrawingTables, LongTextsShrinkATableIntoItsPlace) {
  CalcData.Designation[kShaft] = "P3G 60 - a designation the user made long";
  Materials[kShaft].Name = "a material of a rather long name, 40 chrs";
  Materials[kHub].Ident = "1.1234 and some more text";
  for (const std::uint16_t drawing :
       {std::uint16_t{5}, std::uint16_t{6}, std::uint16_t{8}, std::uint16_t{11}}) {
    SCOPED_TRACE("drawing " + std::to_string(drawing));
    const Sheet sheet = Draw(drawing);
    ExpectTextsWhole(sheet);
    ExpectTablesInTheirPlaces(
        sheet, drawing == 5 || drawing == 11 ? sheet.window : Box{17.9L, 5, 205.1L, 292});
  }
}

INSTANTIATE_TEST_SUITE_P(EnglishAndGerman, DrawingTables, ::testing::Values(2, 1));

}  // namespace

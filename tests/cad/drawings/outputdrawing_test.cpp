// The drawing dispatcher on the golden connection: headers and scales of the twelve drawings,
// identical entity passes, the menu, the entry flags, the default view, the rules of the quick
// sheet and the bore, and the command-line runs that show no dialog.
#include "cad/drawings/outputdrawing.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "platform/system/services.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "tests/base/fakemachine.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"

namespace {

using LD = long double;
using platform::DialogClose;
using platform::DialogKind;
using platform::headless::Step;

using Pass = std::vector<RecordedCall>;

class Dispatcher : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    DecimalSeparator = '.';
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    cad_register_writer(kRecordingTarget, RecordingWriter(false));
    CadBatch = 1;
    CurrentFile = Temp("out");
    Recorded.clear();
  }
  void TearDown() override { CadBatch = 0; }

  static void Draw(std::uint16_t drawing) {
    Recorded.clear();
    OutputDrawing(kRecordingTarget, drawing);
  }
  // The calls of each entity pass, from its start to the layer's question for another pass.
  static std::vector<Pass> Passes() {
    std::vector<Pass> passes;
    bool inside = false;
    for (const RecordedCall& call : Recorded) {
      if (call.op == "entities_begin") {
        passes.emplace_back();
        inside = true;
      } else if (call.op == "output_complete") {
        inside = false;
      } else if (inside) {
        passes.back().push_back(call);
      }
    }
    return passes;
  }
  static std::vector<RecordedCall> Inserts(const std::string& name) {
    std::vector<RecordedCall> found;
    for (const RecordedCall& call : Calls("insert"))
      if (call.text == name) found.push_back(call);
    return found;
  }
  static bool Defines(const std::string& block) {
    for (const RecordedCall& call : Calls("block_begin"))
      if (call.text == block) return true;
    return false;
  }
  static std::size_t TextCount() { return Calls("text").size(); }
  static bool HasText(const std::string& text) {
    for (const RecordedCall& call : Calls("text"))
      if (call.text == text) return true;
    return false;
  }
  bool Written() const { return std::filesystem::exists(Temp("out.rec")); }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

void ExpectSamePass(const Pass& a, const Pass& b, int drawing) {
  ASSERT_EQ(a.size(), b.size()) << "drawing " << drawing;
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].op, b[i].op) << "drawing " << drawing << " call " << i;
    EXPECT_EQ(a[i].text, b[i].text) << "drawing " << drawing << " call " << i;
    EXPECT_TRUE(a[i].values == b[i].values) << "drawing " << drawing << " call " << i;
  }
}

TEST_F(Dispatcher, HeadersAndScalesOfTheTwelveDrawings) {
  const std::vector<std::vector<LD>> headers = {
      {-60, -48, 60, 48, 60}, {-60, -48, 60, 48, 60}, {-5, -5, 120, 100, 0}, {-5, -5, 120, 100, 0},
      {0, 0, 160, 120, 1},    {-5, -5, 215, 307, 0},  {-5, -5, 215, 307, 0}, {-5, -5, 215, 307, 0},
      {-60, -48, 60, 48, 60}, {-60, -48, 60, 48, 60}, {0, 0, 160, 120, 1},   {-2, -5, 422, 305, 0}};
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    Draw(drawing);
    EXPECT_EQ(AbortFlag, 0) << drawing;
    const std::vector<RecordedCall> header = Calls("header");
    ASSERT_EQ(header.size(), 1u) << drawing;
    ExpectValues(header[0], headers[drawing - 1u]);
    EXPECT_EQ(DrawingPage, drawing);
    if (drawing == 5) ExpectValues(Inserts("P3G0")[0], {40, 90, 0, 50 / 77.4L, 50 / 77.4L});
    if (drawing == 11) {
      ExpectValues(Inserts("P3G1")[0], {25, 103, 0, 35 / 77.4L, 35 / 77.4L});
      ExpectValues(Inserts("P3G2")[0], {25, 46, 0, 35 / 77.4L, 35 / 77.4L});
    }
    if (drawing == 6 || drawing == 7) {
      EXPECT_TRUE(HasText("M 1:1")) << drawing;
      ExpectValues(Inserts(drawing == 6 ? "P3G1" : "P3G2")[0], {110, 220, 0, 1, 1});
    }
  }
}

// The fit table of drawing 6 leaves its text height behind, and the advisory of a tolerance
// the tables lack must not reach the next pass either.
TEST_F(Dispatcher, EveryPassDrawsTheSame) {
  for (const char* tolerance : {"k6", "m10"}) {
    CalcData.TolShaft = tolerance;
    for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
      Draw(drawing);
      EXPECT_EQ(AbortFlag, 0) << tolerance << " " << drawing;
      const std::vector<Pass> passes = Passes();
      ASSERT_EQ(passes.size(), 2u) << drawing;
      EXPECT_FALSE(passes[0].empty()) << drawing;
      ExpectSamePass(passes[0], passes[1], drawing);
    }
    EXPECT_EQ(CalcData.TolShaft, tolerance);
  }
}

TEST_F(Dispatcher, TheMenuComesBackWithTheNextDrawing) {
  dialogs_->Expect(Step(DialogKind::List).Select(3));
  dialogs_->Expect(Step(DialogKind::List).Closing(DialogClose::Cancel));
  Draw(0);
  EXPECT_EQ(Calls("header").size(), 1u);
  ExpectValues(Calls("header")[0], {-5, -5, 120, 100, 0});
  const auto& requests = dialogs_->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].items.size(), 13u);
  EXPECT_EQ(requests[0].items[12], "return ..");
  EXPECT_EQ(requests[0].items[7], "Production drawing shaft + hub");
  EXPECT_EQ(requests[0].selected, 0);
  EXPECT_EQ(requests[1].selected, 4);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(dialogs_->Failed());
}

TEST_F(Dispatcher, ReturnEndsTheMenuAndDrawsNothing) {
  dialogs_->Expect(Step(DialogKind::List).Select(12));
  Draw(0);
  EXPECT_TRUE(Recorded.empty());
  EXPECT_EQ(AbortFlag, 0);
  CadBatch = 0;
  for (const std::uint16_t drawing : {std::uint16_t{13}, std::uint16_t{14}, std::uint16_t{200}}) {
    Draw(drawing);
    EXPECT_TRUE(Recorded.empty()) << drawing;
    EXPECT_EQ(AbortFlag, 0) << drawing;
  }
  EXPECT_EQ(dialogs_->Requests().size(), 1u);
}

// The command line fails on a fatal calculation; on the screen the flag stays clear, so the next
// command of the form that ran the calculation is not stopped by it.
TEST_F(Dispatcher, AFatalCalculationShowsItsMessagesAndDrawsNothing) {
  ClearMessages();
  AddMessage("Fatal  : d1 too small");
  FatalFlag = 1;
  dialogs_->Expect(Step(DialogKind::Radio).Select(1));
  Draw(2);
  EXPECT_TRUE(Recorded.empty());
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(Written());
  ASSERT_EQ(dialogs_->Requests().size(), 1u);
  EXPECT_EQ(dialogs_->Requests()[0].items[0], "Fatal  : d1 too small");

  CadBatch = 0;
  AbortFlag = 0;
  dialogs_->Expect(Step(DialogKind::Radio).Select(1));
  RedrawCurrentDrawing();
  FatalFlag = 0;
  EXPECT_EQ(dialogs_->Requests().size(), 2u);
  EXPECT_EQ(AbortFlag, 0);
}

// An advisory of the calculation leaves the flag set; it must not stop the drawing.
TEST_F(Dispatcher, AStaleAbortFlagStillDraws) {
  AbortFlag = 1;
  Draw(1);
  EXPECT_EQ(Calls("polyline_begin").size(), 2u);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(Written());
}

TEST_F(Dispatcher, TheDefaultViewOnTheScreen) {
  const std::vector<std::pair<std::int32_t, std::uint16_t>> views = {
      {0, 11}, {1, 5}, {2, 11}, {3, 8}, {4, 5}, {5, 2}, {6, 12}, {7, 11}, {-1, 11}};
  for (const auto& [view, drawing] : views) {
    DefaultView = view;
    DrawingPage = 0;
    RedrawCurrentDrawing();
    EXPECT_EQ(DrawingPage, drawing) << view;
    EXPECT_EQ(CadTarget, kCadScreen);
    EXPECT_EQ(AbortFlag, 0) << view;
  }
}

TEST_F(Dispatcher, TheQuickSheetShowsTheStrengthTableOnlyWithAPressureCheck) {
  Draw(5);
  EXPECT_EQ(Inserts("TABLE_3").size(), 2u);
  // Its columns hold "Alternating load factor" and the like: shrunk from 0.585 to end at 160.
  const RecordedCall strength = Inserts("TABLE_3")[0];
  ExpectValues(strength, {82, 118, 0});
  EXPECT_LT(strength.values[3], 0.585L);
  EXPECT_EQ(strength.values[4], strength.values[3]);
  const auto without_table = [](const char* why) {
    Draw(5);
    EXPECT_TRUE(Inserts("TABLE_3").empty()) << why;
    EXPECT_TRUE(Defines("TABLE_3")) << why;
    EXPECT_EQ(Inserts("TABLE_1").size(), 2u) << why;
  };
  Materials[kHub].Re = 0;
  without_table("no yield point");
  Materials[kHub].Re = 300;
  CalcData.Sp[kHub] = 0;
  without_table("safety factor 0");
  CalcData.Sp[kHub] = -1;
  without_table("negative safety factor");
}

// Without a profile the quotients of the quick sheets are infinite: the views keep scale 1. A
// negative hub diameter counts by its size on quick sheet 3.
TEST_F(Dispatcher, QuickSheetScalesStayFinite) {
  CalcData.d2 = 0;
  for (const std::uint16_t drawing : {std::uint16_t{5}, std::uint16_t{11}}) {
    Draw(drawing);
    const auto insert = Inserts(drawing == 5 ? "P3G0" : "P3G1");
    ASSERT_FALSE(insert.empty()) << drawing;
    EXPECT_EQ(insert[0].values[3], 1) << drawing;
  }
  CalcData.dB2 = -100;
  Draw(11);
  ExpectValues(Inserts("P3G2")[0], {25, 46, 0, 0.35L, 0.35L});
}

TEST_F(Dispatcher, BoreAndOuterCirclesOnlyWhenGiven) {
  for (const std::uint16_t drawing : {std::uint16_t{2}, std::uint16_t{9}}) {
    Draw(drawing);
    EXPECT_TRUE(Calls("circle_cw").empty()) << drawing;
  }
  Draw(2);
  const std::size_t texts_without_bore = TextCount();
  EXPECT_TRUE(HasText("H7 / k6"));
  CalcData.dB1 = 12;
  Draw(9);
  ASSERT_EQ(Calls("circle_cw").size(), 2u);  // one in each pass
  ExpectValues(Calls("circle_cw")[0], {0, 0, 6});
  Draw(2);
  EXPECT_EQ(TextCount(), texts_without_bore + 2);
  EXPECT_TRUE(HasText("12"));
  Draw(10);
  EXPECT_TRUE(Calls("circle_cw").empty());
  EXPECT_TRUE(Calls("circle").empty());
  CalcData.dB2 = 90;
  Draw(10);
  ASSERT_EQ(Calls("circle").size(), 2u);
  ExpectValues(Calls("circle")[0], {0, 0, 45});
}

// The points a recorded primitive touches: ends, corners, a circle's box, a text's anchor with
// its height across the reading direction.
std::vector<std::pair<LD, LD>> TouchedPoints(const RecordedCall& c) {
  const std::vector<LD>& v = c.values;
  if (c.op == "line") return {{v[0], v[1]}, {v[2], v[3]}};
  if (c.op == "circle" || c.op == "circle_cw" || c.op == "arc") {
    const LD r = c.op == "arc" ? v[4] : v[2];
    return {{v[0] - r, v[1] - r}, {v[0] + r, v[1] + r}};
  }
  if (c.op == "solid") return {{v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}, {v[6], v[7]}};
  if (c.op == "vertex") return {{v[0], v[1]}};
  if (c.op == "text") {
    const LD a = v[4] * 3.14159265358979323846L / 180;
    return {{v[0], v[1]}, {v[0] - v[2] * std::sin(a), v[1] + v[2] * std::cos(a)}};
  }
  return {};
}

struct Box {
  LD x1 = 1e30L, y1 = 1e30L, x2 = -1e30L, y2 = -1e30L;
  void Add(LD x, LD y) {
    x1 = std::min(x1, x);
    y1 = std::min(y1, y);
    x2 = std::max(x2, x);
    y2 = std::max(y2, y);
  }
  bool Overlaps(const Box& b) const {
    constexpr LD kTouch = 1e-6L;
    return x1 < b.x2 - kTouch && b.x1 < x2 - kTouch && y1 < b.y2 - kTouch && b.y1 < y2 - kTouch;
  }
};

// The boxes of the text tables of the first pass, in drawing coordinates. A table starts with
// its heading box on the rules' layer 17: the top edge, then down the right edge from its end
// (a row's rules go up from its foot); it runs on over layers 17 and 18 (texts) until another
// layer, block or insert. A table inside a block lands where the block is inserted.
std::vector<Box> TableBoxes() {
  std::map<std::string, std::vector<Box>> blocks;
  std::vector<Box> placed;
  std::string block;
  std::optional<Box> table;
  bool switched = false;                    // to layer 17, and no line drawn since
  std::optional<std::vector<LD>> top_edge;  // the first line after that, held for the next one
  const auto finish = [&] {
    if (table) (block.empty() ? placed : blocks[block]).push_back(*table);
    table.reset();
  };
  const auto add_line = [&](const std::vector<LD>& v) {
    if (!table) return;
    table->Add(v[0], v[1]);
    table->Add(v[2], v[3]);
  };
  // The held line opens a table when next runs down from its end.
  const auto settle = [&](const std::vector<LD>* next) {
    if (!top_edge) return;
    const std::vector<LD>& t = *top_edge;
    if (next != nullptr && t[1] == t[3] && (*next)[0] == t[2] && (*next)[1] == t[3] &&
        (*next)[2] == t[2] && (*next)[3] < t[3]) {
      finish();
      table.emplace();
    }
    add_line(t);
    top_edge.reset();
  };
  for (const RecordedCall& c : Recorded) {
    if (c.op == "output_complete") break;
    const std::vector<LD>& v = c.values;
    if (c.op == "line") {
      settle(&v);
      if (switched) {
        top_edge = v;
      } else {
        add_line(v);
      }
      switched = false;
      continue;
    }
    settle(nullptr);
    if (c.op == "layer") {
      if (v[0] != 17 && v[0] != 18) finish();
      switched = v[0] == 17;
    } else if (c.op == "block_begin" || c.op == "block_end" || c.op == "insert") {
      finish();
      block = c.op == "block_begin" ? c.text : "";
      for (const Box& b : c.op == "insert" ? blocks[c.text] : std::vector<Box>{}) {
        Box moved;
        moved.Add(v[0] + v[3] * b.x1, v[1] + v[4] * b.y1);
        moved.Add(v[0] + v[3] * b.x2, v[1] + v[4] * b.y2);
        placed.push_back(moved);
      }
    } else if (table && c.op == "text") {
      table->Add(v[0], v[1]);
      table->Add(v[0], v[1] + v[2]);
    }
  }
  finish();
  return placed;
}

// On the example connection no result table lies over another: on the quick sheet the strength
// table reaches below the top the hub's table is given, which then starts under its last row.
TEST_F(Dispatcher, NoTableLiesOverAnother) {
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    Draw(drawing);
    const std::vector<Box> boxes = TableBoxes();
    if (drawing == 5 || drawing == 11) {
      EXPECT_GE(boxes.size(), 3u) << drawing;
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (std::size_t j = i + 1; j < boxes.size(); ++j) {
        EXPECT_FALSE(boxes[i].Overlaps(boxes[j]))
            << "drawing " << drawing << " tables " << i << " and " << j << ": " << boxes[i].y1
            << ".." << boxes[i].y2 << " and " << boxes[j].y1 << ".." << boxes[j].y2;
      }
    }
  }
}

// P3G 40 in a hub of 100: the hub's circle and its dimension reach beyond the profile.
TEST_F(Dispatcher, TheProfileViewsHoldEverythingTheyDraw) {
  CalcData.d1 = 40;
  CalcData.e1 = 1.5;
  CalcData.d1graf = 40;
  CalcData.dB2 = 100;
  CalculateP3G();
  for (const std::uint16_t drawing : {std::uint16_t{2}, std::uint16_t{10}}) {
    Draw(drawing);
    ASSERT_EQ(Calls("header").size(), 1u) << drawing;
    const std::vector<LD> h = Calls("header")[0].values;
    const std::vector<Pass> passes = Passes();
    for (const RecordedCall& call : passes[0]) {
      for (const auto& [x, y] : TouchedPoints(call)) {
        EXPECT_TRUE(x >= h[0] && x <= h[2] && y >= h[1] && y <= h[3])
            << "drawing " << drawing << " " << call.op << " " << call.text << " at " << x << ", "
            << y;
      }
    }
  }
}

// Where the first pass puts each insert of the block: the box of what the block draws, a text
// with its characters side by side, each its height times its width factor wide.
std::vector<Box> PlacedBoxes(const std::string& block) {
  Box drawn;
  std::string inside;
  std::vector<Box> placed;
  for (const RecordedCall& c : Recorded) {
    if (c.op == "output_complete") break;
    const std::vector<LD>& v = c.values;
    if (c.op == "block_begin" || c.op == "block_end") inside = c.op == "block_end" ? "" : c.text;
    if (inside == block) {
      for (const auto& [x, y] : TouchedPoints(c)) drawn.Add(x, y);
      if (c.op == "text") {
        const LD length = c.text.size() * v[2] * v[3];
        const LD a = v[4] * 3.14159265358979323846L / 180;
        drawn.Add(v[0] + length * std::cos(a), v[1] + length * std::sin(a));
      }
    }
    if (c.op == "insert" && c.text == block) {
      Box moved;
      moved.Add(v[0] + v[3] * drawn.x1, v[1] + v[4] * drawn.y1);
      moved.Add(v[0] + v[3] * drawn.x2, v[1] + v[4] * drawn.y2);
      placed.push_back(moved);
    }
  }
  return placed;
}

// Quick sheet 4 shows shaft and hub at one scale inside the narrower border of the A3 sheet and
// clear of the title block of every layout with eight change rows above it (from 227.8 across,
// up to 77.5), for small and large profiles and a hub far wider than its profile.
TEST_F(Dispatcher, QuickSheet4ShowsBothViewsClearOfFrameAndTitleBlock) {
  struct ViewCase {
    const char* name;
    LD size;  // of the example's profile
    LD hub;   // outer diameter dB2
  };
  const ViewCase cases[] = {
      {"example", 1, 0}, {"small", 0.2L, 0}, {"large", 4, 0}, {"wide hub", 1, 150}};
  Box title_block;
  title_block.Add(227.8L, 5);
  title_block.Add(415, 77.5L);
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    kv6record& r = CalcData;
    for (LD* length : {&r.d1, &r.d2, &r.d3, &r.e1, &r.d4, &r.d5, &r.d1graf}) *length *= c.size;
    r.dB2 = c.hub;
    CalculateP3G();
    Draw(12);
    const std::vector<Box> shaft = PlacedBoxes("P3G1");
    const std::vector<Box> hub = PlacedBoxes("P3G2");
    ASSERT_EQ(std::tuple(shaft.size(), hub.size()), std::tuple(1u, 1u));
    const std::vector<Box> views = {shaft[0], hub[0]};
    for (const Box& view : views) {
      EXPECT_TRUE(view.x1 >= 20 && view.x2 <= 410 && view.y1 >= 10 && view.y2 <= 287)
          << view.x1 << ".." << view.x2 << ", " << view.y1 << ".." << view.y2;
      EXPECT_FALSE(view.Overlaps(title_block)) << view.x1 << ", " << view.y1;
    }
    EXPECT_FALSE(views[0].Overlaps(views[1]));
    EXPECT_EQ(Inserts("P3G1")[0].values[3], Inserts("P3G2")[0].values[3]);
  }
}

TEST_F(Dispatcher, TheContourDrawingsTakeTheirSettingsWithoutAsking) {
  const kv6record& r = CalcData;
  const std::vector<std::pair<std::uint16_t, LD>> diameters = {
      {1, r.d1}, {9, (r.d1min + r.d1max) / 2}, {10, (r.d4min + r.d4max) / 2}};
  for (const auto& [drawing, diameter] : diameters) {
    CalcData.d1graf = 0;
    Draw(drawing);
    EXPECT_EQ(AbortFlag, 0) << drawing;
    EXPECT_EQ(CalcData.d1graf, diameter) << drawing;
    EXPECT_TRUE(Written()) << drawing;
  }
  EXPECT_TRUE(dialogs_->Requests().empty());
  EXPECT_TRUE(dialogs_->Transcript().empty());
}

TEST_F(Dispatcher, ACommandLineRunFailsExactlyWhenNoFileIsWritten) {
  dialogs_->Expect(Step(DialogKind::List).Closing(DialogClose::Cancel));
  Draw(0);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(Written());
  for (const std::uint16_t drawing : {std::uint16_t{13}, std::uint16_t{99}}) {
    Draw(drawing);
    EXPECT_EQ(AbortFlag, 1) << drawing;
    EXPECT_FALSE(Written()) << drawing;
  }
  EXPECT_EQ(Boxes("CAD drawing not available"), 2);
  CalcData.TolShaft = "m10";
  Draw(6);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(Written());
}

// Outside a command-line run the contour drawings show the settings form first; its Cancel
// stops the drawing before any output, its OK stores the proposed diameter.
TEST_F(Dispatcher, TheSettingsFormComesFirst) {
  CadBatch = 0;
  const long double before = CalcData.d1graf = 12.5L;
  dialogs_->Expect(Step(DialogKind::Form).Closing(DialogClose::Cancel));
  Draw(9);
  EXPECT_TRUE(Recorded.empty());
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(CalcData.d1graf, before);
  dialogs_->Expect(Step(DialogKind::Form).Act([](platform::Form& form) {
    form.Get<platform::Button>("Button_ok").Click();
  }));
  dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp("hub")));
  Draw(10);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(CalcData.d1graf, (CalcData.d4min + CalcData.d4max) / 2);
  EXPECT_EQ(Calls("header").size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(Temp("hub.rec")));
  EXPECT_FALSE(dialogs_->Failed());
}

// The contour of drawing 1 as the command line writes it: extents -60, -48, 60, 48 and one
// polyline of 721 vertices on layer 5 from (27.75, 0).
TEST_F(Dispatcher, Drawing1AsDxfByteForByte) {
  CurrentFile = Temp("p3g60");
  OutputDrawing(kCadDxf, 1);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(ReadBytes(Temp("p3g60.dxf")) == ReadBytes(FixtureDir() / "p3g60_drawing1.dxf"));
}

}  // namespace

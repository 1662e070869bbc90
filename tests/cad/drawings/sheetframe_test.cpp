// Sheet frame and title block: rectangles and origins of every layout, the change rows, revision
// texts, free texts, marking strip, user blocks and the protection notice's style.
#include <algorithm>
#include <cmath>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/sheetframe.h"
#include "cad/drawings/titleblock.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "tests/cad/cadtest.h"

namespace {

using LD = long double;

struct Box {
  LD x1, y1, x2, y2;
};

class SheetFrame : public RecordingCadTest {
 protected:
  void SetUp() override {
    RecordingCadTest::SetUp();
    InitDrawingInfo();
    saved_plot_ = *cad_writer_of(kCadPlot);
    cad_register_writer(kCadPlot, RecordingWriter(false));
  }
  void TearDown() override { cad_register_writer(kCadPlot, saved_plot_); }
  void AddChanges(int count) {
    ChangeCount = static_cast<std::uint16_t>(count);
    for (int i = 1; i <= count; ++i) {
      ChangeEntries[i].ChangeText = "mod" + std::to_string(i);
      ChangeEntries[i].Description = "line one\r\nline two";
    }
  }
  // The four lines of a rectangle starting at call index i, as its corners.
  static Box RectAt(const std::vector<RecordedCall>& lines, std::size_t i) {
    Box b{1e9, 1e9, -1e9, -1e9};
    for (std::size_t k = i; k < i + 4; ++k) {
      b.x1 = std::min({b.x1, lines[k].values[0], lines[k].values[2]});
      b.y1 = std::min({b.y1, lines[k].values[1], lines[k].values[3]});
      b.x2 = std::max({b.x2, lines[k].values[0], lines[k].values[2]});
      b.y2 = std::max({b.y2, lines[k].values[1], lines[k].values[3]});
    }
    return b;
  }
  // The text calls whose text starts with prefix, in call order.
  static std::vector<RecordedCall> TextsStarting(const std::string& prefix) {
    std::vector<RecordedCall> found;
    for (const RecordedCall& c : Calls("text"))
      if (c.text.rfind(prefix, 0) == 0) found.push_back(c);
    return found;
  }

  CadWriter saved_plot_;
};

void ExpectBox(const Box& box, const Box& expected, const std::string& what) {
  EXPECT_NEAR(static_cast<double>(box.x1), static_cast<double>(expected.x1), 1e-9) << what;
  EXPECT_NEAR(static_cast<double>(box.y1), static_cast<double>(expected.y1), 1e-9) << what;
  EXPECT_NEAR(static_cast<double>(box.x2), static_cast<double>(expected.x2), 1e-9) << what;
  EXPECT_NEAR(static_cast<double>(box.y2), static_cast<double>(expected.y2), 1e-9) << what;
}

TEST_F(SheetFrame, EveryStandardOnA4AndA3) {
  struct Case {
    std::int32_t standard, border, size;
    Box frame, trim, block;
  };
  const std::vector<Case> cases = {
      {0, 0, 4, {17.9L, 5, 205.1L, 292}, {0, 0, 210, 297}, {17.9L, 5, 205.1L, 43.25L}},
      {3, 1, 4, {17.9L, 5, 205.1L, 292}, {0, 0, 210, 297}, {17.9L, 5, 205.1L, 60.25L}},
      {1, 0, 4, {17.9L, 5, 205.1L, 292}, {0, 0, 210, 297}, {25, 5, 205, 32}},
      {1, 1, 4, {20, 10, 200, 287}, {0, 0, 210, 297}, {20, 10, 200, 37}},
      {2, 0, 4, {17.9L, 5, 205.1L, 292}, {0, 0, 210, 297}, {25, 5, 205, 41}},
      {0, 1, 3, {15, 5, 415, 292}, {0, 0, 420, 297}, {227.8L, 5, 415, 43.25L}},
      {3, 0, 3, {15, 5, 415, 292}, {0, 0, 420, 297}, {227.8L, 5, 415, 60.25L}},
      {1, 0, 3, {15, 5, 415, 292}, {0, 0, 420, 297}, {235, 5, 415, 32}},
      {2, 1, 3, {20, 10, 410, 287}, {0, 0, 420, 297}, {230, 10, 410, 46}},
      {2, 0, 3, {15, 5, 415, 292}, {0, 0, 420, 297}, {235, 5, 415, 41}},
  };
  for (const Case& c : cases) {
    TitleBlockStandard = c.standard;
    SheetBorderCode = c.border;
    Recorded.clear();
    DrawSheetFrame(c.size, "Shaft", "P3G 40", "4711");
    const std::string what = "standard " + std::to_string(c.standard) + " border " +
                             std::to_string(c.border) + " size " + std::to_string(c.size);
    auto lines = Calls("line");
    ASSERT_GE(lines.size(), 12u) << what;
    ExpectBox(RectAt(lines, 0), c.frame, what);
    ExpectBox(RectAt(lines, 4), c.trim, what);
    ExpectBox(RectAt(lines, 8), c.block, what);
    EXPECT_EQ(DrawOffset.x, 0);
    EXPECT_EQ(DrawOffset.y, 0);
    EXPECT_EQ(SheetKind, c.size == 3 ? 3 : 2);
  }
}

TEST_F(SheetFrame, LargeSheetsKeepTheOffsetAndHaveNoNotice) {
  TitleBlockStandard = 0;
  cad_offset(100, 100);
  SheetKind = 7;
  DrawSheetFrame(2, "Shaft", "", "");
  auto lines = Calls("line");
  ExpectBox(RectAt(lines, 0), {100, 100, 694, 520}, "A2 trim only");
  ExpectBox(RectAt(lines, 4), {100, 100, 287.2L, 138.25L}, "block at the offset in force");
  EXPECT_EQ(SheetKind, 7);
  for (const RecordedCall& c : Calls("text_style")) EXPECT_NE(c.values[1], 90);
}

TEST_F(SheetFrame, LoneSlashesAreEmpty) {
  for (std::int32_t standard : {0, 2}) {
    TitleBlockStandard = standard;
    Recorded.clear();
    DrawSheetFrame(4, " / ", "/", "//");
    EXPECT_FALSE(HasText(" / "));
    EXPECT_FALSE(HasText("/"));
    EXPECT_TRUE(HasText("//"));
  }
}

TEST_F(SheetFrame, HiddenHeadStillSetsTheSheetKind) {
  HideDrawingHead = 1;
  DiCond = "Zust.";
  DrawSheetFrame(3, "Shaft", "", "");
  EXPECT_EQ(SheetKind, 3);
  DrawSheetFrame(4, "Shaft", "", "");
  EXPECT_EQ(SheetKind, 2);
  EXPECT_TRUE(Recorded.empty());
  EXPECT_EQ(DiCond, "Cond.");  // the labels are English all the same
}

TEST_F(SheetFrame, ChangeRowsShowTheNewestEight) {
  for (int count : {12, 8, 0}) {
    AddChanges(count);
    const int first = count > 8 ? count - 7 : 1;
    // DIN 6771 rows come whatever ShowChanges says; ISO 7200 rows only with it.
    for (auto [standard, show, x] : {std::tuple{0, 0, 17.9L + 8.8L},
                                     {3, 0, 17.9L + 8.8L},
                                     {2, 1, 25 + 41.0L},
                                     {1, 1, 25 + 41.0L},
                                     {2, 0, 0.0L}}) {
      TitleBlockStandard = standard;
      SheetBorderCode = 0;
      ShowChanges = static_cast<std::uint8_t>(show);
      Recorded.clear();
      DrawSheetFrame(4, "Shaft", "", "");
      auto rows = TextsStarting("mod");
      const std::string what =
          std::to_string(count) + " changes, standard " + std::to_string(standard);
      if (x == 0 || count == 0) {
        EXPECT_TRUE(rows.empty()) << what;
        continue;
      }
      ASSERT_EQ(rows.size(), static_cast<std::size_t>(count - first + 1)) << what;
      EXPECT_EQ(rows.front().text, "mod" + std::to_string(first)) << what;
      EXPECT_EQ(rows.back().text, "mod" + std::to_string(count)) << what;
      EXPECT_GT(rows.back().values[1], rows.front().values[1]) << what;  // newest on top
      EXPECT_NEAR(static_cast<double>(rows.front().values[0]), static_cast<double>(x), 1e-9)
          << what;
      if (standard == 2) {
        EXPECT_TRUE(HasText("line one  line two")) << what;
        for (const RecordedCall& c : Calls("line"))  // the rows stay open on the right
          EXPECT_FALSE(c.values[0] == 205 && c.values[2] == 205 && c.values[3] > 41) << what;
        EXPECT_NEAR(static_cast<double>(rows.front().values[1]), 5 + 36 + 3.5 + 0.9, 1e-9);
      }
    }
  }
}

TEST_F(SheetFrame, DamagedCountsStayInsideTheSlots) {
  AddChanges(25);
  ChangeCount = 300;
  DrawingTextCount = 300;
  TitleBlockStandard = 2;
  ShowChanges = 1;
  DrawSheetFrame(4, "Shaft", "", "");
  auto rows = TextsStarting("mod");
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows.back().text, "mod25");
}

TEST_F(SheetFrame, RevisionTexts) {
  AddChanges(0);
  RevisionFromZero = 0;
  EXPECT_EQ(CurrentRevisionText(), "A");
  RevisionFromZero = 1;
  EXPECT_EQ(CurrentRevisionText(), " ");
  AddChanges(3);
  for (auto [style, text] :
       {std::pair<std::uint16_t, std::string>{0, "c"}, {1, "3"}, {2, "C"}, {3, ""}}) {
    RevisionIndexStyle = style;
    EXPECT_EQ(CurrentRevisionText(), text) << style;
  }
  RevisionFromZero = 0;
  RevisionIndexStyle = 1;
  EXPECT_EQ(CurrentRevisionText(), "D");
  // The index column: style 1 numbers, style 3 nothing.
  AddChanges(12);
  TitleBlockStandard = 0;
  DrawSheetFrame(4, "Shaft", "", "");
  EXPECT_TRUE(HasText("12"));
  RevisionIndexStyle = 3;
  Recorded.clear();
  DrawSheetFrame(4, "Shaft", "", "");
  EXPECT_FALSE(HasText("12"));
  EXPECT_FALSE(HasText("5"));
}

TEST_F(SheetFrame, FreeTextsFollowTheirMode) {
  DrawingTextCount = 1;
  DrawingTextRecords[1] = {30, 40, 5, 0, "free", 2};
  for (std::int32_t mode : {0, 1, 2, 3, 7}) {
    DrawingTextMode = mode;
    for (std::int32_t size : {4, 3}) {
      Recorded.clear();
      DrawSheetFrame(size, "Shaft", "", "");
      const bool expected = mode == 2 || (mode == 0 && size == 4) || (mode == 1 && size == 3);
      EXPECT_EQ(HasText("free"), expected) << "mode " << mode << " size " << size;
    }
  }
}

TEST_F(SheetFrame, NoticeSetsTheStyleOfAFollowingTextOfHeightZero) {
  DrawProtectionNote(4);
  EXPECT_TRUE(Calls("text").empty());
  ASSERT_EQ(Calls("text_style").size(), 1u);
  ExpectValues(Calls("text_style")[0], {2, 90, 1.8L});
  DrawingTextCount = 1;
  DrawingTextRecords[1] = {30, 40, 0, 0, "inherits", 2};
  Recorded.clear();
  DrawSheetFrame(4, "Shaft", "", "");
  auto texts = TextsStarting("inherits");
  ASSERT_EQ(texts.size(), 1u);
  RecordedCall last_style;
  for (const RecordedCall& c : Recorded) {
    if (c.op == "text_style") last_style = c;
    if (c.op == "text" && c.text == "inherits") break;
  }
  ExpectValues(last_style, {2, 90, 1.8L});
  HideProtectionNote = 1;
  Recorded.clear();
  DrawProtectionNote(4);
  HideProtectionNote = 0;
  DrawProtectionNote(1);
  EXPECT_TRUE(Recorded.empty());
}

TEST_F(SheetFrame, ZoneMarksAndMillimetreTicks) {
  TitleBlockStandard = 1;
  for (auto [size, across, numbers] : {std::tuple{4, 181u, 4}, {3, 391u, 8}}) {
    const LD top = 291, right = size == 4 ? 204 : 414;
    for (std::int32_t border : {1, 0}) {
      SheetBorderCode = border;
      Recorded.clear();
      DrawSheetFrame(size, "Shaft", "", "");
      std::size_t top_ticks = 0, right_ticks = 0;
      for (const RecordedCall& c : Calls("line")) {
        const bool tick = std::fabs(c.values[2] - c.values[0] + c.values[3] - c.values[1]) <= 3;
        top_ticks += tick && c.values[0] == c.values[2] && c.values[1] == top;
        right_ticks += tick && c.values[1] == c.values[3] && c.values[0] == right;
      }
      EXPECT_EQ(top_ticks, border ? across : 0u) << size;
      EXPECT_EQ(right_ticks, border ? 278u : 0u) << size;
      EXPECT_EQ(HasText(std::to_string(numbers)), border == 1) << size;
      EXPECT_FALSE(HasText(std::to_string(numbers + 1))) << size;
      EXPECT_EQ(HasText("F"), border == 1) << size;
      EXPECT_FALSE(HasText("G")) << size;
    }
  }
}

TEST_F(SheetFrame, UserBlocksOnScreenAndPlotOnly) {
  TitleBlockStandard = 2;
  SheetBorderCode = 1;
  UseHeadBlocks = 1;
  UseInsertBlocks = 1;
  AddChanges(3);
  ShowChanges = 1;
  auto inserts = [] {
    std::vector<std::string> names;
    for (const RecordedCall& c : Calls("insert")) names.push_back(c.text);
    return names;
  };
  Open(kCadPlot);
  DrawSheetFrame(4, "Shaft", "", "");
  EXPECT_TRUE(inserts().empty());  // no files
  for (const char* name : {"$logo_1.dx$", "$head_0.dx$", "$head_3.dx$", "$insert_4.dx$"})
    WriteBytes(Temp(name), CrLf({"0", "EOF"}));
  Recorded.clear();
  DrawSheetFrame(4, "Shaft", "", "");
  auto calls = Calls("insert");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].text, "logo_1");
  ExpectValues(calls[0], {23, 14, 0, 1.75L, 1.75L});
  EXPECT_EQ(calls[1].text, "head_0");
  ExpectValues(calls[1], {20, 10 + 36 + 3.5L * 4});  // on top of the change rows
  EXPECT_EQ(calls[2].text, "insert_4");
  ExpectValues(calls[2], {20, 10});
  Open(kRecordingTarget);
  DrawSheetFrame(4, "Shaft", "", "");
  EXPECT_TRUE(inserts().empty());
}

TEST_F(SheetFrame, SheetExtents) {
  for (std::int32_t size : {4, 3, 2, 1}) SetSheetExtents(size);
  auto headers = Calls("header");
  ASSERT_EQ(headers.size(), 2u);
  ExpectValues(headers[0], {-5, -5, 215, 307, 0});
  ExpectValues(headers[1], {-2, -5, 422, 305, 0});
}

}  // namespace

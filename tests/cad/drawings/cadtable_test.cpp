// Text tables: columns and boundaries, row geometry, text forms, the message table.
#include "cad/drawings/cadtable.h"

#include "base/text/messages.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "tests/cad/cadtest.h"

namespace {

using TextTable = RecordingCadTest;

using Strings = std::vector<std::string>;

TEST_F(TextTable, ColumnsEndAtTheFirstWidthOfZero) {
  TAusTabelle three(0, 0, 2, {10, 10, 10}, {"a", "b", "c"});
  EXPECT_EQ(three.LastBoundary(), 4);
  TAusTabelle one(0, 0, 2, {10, 0, 10}, {"a", "b", "c"});
  EXPECT_EQ(one.LastBoundary(), 2);
  TAusTabelle seven(0, 0, 2, {1, 1, 1, 1, 1, 1, 1}, {});
  EXPECT_EQ(seven.LastBoundary(), 8);
  EXPECT_EQ(Texts(), (Strings{" a", " b", " c", " a"}));
}

TEST_F(TextTable, HeadingBoxRowsAndTextPositions) {
  TAusTabelle table(10, 100, 2, {10, 5}, {"x", "y"});
  // The heading box, closed, plus its two outer edges; no inner separator.
  std::vector<RecordedCall> lines = Calls("line");
  ASSERT_EQ(lines.size(), 6u);
  ExpectValues(lines[0], {10, 100, 37, 100});
  ExpectValues(lines[2], {37, 96, 10, 96});
  ExpectValues(lines[4], {10, 100, 10, 96});
  ExpectValues(lines[5], {37, 100, 37, 96});
  EXPECT_EQ(TextHeight, 2);
  Recorded.clear();
  table.AddRow3("1", "2", "3");  // the third text has no column
  lines = Calls("line");
  ASSERT_EQ(lines.size(), 4u);
  ExpectValues(lines[0], {10, 92, 37, 92});  // the rule under the new row
  ExpectValues(lines[1], {10, 92, 10, 96});
  ExpectValues(lines[2], {28, 92, 28, 96});
  ExpectValues(lines[3], {37, 92, 37, 96});
  std::vector<RecordedCall> texts = Calls("text");
  ASSERT_EQ(texts.size(), 2u);
  ExpectValues(texts[0], {10, 93});
  ExpectValues(texts[1], {28, 93});
  EXPECT_EQ(Texts(), (Strings{" 1", " 2"}));
  ASSERT_EQ(Calls("layer").size(), 2u);
  EXPECT_EQ(Calls("layer")[0].values[0], 17);
  EXPECT_EQ(Calls("layer")[1].values[0], 18);
}

TEST_F(TextTable, WithoutSeparatorsOrRulesOnlyTheOuterEdges) {
  TAusTabelle table(0, 0, 1, {10, 10, 10}, {"a"});
  table.Separators = false;
  table.Rules = false;
  Recorded.clear();
  table.AddRow4("1", "2", "3", "4");
  std::vector<RecordedCall> lines = Calls("line");
  ASSERT_EQ(lines.size(), 2u);
  ExpectValues(lines[0], {0, -4, 0, -2});
  ExpectValues(lines[1], {27, -4, 27, -2});
}

TEST_F(TextTable, EmptyHeadingsLetTheFirstRowTakeTheHeadingBox) {
  TAusTabelle table(0, 50, 2, {10}, {});
  EXPECT_TRUE(Calls("text").empty());
  table.AddRow5("first", "", "", "", "");
  table.AddRow({"second"});
  std::vector<RecordedCall> texts = Calls("text");
  ASSERT_EQ(texts.size(), 2u);
  ExpectValues(texts[0], {0, 47});
  ExpectValues(texts[1], {0, 43});
}

TEST_F(TextTable, LongFirstColumnTextsStartUpperCase) {
  TAusTabelle table(0, 0, 2, {20, 20}, {"ninechars", "ninechars"});
  table.AddRow({"eightchr", "lowercase"});
  table.Capitalise = false;
  table.AddRow({"lowercase text", ""});
  EXPECT_EQ(Texts(), (Strings{" Ninechars", " ninechars", " eightchr", " lowercase",
                              " lowercase text", " "}));
}

TEST_F(TextTable, MessageTableRowsShrinkToFitTheHeight) {
  DrawMessageTable(0, 0, 2, 0, 18);
  EXPECT_TRUE(Recorded.empty());

  AddMessage("Error  : one");
  DrawMessageTable(0, 0, 0, 0, 18);
  EXPECT_EQ(Texts(), Strings{" Error  : one"});
  EXPECT_EQ(TextHeight, 2);
  ASSERT_FALSE(Calls("line").empty());
  ExpectValues(Calls("line")[0], {0, 0, 75.6L, 0});  // 42 characters of height 2

  AddMessage("Warning: two");
  AddMessage("Warning: three");
  AddMessage("Warning: four");
  Recorded.clear();
  DrawMessageTable(0, 0, 2, 42, 18);  // 18 / 4 / 2 = 2.25 leaves 2
  EXPECT_EQ(TextHeight, 2);
  EXPECT_EQ(Texts(),
            (Strings{" Error  : one", " Warning: two", " Warning: three", " Warning: four"}));
  ExpectValues(Calls("text").back(), {0, -15});

  Recorded.clear();
  DrawMessageTable(5, 40, 2, 42, 8);
  EXPECT_EQ(TextHeight, 1);
  ExpectValues(Calls("text").back(), {5, 40 - 1.5L - 6});

  Recorded.clear();
  DrawMessageTable(0, 0, 2, 42, 0.1L);  // no limit
  EXPECT_EQ(TextHeight, 2);
}

// A text of n characters takes (n + 1) x 0.75 / 0.9 columns with its blank; a heading may use the
// columns after it whose headings are empty, and only the last of them widens for it.
TEST_F(TextTable, ColumnsWidenToTheirLongestTexts) {
  const auto columns = [](std::size_t chars) { return (chars + 1) * 0.75L / 0.9L; };
  const TableWidths widths = WidthsToFit({5, 3, 3, 0, 9}, {std::string(30, 'H'), "", "x", "y"},
                                         {{"123456789", "ab", "", "ignored"}, {"1", "", "x"}});
  EXPECT_NEAR(static_cast<double>(widths[0]), static_cast<double>(columns(9)), 1e-12);
  EXPECT_NEAR(static_cast<double>(widths[0] + widths[1]), static_cast<double>(columns(30)), 1e-12);
  EXPECT_EQ(widths[2], 3);
  EXPECT_EQ(widths[3], 0);
  EXPECT_EQ(widths[4], 9);
  EXPECT_NEAR(static_cast<double>(TableWidth(widths, 2)),
              static_cast<double>(1.8L * (columns(30) + 3)), 1e-12);
  CadTextFactor = 2;  // texts twice as wide in the CAD file
  EXPECT_NEAR(static_cast<double>(WidthsToFit({1}, {}, {{"123456789"}})[0]),
              static_cast<double>(2 * columns(9)), 1e-12);
}

}  // namespace

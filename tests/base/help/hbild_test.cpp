#include "base/help/hbild.h"

#include <gmock/gmock.h>

#include <cmath>
#include <map>
#include <random>

#include "base/text/displaytext.h"
#include "tests/base/drawwindow_fixture.h"
#include "tests/base/testdata.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// 8-bit HP-GL/2 encoding of one integer.
std::string Encoded(long v) {
  unsigned long a = v >= 0 ? 2 * v : 2 * -v + 1;
  std::string out;
  for (;;) {
    const unsigned long digit = a & 63;
    a >>= 6;
    if (a == 0) return out + static_cast<char>(191 + digit);
    out += static_cast<char>(63 + digit);
  }
}

class HpglTest : public DrawWindowTest {
 protected:
  std::vector<std::string> Plot(const std::string& text) {
    DisplayList.clear();
    PlotHpglText(text);
    EXPECT_EQ(AbortFlag, 0);
    return {DisplayList.begin(), DisplayList.end()};
  }
};

TEST_F(HpglTest, PenMovesDrawInThePenColour) {
  EXPECT_THAT(Plot("SP1;PU100,200;PD500,200,500,600;"),
              ElementsAre("8;12", "4;2.5;5;12.5;5", "4;12.5;5;12.5;15"));
  EXPECT_EQ(std::tuple(HpglPosX, HpglPenDown), std::tuple(12.5L, 1));
}

TEST_F(HpglTest, NothingIsDrawnFromTheUndefinedStart) {
  EXPECT_THAT(Plot("SP1;CI40;PD;AA0,0,90;"), IsEmpty());
  EXPECT_THAT(Plot("PD40,40;"), IsEmpty());
  EXPECT_THAT(Plot("SP1;PD40,40;PD80,40;"), ElementsAre("8;12", "4;1;1;2;1"));
}

TEST_F(HpglTest, PenSelection) {
  for (auto [command, pen] : {std::pair{"SP;", 1}, {"SP0;", 0}}) {
    Plot(command);
    EXPECT_EQ(HpglPen, pen) << command;
  }
}

TEST_F(HpglTest, LabelsWithUmlautsSizeAndDirection) {
  const auto list = Plot("SP1;PU0,0;SI0.2,0.3;DI0,1;CS3;LBGr}u}e\x03;CS1;LBa}\x03");
  EXPECT_THAT(list, ElementsAre("8;12", "9;3;2;2;90",
                                "6;0;0;" + ToDisplayText("Gr\x81"
                                                         "e"),
                                "9;3;2;2;90", "6;0;0;a}"));
}

TEST_F(HpglTest, LongLabelsAreReadWhole) {
  const std::string text(300, 'x');
  EXPECT_THAT(Plot("SP1;PU0,0;LB" + text + "\x03PD40,0;"),
              ElementsAre("8;12", ::testing::_, "6;0;0;" + text, "4;0;0;1;0"));
}

TEST_F(HpglTest, ScalingCommandsChangeNothing) {
  EXPECT_THAT(Plot("PU40,80;IP0,0,4000,4000;SC0,100,0,100;IW;RO90;\x1b.@;"), IsEmpty());
  EXPECT_EQ(std::tuple(HpglPosX, HpglPosY), std::tuple(1.0L, 2.0L));
}

TEST_F(HpglTest, ArcEndsAtItsEndPoint) {
  EXPECT_THAT(Plot("SP1;PU40,0;PD;AA0,0,90;"),
              ElementsAre("8;12", ::testing::StartsWith("5;-1;-1;1;1;1;0;")));
  EXPECT_NEAR(static_cast<double>(std::hypot(HpglPosX, HpglPosY - 1)), 0, 1e-12);
  EXPECT_THAT(Plot("PU0,40;AA0,0,90;"), IsEmpty()) << "pen up only moves";
  EXPECT_NEAR(static_cast<double>(HpglPosX), -1, 1e-12);
}

TEST_F(HpglTest, EncodedPolylines) {
  // 7-bit: "<" pen up, "=" absolute, "_" is 0; "a" is +1 plotter unit.
  EXPECT_THAT(Plot("SP1;PE7<=__;PE7aa;"), ElementsAre("8;12", "4;0;0;0.025;0.025"));
  // 8-bit with negative values, relative to (0, 0).
  EXPECT_THAT(Plot("PU0,0;PE" + Encoded(-400) + Encoded(800) + Encoded(-1) + Encoded(0) + ";"),
              ElementsAre("4;0;0;-10;20", "4;-10;20;-10.025;20"));
  // ":" selects the pen by an encoded integer, kept within 1..15.
  for (auto [number, pen] : {std::pair{3L, 3}, {40L, 15}, {-2L, 1}}) {
    Plot("PE:" + Encoded(number) + ";");
    EXPECT_EQ(HpglPen, pen) << number;
  }
}

TEST_F(HpglTest, EndOfFile) {
  // The last byte closes a command; a parameter cut short stops its command.
  // clang-format off
  const std::pair<std::string, std::size_t> cases[] = {
      {"SP1;PU0,0;PD40,0;", 2}, {"SP1;PU0,0;PD40,0", 0},     {"SP1;PU0,0;PD40,", 0},
      {"SP1;PU0,0;PD40,0\r\n", 0}, {"SP1;PU0,0;LBabc", 0}, {"SP1;PU0,0;PE7a", 0},
      {"SP1;PU0,0;P", 0},       {"", 0}};
  // clang-format on
  for (const auto& [text, records] : cases) EXPECT_EQ(Plot(text).size(), records) << text;
}

TEST_F(HpglTest, MissingFileSetsTheAbortFlag) {
  PlotHpgl("/nonexistent/none.plt");
  EXPECT_EQ(std::tuple(AbortFlag, DisplayList.size()), std::tuple(1, 0u));
}

TEST_F(HpglTest, AllCommandsFileDrawsEveryKind) {
  SheetKind = 3;
  PlotHpgl(DataPath("tests/allcommands.plt"));
  std::map<std::string, int> records;  // by opcode
  for (const std::string& r : DisplayList) ++records[r.substr(0, r.find(';'))];
  // Lines: the frame's 4, one of pen 2, 3 of the encoded polyline.
  EXPECT_EQ(
      std::tuple(AbortFlag, SheetKind, records["4"], records["3"], records["5"], records["6"]),
      std::tuple(0, 0, 4 + 1 + 3, 1, 1, 2));
  EXPECT_THAT(DisplayList, ::testing::Contains("8;10"));  // pen 3 of the encoded polyline
}

// Damaged files end, whatever bytes they hold; the sanitizers watch every read.
TEST_F(HpglTest, SurvivesThousandMutations) {
  const std::string seeds[] = {FileBytes(DataPath("tests/allcommands.plt")),
                               FileBytes(DataPath("start.plt"))};
  std::mt19937 random(20240611);
  for (int i = 0; i < 1000; ++i) {
    std::string text = seeds[i % 2];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      const auto edit = random() % 4;
      if (edit == 0) text[at] = static_cast<char>(random() % 256);
      if (edit == 1) text.erase(at, 1 + random() % 16);
      if (edit == 2) text.insert(at, 1, static_cast<char>(random() % 256));
      if (edit == 3) text.resize(at);
    }
    DisplayList.clear();
    PlotHpglText(text);
    ASSERT_EQ(AbortFlag, 0);
    ASSERT_LE(DisplayList.size(), 3 * text.size() + 3);
  }
}

}  // namespace

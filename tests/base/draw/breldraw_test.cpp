#include "base/draw/breldraw.h"

#include <gmock/gmock.h>

#include <array>
#include <cmath>

#include "base/settings/brelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/utilmath.h"
#include "tests/base/drawwindow_fixture.h"

namespace {

using ::testing::ElementsAre;

TEST(PenToColorTest, MapsCadPensOntoWindowColours) {
  const std::pair<int, int> cases[] = {{0, 0},   {1, 12},  {2, 14},  {3, 10}, {4, 11},
                                       {5, 9},   {6, 13},  {7, 15},  {8, 1},  {15, 8},
                                       {16, 16}, {17, 12}, {255, 8}, {32, 0}};
  for (const auto& [pen, colour] : cases) {
    EXPECT_EQ(PenToColor(static_cast<std::uint8_t>(pen)), colour) << "pen " << pen;
  }
}

struct Arc {
  long double xc = -7, yc = -7, a1 = -7, a2 = -7, r = -7;
};

Arc ArcCenter(long double x1, long double y1, long double x2, long double y2, long double dphi,
              bool variantD = false) {
  Arc a;
  (variantD ? GetArcCenterD : GetArcCenter)(x1, y1, x2, y2, dphi, a.xc, a.yc, a.a1, a.a2, a.r);
  return a;
}

// Expects centre, start and end angle and radius.
void ExpectArc(const Arc& a, const std::array<long double, 5>& want) {
  const long double got[] = {a.xc, a.yc, a.a1, a.a2, a.r};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(double(got[i]), double(want[i]), 1e-12) << i;
}

TEST(GetArcCenterTest, ArcsThroughTwoPoints) {
  SqrtQuiet = 0;
  ExpectArc(ArcCenter(0, 0, 2, 0, Pi), {1, 0, Pi, 0, 1});
  ExpectArc(ArcCenter(0, 0, 2, 0, -Pi), {1, 0, 0, Pi, 1});
  ExpectArc(ArcCenter(0, 0, 0, 2, Pi / 2), {-1, 1, -Pi / 4, Pi / 4, std::sqrt(2.0L)});
  ExpectArc(ArcCenter(3, 4, 9, 9, 2 * Pi), {3, 4, 0, 0, 0});
  // The variant keeps a1 at the first point for either direction.
  ExpectArc(ArcCenter(0, 0, 2, 0, -Pi, true), {1, 0, Pi, 0, 1});
}

TEST(GetArcCenterTest, ZeroSweepLeavesTheOutputsAndReportsOnce) {
  const std::uint16_t before = MessageCount;
  SqrtQuiet = 1;
  ExpectArc(ArcCenter(0, 0, 2, 0, 0), {-7, -7, -7, -7, -7});
  EXPECT_EQ(MessageCount, before);
  SqrtQuiet = 0;
  ExpectArc(ArcCenter(0, 0, 2, 0, 0), {-7, -7, -7, -7, -7});
  ExpectArc(ArcCenter(0, 0, 2, 0, 0, true), {-7, -7, -7, -7, -7});
  EXPECT_EQ(MessageCount, before + 1);
  EXPECT_EQ(Messages[MessageCount].substr(0, 31), "Fehler in GetArcCenter (dphi = ");
}

TEST(CurrentFileNameTest, JoinsFolderNameAndExtension) {
  CurrentFile = "SHAFT";
  DataDir = "/work";
  FileExt = "kv6";
  ArchiveMode = 0;
  EXPECT_EQ(CurrentFileName(), "/work/SHAFT.kv6");
  // Dots belong to the name; only a "/" makes it the file itself.
  CurrentFile = "p3g.v2";
  EXPECT_EQ(CurrentFileName(), "/work/p3g.v2.kv6");
  CurrentFile = "/d/p3g.kv6";
  EXPECT_EQ(CurrentFileName(), "/d/p3g.kv6");
  CurrentFile = "SHAFT";
  ArchiveMode = 1;
  EXPECT_EQ(CurrentFileName(), "SHAFT");
  ArchiveMode = 0;
  CurrentFile = "";
  EXPECT_EQ(CurrentFileName(), "");
}

using FacadeTest = DrawWindowTest;

TEST_F(FacadeTest, RoutinesForwardToTheWindow) {
  drawer_.grHeader(0, 0, 160, 120);
  drawer_.grSetPenColor(1);
  drawer_.grLine(0, 0, 1, 1);
  drawer_.grCircle(1, 1, 1);
  drawer_.grArc(0, 0, 0, 90, 1, 90);
  drawer_.grSolid(0, 0, 1, 0, 1, 1, 0, 1);
  drawer_.grSetTextStyle(2, 0, 3.5L, 2.5L);
  drawer_.grOutTextXY(1, 2, "\x84");  // stored a-umlaut
  drawer_.grSetLineStyle(1);
  EXPECT_THAT(DisplayList,
              ElementsAre("10;1;1;639;479;0;0;160;120", "11;0", "8;12", "4;0;0;1;1", "3;1;1;1",
                          ::testing::StartsWith("5;-1;-1;1;1;1;0;"), "7;0;0;1;0;1;1;0;1",
                          "9;3.5;2.5;2;0", "6;1;2;" + ToDisplayText("\x84"), "11;1"));
  drawer_.grClear();
  EXPECT_TRUE(DisplayList.empty());
}

TEST_F(FacadeTest, CheckFileReportsAMissingFile) {
  AbortFlag = 0;
  drawer_.grCheckFile("/nonexistent/my file.plt");
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  drawer_.grCheckFile("/proc/self/status");
  EXPECT_EQ(AbortFlag, 0);
}

}  // namespace

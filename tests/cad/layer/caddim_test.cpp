// Dimensions: which tolerance texts are written where, arrow heads and their sides, extension
// lines.
#include <cmath>
#include <string>

#include "base/draw/hgvar.h"
#include "cad/layer/caddim.h"
#include "tests/cad/cadtest.h"

namespace {

using LD = long double;

class Dimensions : public RecordingCadTest {
 protected:
  void SetUp() override {
    RecordingCadTest::SetUp();
    cad_dim_scale(1);
    Recorded.clear();
  }
  // The texts after the dimension text, with their positions.
  std::vector<RecordedCall> Tolerances() const {
    std::vector<RecordedCall> texts = Calls("text");
    texts.erase(texts.begin());
    return texts;
  }
};

TEST_F(Dimensions, ToleranceTextsAndPlaces) {
  const LD y = 50;
  struct Case {
    std::string upper, lower;
    std::vector<std::pair<std::string, LD>> written;  // text and height above y
  };
  const std::vector<Case> cases = {
      {"0.021",
       "-0.021",
       {{"\xF1"
         "0.021",
         1.25L}}},
      // The sign of the caller's text stays after the plus-minus sign.
      {"+0.021", "-0.021", {{"\xF1+0.021", 1.25L}}},
      {"0", "-0.013", {{"-0.013", 0.5L}}},
      {"0.021", "0.008", {{"+0.008", 0.5L}, {"+0.021", 2.5L}}},
      // A text with its own plus sign gets no second one.
      {"+0.021", "+0.008", {{"+0.008", 0.5L}, {"+0.021", 2.5L}}},
      {"-0.005", "-0.030", {{"-0.030", 0.5L}, {"-0.005", 2.5L}}},
      {"k6", "", {{"k6", 2.5L}}},
      {"", "-0.1", {{"-0.1", 0.5L}}},
      {"", "", {}},
      {"x", "y", {}},  // not numbers: both read as 0
  };
  for (const Case& c : cases) {
    Recorded.clear();
    cad_dim_h_line("40", c.upper, c.lower, 0, 100, y);
    std::vector<RecordedCall> written = Tolerances();
    ASSERT_EQ(written.size(), c.written.size()) << c.upper << " " << c.lower;
    for (std::size_t i = 0; i < written.size(); ++i) {
      EXPECT_EQ(written[i].text, c.written[i].first);
      EXPECT_NEAR(static_cast<double>(written[i].values[1]),
                  static_cast<double>(y + c.written[i].second), 1e-12);
    }
  }
}

TEST_F(Dimensions, HorizontalLineTextAndArrows) {
  cad_dim_scale(2);
  cad_dim_h_line("40", "0.021", "0.008", 100, 0, 10);
  auto texts = Calls("text");
  ASSERT_EQ(texts.size(), 3u);
  // Dimension style 7 high and 5 wide, tolerance style 5 high and 3.6 wide.
  const LD f = 2, wide = 5.0L / 7, narrow = 3.6L / 5;
  LD total = 2 * 2.5L * CadTextFactor * f * 1.2L + (5 + 1) * 1.8L * wide * f * 1.1L;
  LD tx = 50 - total / 2;
  ExpectValues(texts[0], {tx, 10 + f});
  ExpectValues(texts[1], {tx + 3 * 2.5L * narrow * f * 1.2L, 10 + 0.5L * f});
  EXPECT_NEAR(static_cast<double>(TextHeight), 5, 1e-12);  // left at the tolerance style
  auto lines = Calls("line");
  ASSERT_EQ(lines.size(), 3u);
  ExpectValues(lines[0], {0, 10, 100, 10});
  // The heads point inwards: tip, flank, flank, the point on the axis at 3.5 F.
  auto solids = Calls("solid");
  ASSERT_EQ(solids.size(), 2u);
  const LD l = 7, c = l * std::cos(10 * M_PIl / 180), s = l * std::sin(10 * M_PIl / 180);
  ExpectValues(solids[0], {0, 10, c, 10 + s, c, 10 - s, l, 10});
  ExpectValues(solids[1], {100, 10, 100 - c, 10 - s, 100 - c, 10 + s, 100 - l, 10});
  ExpectValues(lines[1], {0, 10, l, 10});
}

TEST_F(Dimensions, ShortDimensionHasItsArrowsOutside) {
  cad_dim_h_line("8", "", "", 0, 8, 0);
  auto solids = Calls("solid");
  ASSERT_EQ(solids.size(), 2u);
  ExpectValues(solids[0], {8, 0});
  EXPECT_GT(solids[0].values[6], 8);  // opens towards +x, away from the distance
  ExpectValues(solids[1], {0, 0});
  EXPECT_LT(solids[1].values[6], 0);
  Recorded.clear();
  cad_dim_h_line("11", "", "", 11, 0, 0);  // longer than 10 F: inside
  EXPECT_EQ(Calls("solid")[0].values[0], 0);
  EXPECT_GT(Calls("solid")[0].values[6], 0);
}

TEST_F(Dimensions, FileTargetsIgnoreTheScreenTextFactor) {
  GraphicsTextWidthFactor = 0.5L;
  cad_dim_h_line("40", "", "", 0, 100, 0);
  GraphicsTextWidthFactor = 2;
  cad_dim_h_line("40", "", "", 0, 100, 0);
  auto texts = Calls("text");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].values[0], texts[1].values[0]);
}

TEST_F(Dimensions, VerticalLine) {
  cad_dim_v_line("40", "0.021", "-0.021", 0, 100, 20);
  auto texts = Calls("text");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(TextAngle, 90);
  const LD wide = 2.5L / 3.5L * CadTextFactor, narrow = 1.8L / 2.5L * CadTextFactor;
  LD total = 2 * 2.5L * wide * 1.2L + (6 + 1) * 1.8L * wide * 1.1L;
  LD ty = 50 - total / 2;
  ExpectValues(texts[0], {19, ty});
  ExpectValues(texts[1], {19, ty + 3 * 2.5L * narrow * 1.3L - 0.5L});
  ExpectValues(Calls("line")[0], {20, 0, 20, 100});
  auto solids = Calls("solid");
  ASSERT_EQ(solids.size(), 2u);
  EXPECT_GT(solids[0].values[7], 0);    // the head at y1 opens upwards
  EXPECT_LT(solids[1].values[7], 100);  // the one at y2 downwards
  Recorded.clear();
  cad_dim_v_line("1", "0.2", "0.1", 0, 100, 20);
  texts = Calls("text");
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_NEAR(static_cast<double>(texts[1].values[0]), 19.5, 1e-12);  // lower
  EXPECT_NEAR(static_cast<double>(texts[2].values[0]), 17.5, 1e-12);  // upper
}

TEST_F(Dimensions, ExtensionLinesOnLayerThree) {
  cad_layer(5);
  Recorded.clear();
  cad_dim_h("40", "", "", 0, 30, 100, 0, 30);  // y1 = yd: towards yd + F
  ASSERT_EQ(Recorded.front().op, "layer");
  EXPECT_EQ(Recorded.front().values[0], 3);
  auto lines = Calls("line");
  ExpectValues(lines[0], {0, 30, 0, 31});
  ExpectValues(lines[1], {100, 0, 100, 31});
  Recorded.clear();
  cad_dim_h("40", "", "", 0, 40, 100, 0, 30);  // only the first point decides the side
  ExpectValues(Calls("line")[1], {100, 0, 100, 29});
  Recorded.clear();
  cad_dim_v("40", "", "", 50, 0, 0, 100, 20);
  lines = Calls("line");
  ExpectValues(lines[0], {50, 0, 19, 0});
  ExpectValues(lines[1], {0, 100, 19, 100});
  ExpectValues(lines[2], {20, 0, 20, 100});
}

}  // namespace

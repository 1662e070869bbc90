// Drawing scales and the P3G contour: the scale series, the contour's geometry against its
// support function, both directions and the resolution limits.
#include "cad/drawings/p3gcontour.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "cad/drawings/drawscale.h"
#include "tests/cad/cadtest.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

TEST(DrawScale, RoundsDownToTheSeriesUnlessJustBelowTheNextStep) {
  const std::vector<std::pair<long double, long double>> cases = {
      {1, 1},     {10, 10},    {0.04L, 0.02L}, {0.8L, 0.5L},    {3.7L, 2},
      {9.5L, 5},  {4.995L, 5}, {9.9L, 10},     {80 / 77.4L, 1}, {0.0034L, 0.002L},
      {250, 200}, {1.97L, 1},  {1.99L, 2}};
  for (const auto& [s, expected] : cases) {
    EXPECT_NEAR(static_cast<double>(RoundScale(s) / expected), 1.0, 1e-15) << "s " << double(s);
  }
  constexpr long double kInf = std::numeric_limits<long double>::infinity();
  for (long double s : {std::numeric_limits<long double>::quiet_NaN(), kInf, -kInf, 0.0L, -1.0L}) {
    EXPECT_EQ(RoundScale(s), 1) << double(s);
  }
}

TEST(DrawScale, ScaleTextNamesTheLargerSideFirst) {
  EXPECT_EQ(ScaleText(1), "M 1:1");
  EXPECT_EQ(ScaleText(2), "M 2:1");
  EXPECT_EQ(ScaleText(0.5L), "M 1:2");
  EXPECT_EQ(ScaleText(0.02L), "M 1:50");
}

class Contour : public RecordingCadTest {
 protected:
  void SetUp() override {
    RecordingCadTest::SetUp();
    PolylineMode = 1;
  }
  // The vertices of one polyline contour.
  static std::vector<CadPoint> Vertices(std::int32_t resolution, long double d, long double e,
                                        bool reverse = false) {
    Recorded.clear();
    DrawP3GContour(3, true, resolution, d, e, reverse);
    std::vector<CadPoint> points;
    for (const RecordedCall& c : Calls("vertex")) points.push_back({c.values[0], c.values[1]});
    return points;
  }
};

struct ContourCase {
  long double d;
  long double e;
};

TEST_F(Contour, PointsLieOnTheSupportFunctionWithConstantWidth) {
  constexpr std::int32_t kRes = 360;
  // d 40, e 1, and the example connection's P3G 60 drawing (d1graf 60, e1 2.25).
  for (ContourCase c : {ContourCase{40, 1}, ContourCase{60, 2.25L}}) {
    std::vector<CadPoint> p = Vertices(kRes, c.d, c.e);
    ASSERT_EQ(p.size(), 2u * kRes + 1);
    EXPECT_EQ(Calls("polyline_begin").size(), 1u);
    EXPECT_EQ(Calls("polyline_end").size(), 1u);
    EXPECT_EQ(Calls("layer").at(0).values[0], 5);
    const double tolerance = 1e-12 * static_cast<double>(c.d);
    EXPECT_EQ(p.front().x, c.d / 2 - c.e);
    EXPECT_EQ(p.front().y, 0);
    EXPECT_EQ(p.back().x, p.front().x);
    EXPECT_EQ(p.back().y, p.front().y);
    const CadPoint at60 = p[kRes / 3];
    EXPECT_NEAR(static_cast<double>(std::hypot(at60.x, at60.y)), static_cast<double>(c.d / 2 + c.e),
                tolerance);
    EXPECT_NEAR(static_cast<double>(std::atan2(at60.y, at60.x)), std::numbers::pi / 3, 1e-15);
    for (std::size_t i = 0; i < p.size(); ++i) {
      const long double phi = static_cast<long double>(i) * kPi / kRes;
      const long double h = c.d / 2 - c.e * std::cos(3 * phi);
      const long double along = p[i].x * std::cos(phi) + p[i].y * std::sin(phi);
      ASSERT_NEAR(static_cast<double>(along), static_cast<double>(h), tolerance) << i;
      if (i >= kRes) continue;
      const long double width =
          (p[i].x - p[i + kRes].x) * std::cos(phi) + (p[i].y - p[i + kRes].y) * std::sin(phi);
      ASSERT_NEAR(static_cast<double>(width), static_cast<double>(c.d), tolerance) << i;
    }
  }
}

TEST_F(Contour, ReverseVisitsTheSamePointsBackwards) {
  std::vector<CadPoint> forward = Vertices(90, 60, 2.25L);
  std::vector<CadPoint> backward = Vertices(90, 60, 2.25L, true);
  ASSERT_EQ(backward.size(), forward.size());
  for (std::size_t i = 0; i < forward.size(); ++i) {
    EXPECT_EQ(backward[i].x, forward[forward.size() - 1 - i].x) << i;
    EXPECT_EQ(backward[i].y, forward[forward.size() - 1 - i].y) << i;
  }
}

TEST_F(Contour, ResolutionBelowThreeLobesIsNinetyAndHugeOnesAreCapped) {
  EXPECT_EQ(Vertices(5, 40, 1).size(), 181u);
  EXPECT_EQ(Vertices(-1, 40, 1).size(), 181u);
  EXPECT_EQ(Vertices(9, 40, 1).size(), 19u);
  EXPECT_EQ(Vertices(1000000000, 40, 1).size(), 200001u);
}

TEST_F(Contour, DefaultsForLobesAndDiameter) {
  DrawP3GContour(0, true, 9, 0, 0.1L, false);
  std::vector<RecordedCall> v = Calls("vertex");
  ASSERT_EQ(v.size(), 19u);
  ExpectValues(v[0], {2, 0, 0});
  ExpectValues(v[3], {2.2L * std::cos(kPi / 3), 2.2L * std::sin(kPi / 3), 0});
}

TEST_F(Contour, LineElementIsOneMoveAndConnectedLines) {
  DrawP3GContour(3, false, 9, 40, 1, false);
  EXPECT_TRUE(Calls("vertex").empty());
  EXPECT_TRUE(Calls("polyline_begin").empty());
  std::vector<RecordedCall> lines = Calls("line");
  ASSERT_EQ(lines.size(), 19u);
  ExpectValues(lines[0], {19, 0, 19, 0});  // the zero-length first line
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].values[0], lines[i - 1].values[2]);
    EXPECT_EQ(lines[i].values[1], lines[i - 1].values[3]);
  }
  ExpectValues(lines.back(), {lines.back().values[0], lines.back().values[1], 19, 0});
}

}  // namespace

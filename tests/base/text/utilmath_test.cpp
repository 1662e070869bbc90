#include "base/text/utilmath.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/settings/brelvar.h"
#include "base/text/messages.h"
#include "tests/support/nearlong.h"

namespace {

constexpr long double kTolerance = 1e-15L;

TEST(UtilMath, AngleXYCoversMinusHalfPiToThreeHalfPi) {
  struct Case {
    long double x, y, angle;
  };
  const Case cases[] = {
      {1, 0, 0},   {0, 1, Pi / 2},       {0, 0, Pi / 2},   {0, -1, -Pi / 2},
      {-1, 0, Pi}, {-1, -1, 5 * Pi / 4}, {1, -1, -Pi / 4}, {-1, 1, 3 * Pi / 4},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR_LONG(AngleXY(c.x, c.y), c.angle, kTolerance) << c.x << "," << c.y;
    EXPECT_NEAR_LONG(ArcTan2(c.y, c.x), c.angle, kTolerance);
  }
}

TEST(UtilMath, SweepAngleIsCounterClockwiseOrNegativeClockwise) {
  struct Case {
    long double start, end, dir, sweep;
  };
  const Case cases[] = {
      {350, 10, 1, 20}, {10, 350, -1, -20}, {10, 350, 1, 340},  {350, 10, -1, -340},
      {90, 90, 1, 0},   {0, 360, 1, 0},     {0, 180, -1, -180}, {45, 90, 0, 45},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR_LONG(SweepAngle(c.start, c.end, c.dir), c.sweep, 1e-12L)
        << c.start << " " << c.end << " " << c.dir;
  }
}

TEST(UtilMath, IntPowerTakesTheExponentFirst) {
  EXPECT_EQ(std::tuple(IntPower(-2, 2), IntPower(0, 7), IntPower(4, 3), IntPower(3, -2),
                       IntPower(1, 0.5L)),
            std::tuple(0.25L, 1.0L, 81.0L, -8.0L, 0.5L));
}

TEST(UtilMath, DecimalExponentAndFloorOf) {
  const std::pair<long double, int> cases[] = {
      {0, 0}, {0.05L, -2}, {999, 2}, {1000, 3}, {-1000, 3}, {1, 0}, {0.5L, -1}, {12.5L, 1},
  };
  for (const auto& [x, e] : cases) EXPECT_EQ(DecimalExponent(x), e) << x;
  EXPECT_EQ(std::tuple(FloorOf(-2), FloorOf(-1.5L), FloorOf(2.9L), Log10(0), Log10(-5)),
            std::tuple(-3, -2, 2, 0, 0));
}

TEST(UtilMath, CheckedSqrtReportsNegativeValuesOnce) {
  FreeMessages();
  ClearMessages();
  SqrtQuiet = 0;
  EXPECT_EQ(CheckedSqrt("smin", 16), 4);
  EXPECT_EQ(CheckedSqrt("smin", 0), 0);
  EXPECT_EQ(MessageCount, 0);
  EXPECT_EQ(CheckedSqrt("smin", -1), 0);
  EXPECT_EQ(CheckedSqrt("smin", -1), 0);
  EXPECT_EQ(CheckedSqrt("", -1), 0);
  ASSERT_EQ(MessageCount, 1);
  EXPECT_EQ(Messages[1], "smin (sqrt)");
  SqrtQuiet = 1;
  EXPECT_EQ(CheckedSqrt("s1min", -1), 0);
  SqrtQuiet = 0;
  EXPECT_EQ(MessageCount, 1);
}

TEST(UtilMath, PlaneTransforms) {
  long double x = 0, y = 0;
  RotateXY(1, 0, Pi / 2, x, y);
  EXPECT_NEAR_LONG(x, 0, kTolerance);
  EXPECT_NEAR_LONG(y, 1, kTolerance);
  InsertXY(2, 3, 10, 20, 90, 1, 1, x, y);  // scaled (2, 3), turned to (-3, 2), moved
  EXPECT_NEAR_LONG(x, 7, 1e-12L);
  EXPECT_NEAR_LONG(y, 22, 1e-12L);
  long double r = 0, phi = 0;
  XYToPolar(-3, 4, r, phi);
  EXPECT_EQ(r, 5);
  PolarToXY(r, phi, x, y);
  EXPECT_NEAR_LONG(x, -3, 1e-12L);
  EXPECT_NEAR_LONG(y, 4, 1e-12L);
  EXPECT_NEAR_LONG(RadToDeg(DegToRad(33)), 33, 1e-15L);
}

}  // namespace

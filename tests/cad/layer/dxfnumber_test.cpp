// The DXF number texts against the program's own fixed-point text, whose results they must give
// byte for byte: over every magnitude, the rounding edges, signs, zeros and non-finite values.
#include "cad/layer/dxfnumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "base/text/numbertext.h"

namespace {

// Counts the mismatches and shows the first few.
class Comparison {
 public:
  void Check(long double x, int decimals) {
    const std::string expected = FixedPointText(x, decimals);
    const std::string text = dxf_number_text(x, x, decimals);
    if (text == expected) return;
    if (++mismatches_ <= 10) {
      ADD_FAILURE() << "decimals " << decimals << ": " << text << " instead of " << expected << " ("
                    << static_cast<double>(x) << ")";
    }
  }
  void CheckAllDecimals(long double x) {
    for (int decimals = 0; decimals <= 32; ++decimals) Check(x, decimals);
  }
  int Mismatches() const { return mismatches_; }

 private:
  int mismatches_ = 0;
};

long double Pow10(int n) {
  long double p = 1;
  for (int i = 0; i < std::abs(n); ++i) p *= 10;
  return n < 0 ? 1 / p : p;
}

TEST(DxfNumberText, ZerosTinyHugeAndNonFiniteValues) {
  const long double inf = std::numeric_limits<long double>::infinity();
  Comparison c;
  for (long double x : {0.0L, -0.0L, 1e-15L, -1e-15L, 0.99e-15L, 1e-16L, 1e-300L, LDBL_MIN,
                        LDBL_TRUE_MIN, 1e17L, 1e18L, -1e18L, 1e25L, 1e300L, LDBL_MAX, -LDBL_MAX,
                        inf, -inf, std::numeric_limits<long double>::quiet_NaN()}) {
    c.CheckAllDecimals(x);
    c.CheckAllDecimals(std::nextafter(x, 0.0L));
  }
  for (int decimals : {-1, 33, 40, 80, 81}) c.Check(12.3456789L, decimals);
  EXPECT_EQ(c.Mismatches(), 0);
}

// Powers of ten and their neighbours, where the decade and the eighteen digits change.
TEST(DxfNumberText, AroundPowersOfTen) {
  Comparison c;
  for (int n = -17; n <= 19; ++n) {
    const long double p = Pow10(n);
    for (long double x : {p, std::nextafter(p, 0.0L), std::nextafter(p, 2 * p), p * 0.9999999L,
                          p * 9.9999999999999999L}) {
      c.CheckAllDecimals(x);
      c.CheckAllDecimals(-x);
    }
  }
  EXPECT_EQ(c.Mismatches(), 0);
}

// Halves at the last decimal (and their neighbours), which round away from zero, and nines
// that carry into one more integer digit.
TEST(DxfNumberText, RoundingEdges) {
  std::mt19937_64 random(32711);
  Comparison c;
  for (int i = 0; i < 4000; ++i) {
    const int decimals = static_cast<int>(random() % 12);
    const long double scale = Pow10(decimals + 1);
    const auto tenths = static_cast<long double>(random() % 100000000) * 10 + 5;
    for (long double x : {tenths / scale, (tenths + 4) / scale}) {
      for (long double y : {x, std::nextafter(x, 0.0L), std::nextafter(x, 2 * x)}) {
        c.Check(y, decimals);
        c.Check(-y, decimals);
      }
    }
  }
  for (long double x : {2.0005L, 2.675L, 0.0000005L, 9.9999995L, 99.9999995L, 0.5L, 1.5L, 0.05L,
                        999999999.9999995L}) {
    c.CheckAllDecimals(x);
    c.CheckAllDecimals(-x);
  }
  EXPECT_EQ(c.Mismatches(), 0);
}

// Random values of every magnitude a drawing or a damaged file can hold, in both signs.
TEST(DxfNumberText, RandomValuesOfEveryMagnitude) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  Comparison c;
  for (int i = 0; i < 60000; ++i) {
    const int exponent = static_cast<int>(random() % 44) - 22;
    long double x = static_cast<long double>(mantissa(random)) * Pow10(exponent);
    x += x * static_cast<long double>(mantissa(random)) * 1e-19L;  // digits beyond the double's
    if (random() % 2 == 0) x = -x;
    c.Check(x, static_cast<int>(random() % 17));
  }
  EXPECT_EQ(c.Mismatches(), 0);
}

}  // namespace

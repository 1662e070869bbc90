// Defaults of the CAD state, the dimension scale and the DXF number texts.
#include <gtest/gtest.h>

#include <cmath>

#include "cad/caddim.h"
#include "cad/cadvar.h"
#include "cad/dxfnumber.h"

namespace {

TEST(CadState, DimensionScale) {
  InitCadDefaults();
  DimArrowBase = 2;
  for (auto [f, factor] : {std::pair{0.0L, 1.0L}, {0.0004L, 1.0L}, {1.5L, 3.0L}, {-1.0L, -2.0L}}) {
    cad_dim_scale(f);
    EXPECT_EQ(DimArrowFactor, factor) << static_cast<double>(f);
  }
}

struct NumberCase {
  long double value, unscaled;
  int decimals;
  const char* text;
};

TEST(DxfNumbers, FixedPointAlwaysWithPoint) {
  const NumberCase cases[] = {
      {0, 0, 6, "0.000000"},
      {-0.5L, -0.5L, 6, "-0.500000"},
      {1234.5678L, 1234.5678L, 6, "1234.567800"},
      {1, 1000, 0, "   1"},
      {-1, -1000, 0, "  -1"},
      {-0.0000001L, 0, 6, "0.000000"},
      {2.0005L, 2.0005L, 3, "2.001"},
      {NAN, 1, 6, "0.000000"},
      {-INFINITY, 1, 2, "0.00"},
      {0.5L, 0.5L, 32, "0.50000000000000000000000000000000"},
      {1e25L, 1e25L, 1, "10000000000000000000000000.0"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(dxf_number_text(c.value, c.unscaled, c.decimals), c.text) << c.text;
  }
}

}  // namespace

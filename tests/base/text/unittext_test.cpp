#include "base/text/unittext.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "tests/support/nearlong.h"

namespace {

class UnitText : public testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    saved_ = DecimalSeparator;
    DecimalSeparator = ',';
  }
  void TearDown() override { DecimalSeparator = saved_; }

 private:
  char saved_ = '.';
};

// LengthText(25.4), LengthTextDec(2, 25.4), StressText(100), TorqueText(1000), AreaText(645.16),
// VolumeText(16387.064), InertiaText(416231.4256), then the six unit labels.
std::string AllUnitTexts() {
  std::string out;
  for (const std::string& text :
       {LengthText(25.4L), LengthTextDec(2, 25.4L), StressText(100), TorqueText(1000),
        AreaText(645.16L), VolumeText(16387.064L), InertiaText(416231.4256L), LengthUnitLabel(),
        StressUnitLabel(), TorqueUnitLabel(), AreaUnitLabel(), VolumeUnitLabel(),
        InertiaUnitLabel()}) {
    out += text + " ";
  }
  return out;
}

TEST_F(UnitText, ValuesAndLabelsInAllFiveUnitSystems) {
  const char* const metric = "25,4 25,40 100 1000 645,2 16,39E3 416231 mm ";
  const std::string expected[] = {
      std::string(metric) + "MPa Nm mm\xFD mm\xFC mm4 ",
      "1,0000 1,000 14504 8851 1 1 1 in psi lbfin in\xFD in\xFC in4 ",
      std::string(metric) + "MPa Nm mm\xFD mm\xFC mm4 ",
      std::string(metric) + "N/mm\xFD Nm mm\xFD mm\xFC mm4 ",
      std::string(metric) + "N/mm\xFD Nm mm\xFD mm\xFC mm4 ",
  };
  for (std::uint16_t system = 0; system <= 4; ++system) {
    UnitSystem = system;
    EXPECT_EQ(AllUnitTexts(), expected[system]) << system;
  }
}

TEST_F(UnitText, PlainDigitsInLabelsWhenTransliterating) {
  TextCharMode = 1;
  EXPECT_EQ(AreaUnitLabel() + VolumeUnitLabel() + StressUnitLabel(), "mm2mm3MPa");
  UnitSystem = 4;
  EXPECT_EQ(StressUnitLabel(), "N/mm\xFD");
  UnitSystem = 1;
  EXPECT_EQ(AreaUnitLabel() + VolumeUnitLabel() + InertiaUnitLabel(), "in2in3in4");
}

TEST_F(UnitText, FixedTextsShiftDigitsInImperial) {
  const auto fixed = [] {
    return std::tuple(LengthTextFixed(3, 2, 50.8L), LengthTextFixed(1, 1, 25.4L),
                      StressTextFixed(3, 2, 100), TorqueTextFixed(3, 2, 1));
  };
  EXPECT_EQ(fixed(), std::tuple(" 50,80", "25,0", "100,00", "  1,00"));
  UnitSystem = 1;
  EXPECT_EQ(fixed(), std::tuple(" 2,000", "1,00", "14504", "   8,9"));
  EXPECT_EQ(TorqueValue(0.112984788L), 1);
}

TEST_F(UnitText, ImperialValuesReadBackToTheHeldUnits) {
  UnitSystem = 1;
  EXPECT_EQ(std::tuple(TextToLength("1"), TextToStress("145,037"), TextToTorque("1")),
            std::tuple(25.4L, 1.0L, 0.112984788L));
  for (long double mm : {25.4L, 12.7L, 100.0L, 3.175L}) {
    EXPECT_NEAR_LONG(TextToLength(LengthText(mm)), mm, 1e-3L) << mm;
  }
  UnitSystem = 2;
  EXPECT_EQ(std::pair(TextToLength("1"), TextToStress("x")), std::pair(1.0L, 0.0L));
}

}  // namespace

#include "base/unittext.h"

#include <gtest/gtest.h>

#include <string>

#include "base/brelvar.h"
#include "base/numbertext.h"
#include "base/wbrelvar.h"

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

struct SystemCase {
  std::uint16_t system;
  const char* length;     // LengthText(25.4)
  const char* lengthDec;  // LengthTextDec(2, 25.4)
  const char* stress;     // StressText(100)
  const char* torque;     // TorqueText(1000)
  const char* area;       // AreaText(645.16)
  const char* volume;     // VolumeText(16387.064)
  const char* inertia;    // InertiaText(416231.4256)
  const char* labels;     // length stress torque area volume inertia
};

TEST_F(UnitText, ValuesAndLabelsInAllFiveUnitSystems) {
  const SystemCase cases[] = {
      {0, "25,4", "25,40", "100", "1000", "645,2", "16,39E3", "416231",
       "mm MPa Nm mm\xFD mm\xFC mm4"},
      {1, "1,0000", "1,000", "14504", "8851", "1", "1", "1", "in psi lbfin in\xFD in\xFC in4"},
      {2, "25,4", "25,40", "100", "1000", "645,2", "16,39E3", "416231",
       "mm MPa Nm mm\xFD mm\xFC mm4"},
      {3, "25,4", "25,40", "100", "1000", "645,2", "16,39E3", "416231",
       "mm N/mm\xFD Nm mm\xFD mm\xFC mm4"},
      {4, "25,4", "25,40", "100", "1000", "645,2", "16,39E3", "416231",
       "mm N/mm\xFD Nm mm\xFD mm\xFC mm4"},
  };
  for (const SystemCase& c : cases) {
    UnitSystem = c.system;
    EXPECT_EQ(LengthText(25.4L), c.length) << c.system;
    EXPECT_EQ(LengthTextDec(2, 25.4L), c.lengthDec) << c.system;
    EXPECT_EQ(StressText(100), c.stress) << c.system;
    EXPECT_EQ(TorqueText(1000), c.torque) << c.system;
    EXPECT_EQ(AreaText(645.16L), c.area) << c.system;
    EXPECT_EQ(VolumeText(16387.064L), c.volume) << c.system;
    EXPECT_EQ(InertiaText(416231.4256L), c.inertia) << c.system;
    EXPECT_EQ(LengthUnitLabel() + " " + StressUnitLabel() + " " + TorqueUnitLabel() + " " +
                  AreaUnitLabel() + " " + VolumeUnitLabel() + " " + InertiaUnitLabel(),
              c.labels)
        << c.system;
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
  EXPECT_EQ(LengthTextFixed(3, 2, 50.8L), " 50,80");
  EXPECT_EQ(StressTextFixed(3, 2, 100), "100,00");
  EXPECT_EQ(TorqueTextFixed(3, 2, 1), "  1,00");
  UnitSystem = 1;
  EXPECT_EQ(LengthTextFixed(3, 2, 50.8L), " 2,000");
  EXPECT_EQ(LengthTextFixed(1, 1, 25.4L), "1,00");
  EXPECT_EQ(StressTextFixed(3, 2, 100), "14504");
  EXPECT_EQ(TorqueTextFixed(3, 2, 1), "   8,9");
  EXPECT_EQ(TorqueValue(0.112984788L), 1);
}

TEST_F(UnitText, ImperialValuesReadBackToTheHeldUnits) {
  UnitSystem = 1;
  EXPECT_EQ(TextToLength("1"), 25.4L);
  EXPECT_EQ(TextToStress("145,037"), 1);
  EXPECT_EQ(TextToTorque("1"), 0.112984788L);
  const long double lengths[] = {25.4L, 12.7L, 100, 3.175L};
  for (long double mm : lengths) EXPECT_NEAR(TextToLength(LengthText(mm)), mm, 1e-3L) << mm;
  UnitSystem = 2;
  EXPECT_EQ(TextToLength("1"), 1);
  EXPECT_EQ(TextToStress("x"), 0);
}

}  // namespace

#include "tables/modules/exprdates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tables/core/tzdate.h"

namespace dadav {
namespace {

struct DateSettings : ::testing::Test {
  void SetUp() override {
    CenturyBase = 1950;
    CenturyOn = false;
    SetDateFormat(0);
  }
  void TearDown() override {
    CenturyOn = false;
    SetDateFormat(0);
  }
};

using JulianDays = DateSettings;

TEST_F(JulianDays, EveryDayOfTheCalendarAgreesWithChrono) {
  using namespace std::chrono;
  const sys_days first = year{1} / January / 1;
  const sys_days last = year{9999} / December / 31;
  for (sys_days d = first; d <= last; d += days{1}) {
    const year_month_day ymd{d};
    const auto expected = static_cast<double>(d.time_since_epoch().count() + 2440588);
    const auto y = static_cast<int>(ymd.year());
    const auto m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const auto day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    ASSERT_EQ(YmdToJulian(y, m, day), expected) << y << "-" << m << "-" << day;
    const CivilDate back = JulianToCivil(expected);
    ASSERT_EQ(std::tuple(back.year, back.month, back.day), std::tuple(y, m, day)) << expected;
    ASSERT_EQ(JulianDayOfWeek(expected), static_cast<int>(weekday{d}.c_encoding()) + 1) << expected;
  }
}

TEST_F(JulianDays, RangeEndsAndBlanks) {
  EXPECT_EQ(JulianToDtos(1721426), "00010101");
  EXPECT_EQ(JulianToDtos(5373484), "99991231");
  EXPECT_EQ(JulianToDtos(5373485), "        ");
  EXPECT_EQ(JulianToDtos(1721425), "        ");
  EXPECT_EQ(JulianToDtos(0), "        ");
  EXPECT_EQ(JulianToDtoc(1721425), "  /  /  ");
  EXPECT_EQ(JulianDayOfWeek(0), 0);
  EXPECT_EQ(DtosToJulian("        "), 0);
  EXPECT_EQ(DtosToJulian("20000229"), YmdToJulian(2000, 2, 29));
  EXPECT_NE(DtosToJulian("20000229"), 0);
  EXPECT_EQ(DtosToJulian("19000229"), 0);
  EXPECT_EQ(DayOfYear(1900, 2, 29), -1);
  EXPECT_EQ(DtosToJulian("2000"), 0);
  EXPECT_EQ(DtosToJulian("00000101"), 0);
  EXPECT_EQ(DtosToJulian("2000X101"), 0);
}

TEST_F(JulianDays, DtocForEveryPictureWithAndWithoutCentury) {
  const double day = YmdToJulian(2000, 1, 2);
  const char* expected[2][9] = {
      {"01/02/00", "00.01.02", "02/01/00", "02-01-00", "02.01.00", "02.01.00", "02.01.00",
       "02.01.00", "02/01/00"},
      {"01/02/2000", "2000.01.02", "02/01/2000", "02-01-2000", "02.01.2000", "02.01.2000",
       "02.01.2000", "02.01.2000", "02/01/2000"}};
  const char* blank[2][9] = {{"  /  /  ", "  .  .  ", "  /  /  ", "  -  -  ", "  .  .  ",
                              "  .  .  ", "  .  .  ", "  .  .  ", "  /  /  "},
                             {"  /  /    ", "    .  .  ", "  /  /    ", "  -  -    ", "  .  .    ",
                              "  .  .    ", "  .  .    ", "  .  .    ", "  /  /    "}};
  for (int century = 0; century < 2; ++century) {
    CenturyOn = century == 1;
    for (std::uint8_t format = 0; format <= 8; ++format) {
      SetDateFormat(format);
      EXPECT_EQ(JulianToDtoc(day), expected[century][format]) << int(format) << century;
      EXPECT_EQ(JulianToDtoc(0), blank[century][format]) << int(format) << century;
      EXPECT_EQ(CtodToJulian(JulianToDtoc(day)), day) << int(format) << century;
    }
  }
}

TEST_F(JulianDays, DateTextsReadInTheActivePicture) {
  EXPECT_EQ(CtodToJulian("02/29/2001"), 0);
  EXPECT_EQ(CtodToJulian("02/29/2000"), YmdToJulian(2000, 2, 29));
  EXPECT_EQ(CtodToJulian("05/01/40"), YmdToJulian(2040, 5, 1));
  EXPECT_EQ(CtodToJulian("05/01/60"), YmdToJulian(1960, 5, 1));
  EXPECT_EQ(CtodToJulian("  /  /  "), 0);
  EXPECT_EQ(DateTextToDtos("  /  /  "), "        ");
  EXPECT_EQ(DateTextToDtos("12/31/1999"), "19991231");
  SetDateFormat(5);
  EXPECT_EQ(DateTextToDtos("31.12.1999"), "19991231");
  EXPECT_EQ(CtodToJulian("garbage"), 0);
}

}  // namespace
}  // namespace dadav

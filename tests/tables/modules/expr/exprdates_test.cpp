#include "tables/modules/expr/exprdates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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

// Every month and day number 00..99 of years around the leap rules, and texts with blanks and
// other characters: the day number agrees with the calendar, and the stored text DTOS gives
// agrees with the round trip through the day number.
TEST_F(JulianDays, StoredTextsAgreeWithTheCalendarAndTheRoundTrip) {
  using namespace std::chrono;
  std::vector<std::string> texts = {"        ",
                                    "2000022 ",
                                    " 2000229",
                                    "2000-2-9",
                                    "2000022X",
                                    "200002",
                                    "20000229xyz",
                                    std::string("2000\0"
                                                "229",
                                                8)};
  for (const char* y :
       {"0000", "0001", "0004", "0100", "1600", "1900", "2000", "2023", "2024", "9999"}) {
    for (int m = 0; m < 100; ++m) {
      for (int d = 0; d < 100; ++d) {
        char text[9];
        std::snprintf(text, sizeof text, "%s%02d%02d", y, m, d);
        texts.push_back(text);
      }
    }
  }
  for (const std::string& text : texts) {
    int y = 0;
    unsigned m = 0, d = 0;
    const bool digits = text.size() >= 8 &&
                        std::sscanf(text.c_str(), "%4d%2u%2u", &y, &m, &d) == 3 &&
                        text.find_first_not_of("0123456789") >= 8;
    const year_month_day date{year{y}, month{m}, day{d}};
    const double expected =
        digits && y >= 1 && date.ok()
            ? static_cast<double>(sys_days(date).time_since_epoch().count() + 2440588)
            : 0;
    ASSERT_EQ(DtosToJulian(text), expected) << text;
    ASSERT_EQ(StoredDtos(text), JulianToDtos(DtosToJulian(text))) << text;
  }
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

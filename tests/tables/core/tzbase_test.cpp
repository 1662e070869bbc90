#include <gtest/gtest.h>
#include <stdlib.h>

#include "enginetest.h"
#include "tables/core/tzdate.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"

namespace {

using namespace dadav;

TEST(Numbers, CleanNumberAndValRealFollowTheDecimalChar) {
  struct Case {
    char decimal;
    const char* text;
    const char* clean;
    long double value;
  } cases[] = {
      {',', "-1.234,5", "-1234.5", -1234.5L}, {'.', "-1,234.5", "-1234.5", -1234.5L},
      {'.', " $+12.50 kg", "12.50", 12.5L},   {',', "- ,5", "-0.5", -0.5L},
      {'.', "abc", "", 0},                    {'.', "7.", "7", 7},
      {'.', "- - ", "", 0},                   {',', "3,5", "3.5", 3.5L},
  };
  for (const Case& c : cases) {
    DecimalChar = c.decimal;
    std::string text = c.text;
    CleanNumber(text);
    EXPECT_EQ(text, c.clean) << c.text;
    EXPECT_EQ(ValReal(c.text), c.value) << c.text;
  }
  DecimalChar = '.';
  EXPECT_EQ(ValShortInt("40000"), 32767);
  EXPECT_EQ(ValShortInt(" +1,234"), 1234);
  EXPECT_EQ(ValLong("12.9"), 12);
}

TEST(Numbers, FieldFormatterRoundsHalfAwayAndNeverUsesTheLocale) {
  struct Case {
    double value;
    int width, decimals;
    const char* text;
  } cases[] = {
      {0.125, 5, 2, " 0.13"}, {-0.125, 5, 2, "-0.13"}, {-0.001, 5, 2, " 0.00"},
      {3.5, 8, 2, "    3.50"}, {2.675, 6, 2, "  2.67"},
      {1e15, 20, 2, " 1000000000000000.00"}, {0.5, 3, 0, "  1"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFieldReal(c.value, c.width, c.decimals), c.text) << c.value;
  EXPECT_EQ(FormatFieldInt(123456, 5), "*****");
  DecimalChar = ',';
  EXPECT_EQ(StrDec(8, 2, 3.5L), "    3,50");
  DecimalChar = '.';
}

TEST(Text, OccursAtNthAndCase) {
  EXPECT_EQ(Occurs("a", "banana"), 3);
  EXPECT_EQ(Occurs("ana", "banana"), 1);
  struct Case {
    int nth;
    const char* sought;
    int at;
  } cases[] = {{-1, "a", 6}, {2, "an", 4}, {2, "ana", 4}, {0, "a", 0}, {4, "a", 0}};
  for (const Case& c : cases) EXPECT_EQ(AtNth(c.nth, c.sought, "banana"), c.at) << c.nth << c.sought;
  EXPECT_EQ(UpperStr("gu\xDF" "eisen \xE4\xF6\xFC\xFF"), "GU\xDF" "EISEN \xC4\xD6\xDC\x9F");
  EXPECT_TRUE(IsAlpha("\xE9t\xE9"));
  EXPECT_FALSE(IsAlpha("1a"));
}

TEST(Text, ExtractOptionMatchesWholeWordsAndKeepsCase) {
  struct Case {
    const char* keyword;
    const char* command;
    bool found;
    const char* rest;
  } cases[] = {
      {" EXCLUSIVE", "use parts exclusive alias p", true, "use parts alias p"},
      {" EXCLUSIVE", "Data/Parts.dbf EXCLUSIVE", true, "Data/Parts.dbf"},
      {" UNIQUE", "index on x to y UNIQUE2", false, "index on x to y UNIQUE2"},
      {" UNIQUE", "x unique_a unique", true, "x unique_a"},
      {" EXCLUSIVE", "a exclusive\\b", false, "a exclusive\\b"},
  };
  for (const Case& c : cases) {
    std::string command = c.command;
    EXPECT_EQ(ExtractOption(c.keyword, command), c.found) << c.command;
    EXPECT_EQ(command, c.rest);
  }
}

TEST(Text, CodePageRoundTripKeepsEveryByte) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(OemToStr(StrToOem(all)), all);
  EXPECT_EQ(StrToOem(OemToStr(all)), all);
  EXPECT_EQ(OemToStr("\xE1"), "\xDF");  // sharp s
}

TEST(Dates, CenturyWindowAndValidation) {
  CenturyBase = 1956;
  CenturyOn = false;
  SetDateFormat(0);
  EXPECT_EQ(DateToDtos("01/01/55"), "20550101");
  EXPECT_EQ(DateToDtos("01/01/56"), "19560101");
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {{"02/29/1900", false}, {"02/29/2000", true}, {"04/31/99", false},
               {"13/01/99", false},   {"02/29/56", true},   {"  /  /  ", true},
               {"1x/01/99", false},   {"12/31/99", true}};
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ValidDate(text), c.valid) << c.text;
  }
}

TEST(Dates, PicturesReorderAndSeparate) {
  CenturyOn = false;
  CenturyBase = 1956;
  struct Case {
    std::uint8_t picture;
    const char* shown;
    const char* format;
  } cases[] = {{0, "12/24/99", "MM/dd/yy"}, {1, "99.12.24", "yy.MM.dd"}, {2, "24/12/99", "dd/MM/yy"},
               {3, "24-12-99", "dd-MM-yy"}, {4, "24.12.99", "dd.MM.yy"}, {5, "24.12.99", "dd.MM.yy"},
               {6, "24.12.99", "dd.MM.yy"}, {7, "24.12.99", "dd.MM.yy"}, {8, "24.12.99", "dd.MM.yy"}};
  for (const Case& c : cases) {
    SetDateFormat(c.picture);
    std::string text = "12/24/99";
    ToDatePicture(text);
    EXPECT_EQ(text, c.shown) << int(c.picture);
    EXPECT_EQ(ShortDateFormat, c.format);
    EXPECT_EQ(NormalizeDate(c.shown), "12/24/99");
    EXPECT_EQ(DtosToDate("19991224"), c.shown);
  }
  SetDateFormat(9);
  EXPECT_EQ(DateFormat, 0);
  EXPECT_EQ(DayOfWeek("03/15/2026"), 1);
  EXPECT_EQ(DayOfWeek("03/14/2026"), 7);
  SetDateFormat(5);
  EXPECT_EQ(CDow("15.03.26"), "Sonntag   ");
  EXPECT_EQ(CMonth("15.03.26"), "M\xE4rz     ");
}

TEST(Dates, CountryFromLocale) {
  struct Case {
    const char* locale;
    std::uint8_t country;
    char decimal;
  } cases[] = {{"de_DE.UTF-8", 5, ','}, {"en_GB.UTF-8", 2, '.'}, {"en_US", 0, '.'},
               {"fr_CA.UTF-8", 7, '.'}, {"C", 0, '.'},           {"ru_RU", 8, '.'}};
  const char* oldAll = std::getenv("LC_ALL");
  std::string saved = oldAll != nullptr ? oldAll : "";
  for (const Case& c : cases) {
    setenv("LC_ALL", c.locale, 1);
    InitCountry();
    EXPECT_EQ(CountryCode, c.country) << c.locale;
    EXPECT_EQ(DecimalChar, c.decimal) << c.locale;
  }
  if (oldAll != nullptr) setenv("LC_ALL", saved.c_str(), 1); else unsetenv("LC_ALL");
}

}  // namespace

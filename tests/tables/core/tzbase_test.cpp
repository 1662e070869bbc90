#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "enginetest.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tznumber.h"
#include "tables/core/tztext.h"
#include "tests/support/scopedvariable.h"

namespace {

using namespace dadav;

TEST(Numbers, CleanNumberAndValRealFollowTheDecimalChar) {
  const std::tuple<char, const char*, const char*, long double> cases[] = {
      {',', "-1.234,5", "-1234.5", -1234.5L},
      {'.', "-1,234.5", "-1234.5", -1234.5L},
      {'.', " $+12.50 kg", "12.50", 12.5L},
      {',', "- ,5", "-0.5", -0.5L},
      {'.', "abc", "", 0},
      {'.', "7.", "7", 7},
      {'.', "- - ", "", 0},
      {',', "3,5", "3.5", 3.5L},
  };
  for (const auto& [decimal, text, clean, value] : cases) {
    DecimalChar = decimal;
    std::string cleaned = text;
    CleanNumber(cleaned);
    EXPECT_EQ(cleaned, clean) << text;
    EXPECT_EQ(ValReal(text), value) << text;
  }
  DecimalChar = '.';
  EXPECT_EQ(std::tuple(ValShortInt("40000"), ValShortInt(" +1,234"), ValLong("12.9")),
            std::tuple(32767, 1234, 12));
}

TEST(Numbers, FieldFormatterRoundsHalfAwayAndNeverUsesTheLocale) {
  const std::tuple<double, int, int, const char*> cases[] = {
      {0.125, 5, 2, " 0.13"},  {-0.125, 5, 2, "-0.13"}, {-0.001, 5, 2, " 0.00"},
      {3.5, 8, 2, "    3.50"}, {2.675, 6, 2, "  2.67"}, {1e15, 20, 2, " 1000000000000000.00"},
      {0.5, 3, 0, "  1"},
  };
  for (const auto& [value, width, decimals, text] : cases) {
    EXPECT_EQ(FormatFieldReal(value, width, decimals), text) << value;
  }
  EXPECT_EQ(FormatFieldInt(123456, 5), "*****");
  DecimalChar = ',';
  EXPECT_EQ(StrDec(8, 2, 3.5L), "    3,50");
  DecimalChar = '.';
}

// The formatter's short way for everyday numbers gives what the general rule gives, halves and
// values a hair beside them included.
TEST(Numbers, FieldFormatterAgreesWithTheGeneralRule) {
  std::mt19937_64 random(7);
  std::vector<double> values = {0.005, 0.015,  1.005, 2.675,       -2.675, 1e12, 999999999999.995,
                                -0.0,  1e-300, 0.045, 123.4549999, 5e-5};
  for (int i = 0; i < 20000; ++i) {
    const auto cents = static_cast<std::int64_t>(random() % 2000000000) - 1000000000;
    const double scale[] = {1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 7e-3};
    values.push_back(static_cast<double>(cents) * scale[i % 6]);
    values.push_back(std::nextafter(values.back(), i % 2 == 0 ? 1e300 : -1e300));
  }
  for (const double value : values) {
    for (int decimals = 0; decimals <= 5; ++decimals) {
      const std::string general = FixedText(value, decimals);
      ASSERT_EQ(FormatFieldReal(value, 24, decimals),
                std::string(24 - general.size(), ' ') + general)
          << value << " " << decimals;
    }
  }
}

// A field written in place is the general rule's text fitted to the field, a row of "*" when
// too long for it, and reads back as the general parser reads it.
TEST(Numbers, FieldWrittenInPlaceIsTheFittedGeneralTextAndReadsBackTheSame) {
  std::mt19937_64 random(13);
  std::vector<double> values = {0.0,       -0.0, 4.9e-324, 0.004, -0.005, 99.995,     999999.99,
                                -99999.99, 1e11, 5e11,     -1e12, 0.25,   1234567.125};
  for (int i = 0; i < 20000; ++i) {
    const auto units = static_cast<std::int64_t>(random() % 20000000000) - 10000000000;
    values.push_back(static_cast<double>(units) / (i % 2 == 0 ? 100.0 : 7.0));
  }
  std::size_t inPlace = 0;
  for (const double value : values) {
    for (const auto& [width, decimals] :
         {std::pair(10, 2), std::pair(6, 1), std::pair(12, 4), std::pair(5, 0), std::pair(20, 3)}) {
      const std::string general = FixedText(value, decimals);
      const auto room = static_cast<std::size_t>(width);
      const std::string fitted = general.size() > room
                                     ? std::string(room, '*')
                                     : std::string(room - general.size(), ' ') + general;
      std::string written(room, '?');
      if (WriteFieldReal(value, width, decimals, written.data())) {
        ASSERT_EQ(written, fitted) << value << " " << width << "," << decimals;
        ++inPlace;
      }
      ASSERT_EQ(FormatFieldReal(value, width, decimals), fitted) << value;
      ASSERT_EQ(ParseStoredReal(fitted.data(), fitted.size(), decimals), ParseFieldReal(fitted))
          << fitted;
    }
  }
  EXPECT_GT(inPlace, values.size() * 4);
  for (const std::string& text :
       std::vector<std::string>{"  -12.50", " - 12.50", "--12.50", "  12.5 ", "  +12.50",
                                std::string("\0 12.50", 8), "     .50", "1234.5678"})
    EXPECT_EQ(ParseStoredReal(text.data(), text.size(), 2), ParseFieldReal(text)) << text;
}

// Stored numbers read as the general parser reads them, however they are padded or signed.
TEST(Numbers, FieldParserAgreesWithTheGeneralParser) {
  std::mt19937_64 random(11);
  std::vector<std::string> texts = {"",
                                    " ",
                                    ".",
                                    "-",
                                    "-.",
                                    " -0.00",
                                    "1.",
                                    ".5",
                                    "+3",
                                    "1e5",
                                    "12 3",
                                    "1..2",
                                    "999999999999999",
                                    "9999999999999999",
                                    "123456789012.3456",
                                    "  -0.125  ",
                                    "0000000000000001.5"};
  for (int i = 0; i < 20000; ++i) {
    std::string digits = std::to_string(random() % 100000000000000000u);
    if (i % 3 != 0) digits.insert(random() % (digits.size() + 1), ".");
    if (i % 5 == 0) digits.insert(0, "-");
    texts.push_back(std::string(random() % 4, ' ') + digits + std::string(random() % 4, ' '));
  }
  for (const std::string& text : texts) {
    std::string_view trimmed(text);
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    if (!trimmed.empty() && trimmed.front() == '+') trimmed.remove_prefix(1);
    double expected = 0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), expected);
    if (result.ec != std::errc() || result.ptr != trimmed.data() + trimmed.size()) continue;
    ASSERT_EQ(ParseFieldReal(text), expected) << text;
  }
}

TEST(Text, OccursAtNthAndCase) {
  EXPECT_EQ(std::tuple(Occurs("a", "banana"), Occurs("ana", "banana")), std::tuple(3, 1));
  const std::tuple<int, const char*, int> cases[] = {
      {-1, "a", 6}, {2, "an", 4}, {2, "ana", 4}, {0, "a", 0}, {4, "a", 0}};
  for (const auto& [nth, sought, at] : cases)
    EXPECT_EQ(AtNth(nth, sought, "banana"), at) << nth << sought;
  EXPECT_EQ(UpperStr("gu\xDF"
                     "eisen \xE4\xF6\xFC\xFF"),
            "GU\xDF"
            "EISEN \xC4\xD6\xDC\x9F");
  EXPECT_EQ(std::tuple(IsAlpha("\xE9t\xE9"), IsAlpha("1a")), std::tuple(true, false));
}

TEST(Text, ExtractOptionMatchesWholeWordsAndKeepsCase) {
  const std::tuple<const char*, const char*, bool, const char*> cases[] = {
      {" EXCLUSIVE", "use parts exclusive alias p", true, "use parts alias p"},
      {" EXCLUSIVE", "Data/Parts.dbf EXCLUSIVE", true, "Data/Parts.dbf"},
      {" UNIQUE", "index on x to y UNIQUE2", false, "index on x to y UNIQUE2"},
      {" UNIQUE", "x unique_a unique", true, "x unique_a"},
      {" EXCLUSIVE", "a exclusive\\b", false, "a exclusive\\b"},
  };
  for (const auto& [keyword, given, found, rest] : cases) {
    std::string command = given;
    EXPECT_EQ(ExtractOption(keyword, command), found) << given;
    EXPECT_EQ(command, rest);
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
  EXPECT_EQ(std::tuple(DateToDtos("01/01/55"), DateToDtos("01/01/56")),
            std::tuple("20550101", "19560101"));
  for (auto [given, valid] : {std::pair{"02/29/1900", false},
                              {"02/29/2000", true},
                              {"04/31/99", false},
                              {"13/01/99", false},
                              {"02/29/56", true},
                              {"  /  /  ", false},
                              {"", false},
                              {"   ", false},
                              {" .  . ", false},
                              {"1x/01/99", false},
                              {"12/31/99", true}}) {
    std::string text = given;
    EXPECT_EQ(ValidDate(text), valid) << given;
  }
  EXPECT_EQ(DtosToDate("        "), "  /  /  ");  // a blank stored date reads as the blank date
}

TEST(Dates, PicturesReorderAndSeparate) {
  CenturyOn = false;
  CenturyBase = 1956;
  const char* const forms[][2] = {{"12/24/99", "MM/dd/yy"},
                                  {"99.12.24", "yy.MM.dd"},
                                  {"24/12/99", "dd/MM/yy"},
                                  {"24-12-99", "dd-MM-yy"},
                                  {"24.12.99", "dd.MM.yy"}};
  for (std::uint8_t picture = 0; picture <= 8; ++picture) {
    const auto [shown, format] = forms[picture < 4 ? picture : 4];  // 4 to 8 are all German style
    SetDateFormat(picture);
    std::string text = "12/24/99";
    ToDatePicture(text);
    EXPECT_EQ(text, shown) << int(picture);
    EXPECT_EQ(ShortDateFormat, format);
    EXPECT_EQ(NormalizeDate(shown), "12/24/99");
    EXPECT_EQ(DtosToDate("19991224"), shown);
  }
  SetDateFormat(9);
  EXPECT_EQ(DateFormat, 0);
  EXPECT_EQ(std::tuple(DayOfWeek("03/15/2026"), DayOfWeek("03/14/2026")), std::tuple(1, 7));
  SetDateFormat(5);
  EXPECT_EQ(std::tuple(CDow("15.03.26"), CMonth("15.03.26")),
            std::tuple("Sonntag   ", "M\xE4rz     "));
}

TEST(Dates, CountryFromLocale) {
  const std::tuple<const char*, std::uint8_t, char> cases[] = {
      {"de_DE.UTF-8", 5, ','}, {"en_GB.UTF-8", 2, '.'}, {"en_US", 0, '.'},
      {"fr_CA.UTF-8", 7, '.'}, {"C", 0, '.'},           {"ru_RU", 8, '.'}};
  for (const auto& [locale, country, decimal] : cases) {
    const ScopedVariable all("LC_ALL", locale);
    InitCountry();
    EXPECT_EQ(std::tuple(CountryCode, DecimalChar), std::tuple(country, decimal)) << locale;
  }
}

class FileServices : public enginetest::EngineTest {
 protected:
  std::vector<std::string> Search(const std::string& mask) {
    std::vector<std::string> names;
    SearchRec rec;
    for (FindFirstFile(Path(mask), rec); DosError == 0; FindNextFile(rec)) {
      names.push_back(rec.Name);
    }
    EXPECT_EQ(DosError, 18) << mask;
    FindCloseFile(rec);
    return names;
  }
};

// The search finds names as the resolver does: letter case aside, and for a plain name the
// exact one first; folders are no files.
TEST_F(FileServices, FolderSearchAndDefaultOpenMode) {
  for (const char* name : {"Parts.DBF", "parts.dbf", "orders.dbf", "notes.txt"}) {
    std::ofstream(Path(name)) << "x";
  }
  std::filesystem::create_directory(Path("sub.dbf"));
  EXPECT_EQ(Search("*.dbf"), (std::vector<std::string>{"Parts.DBF", "orders.dbf", "parts.dbf"}));
  EXPECT_EQ(Search("P?RTS.*"), (std::vector<std::string>{"Parts.DBF", "parts.dbf"}));
  EXPECT_EQ(Search("parts.dbf"), std::vector<std::string>{"parts.dbf"});
  EXPECT_EQ(Search("ORDERS.DBF"), std::vector<std::string>{"orders.dbf"});
  EXPECT_TRUE(Search("sub.dbf").empty());
  EXPECT_TRUE(Search("missing/*.*").empty());
  DefaultOpenMode = platform::kModeShared;
  EngineStart();
  EXPECT_EQ(DefaultOpenMode, platform::kModeExclusive);
}

}  // namespace

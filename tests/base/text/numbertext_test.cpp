#include "base/text/numbertext.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "base/settings/wbrelvar.h"

namespace {

class NumberText : public testing::TestWithParam<char> {
 protected:
  void SetUp() override {
    InitWbrelvar();
    saved_ = DecimalSeparator;
    DecimalSeparator = GetParam();
  }
  void TearDown() override { DecimalSeparator = saved_; }
  // Swaps "." for the separator under test in an expected text.
  std::string Expect(std::string text) const {
    std::ranges::replace(text, '.', GetParam());
    return text;
  }

 private:
  char saved_ = '.';
};

INSTANTIATE_TEST_SUITE_P(Separators, NumberText, testing::Values('.', ','));

TEST_P(NumberText, RealTextShowsThreeOrFourSignificantDigitsWithoutTrailingZeros) {
  const std::pair<long double, const char*> cases[] = {
      // clang-format off
      {12.5L, "12.5"}, {-12.5L, "-12.5"}, {12, "12"}, {0.12345L, "0.123"}, {1234.5L, "1235"},
      {0.05L, "0.05"}, {0.000001L, "0"}, {-0.000009L, "0"}, {0.00001L, "0.00001"}, {1000, "1000"},
      {2.675L, "2.675"}, {999.96L, "1000.0"}, {12.997L, "13.00"},
      {3.14159265L, "3.142"}, {1e6L, "1000000"}, {99999.7L, "1E+05"},
      {1e20L, "100000000000000000000"},
      // clang-format on
  };
  for (const auto& [x, text] : cases) EXPECT_EQ(RealText(x), Expect(text)) << text;
}

TEST_P(NumberText, NumberDigitsCountsDigitsAndDropsTrailingZeros) {
  // value, precision, integer digits, decimals
  const std::tuple<long double, int, int, int> cases[] = {
      // clang-format off
      {12.5L, 3, 2, 1},       {12, 3, 2, 0},    {0.12345L, 3, 0, 3}, {1234.5L, 3, 4, 0},
      {0.05L, 3, 0, 2},       {0, 3, 0, 1},     {-7.25L, 3, 1, 2},   {100, 3, 3, 0},
      {3.14159265L, 6, 1, 6}, {5e-8L, 3, 0, 8}, {123456, 3, 6, 0},   {0.001L, 3, 0, 3},
      // clang-format on
  };
  for (const auto& [x, precision, intDigits, decimals] : cases) {
    std::int32_t gotInt = -1, gotDecimals = -1;
    NumberDigits(x, precision, gotInt, gotDecimals);
    EXPECT_EQ(std::pair(gotInt, gotDecimals), std::pair(intDigits, decimals)) << x;
  }
}

TEST_P(NumberText, RealTextFixedPadsRoundsHalfAwayAndFallsBackToScientific) {
  struct Case {
    int intDigits, decimals;
    long double x;
    const char* text;
  };
  const Case cases[] = {
      // clang-format off
      {3, 2, 1.234L, "  1.23"}, {3, 2, -1.234L, " -1.23"}, {2, 0, 2.5L, " 3"},
      {1, 2, 2.675L, "2.68"}, {1, 2, -2.675L, "-2.68"}, {1, 2, 2.675, "2.67"},
      {1, 2, 0.125L, "0.13"}, {1, 0, 0.5L, "1"}, {1, 0, -0.5L, "-1"}, {3, 0, -0.4L, "  0"},
      {1, 3, -0.0004L, "0.000"}, {1, 3, 0.0005L, "0.001"}, {1, 2, 123.456L, "123.00"},
      {1, 2, 1234.5L, "1.23E+03"}, {2, 1, 999.96L, "1E+03"}, {3, 2, 1e300L, "1E+300"},
      {23, 0, -1e20L, " -100000000000000000000"}, {1, 2, -1e-16L, "0.00"}, {0, 0, 0, "0"},
      {4, 3, 0, "   0.000"}, {0, 2, 0.5L, "0.50"}, {2, 16, 1.5L, " 1.5000000000000000"},
      {3, 1, -123456.7L, "-1.235E+05"}, {1, 1, 1.23e-7L, "0.0"},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RealTextFixed(c.intDigits, c.decimals, c.x), Expect(c.text))
        << c.intDigits << " " << c.decimals << " " << c.text;
  }
}

TEST_P(NumberText, FloatDigitsAddsDecimalsWithinZeroToTen) {
  const std::pair<int, const char*> cases[] = {
      // clang-format off
      {5, "  1.2340"}, {0, "  1"}, {2, "  1.2"}, {20, "  1.2340000000"}, {-4, "  1"},
      // clang-format on
  };
  for (const auto& [digits, text] : cases) {
    FloatDigits = digits;
    EXPECT_EQ(RealTextFixed(3, 2, 1.234L), Expect(text)) << digits;
  }
  FloatDigits = 5;
  EXPECT_EQ(RealText(12.5L), Expect("12.500"));
}

TEST_P(NumberText, RealTextVariants) {
  const std::pair<std::string, std::string> cases[] = {
      // clang-format off
      {RealTextDec(4, 1), Expect("1.0000")}, {RealTextDec(0, 0.4L), "0"},
      {RealTextPrec(-3, 3.14159265L), Expect("3.141593")},
      {RealTextWidth(8, 12.5L), Expect("    12.5")}, {RealTextWidth(6, 12), "    12"},
      {RealTextWidth(5, 1e-7L), "    0"}, {RealTextAuto(0.5L), Expect("0.5")},
      {RealTextAuto(1e-13L), "0"}, {RealTextAuto(25000), "25E3"},
      {RealTextAuto(0.00002L), Expect("0.02E-3")}, {RealTextEng(123456789), Expect("123.5E6")},
      {RealTextEng(-1234), "-1234"}, {RealTextPoint(-12.5L), "-12.5"},
      {RealTextDecPoint(2, 0.5L), "0.50"}, {RealTextFixedPoint(1, 2, 1234.5L), "1.23E+03"},
      // clang-format on
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

// Exponent texts take their exponent from the value itself, also where rounding carries into a
// new decade; no minus zero, and a non-finite value reads as zero.
TEST(ExponentText, SignificantDigitsAndCarries) {
  const std::pair<std::string, std::string> cases[] = {
      // clang-format off
      {ExponentText(12.5L, 7, 2), "1.250000E+01"}, {ExponentText(10, 7, 2), "1.000000E+01"},
      {ExponentText(1 - 1e-9L, 7, 2), "1.000000E+00"}, {ExponentText(9.9999996L, 7, 2), "1.000000E+01"},
      {ExponentText(-0.5L, 3, 2), "-5.00E-01"}, {ExponentText(0.1234567L, 7, 2), "1.234567E-01"},
      {ExponentText(-1e-30L, 3, 2), "-1.00E-30"}, {ExponentText(-0.0L, 3, 2), "0.00E+00"},
      {ExponentText(NAN, 3, 2), "0.00E+00"}, {ExponentText(123456, 6, 3), "1.23456E+005"},
      {ExponentText(2.5L, 1, 2), "3E+00"}, {ExponentText(-3, 6, 3), "-3.00000E+000"},
      {ExponentText(0.00123456789L, 6, 3), "1.23457E-003"}, {ExponentText(9.999995L, 6, 3), "1.00000E+001"},
      {ExponentText(2.5e-7L, 1, 2), "3E-07"}, {ExponentText(1e300L, 6, 2), "1.00000E+300"},
      {ExponentText(1e-4000L, 3, 3), "1.00E-4000"},
      {ExponentText(-std::numeric_limits<long double>::infinity(), 7, 2), "0.000000E+00"},
      {ExponentText(1, 40, 9), "1.00000000000000000E+0000"},  // kept to 18 and 4
      // clang-format on
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

// Forms a user types or a file holds, each read exactly as its long double literal.
const std::pair<const char*, long double> kAcceptedReals[] = {
    // clang-format off
    {"1,5", 1.5L}, {"1.5", 1.5L}, {"1.", 1}, {".5", 0.5L}, {"-.5", -0.5L}, {"1e3", 1000},
    {"1E-3", 0.001L}, {"+2,5e+2", 250}, {"  -12.25", -12.25L}, {"0", 0}, {"-0", 0}, {",25", 0.25L},
    {"2,675", 2.675L}, {"0.1", 0.1L}, {"123456789012345678901234", 1.23456789012345678901234e23L},
    {"1e-5000", 0}, {"1,000", 1}, {"00012", 12},
    // clang-format on
};

const char* const kRejectedReals[] = {
    "",     " ",   "2.5 ", "1,5,0", "1.5,0", "1..5", "abc",     "1e",    "1e+",
    ".",    "-",   "e3",   "inf",   "-inf",  "nan",  "NaN",     "0x1p3", "0x10",
    "1.5a", "1 5", "\t1",  "1e3.5", "--1",   "+-1",  "1e99999", "1,5.",
};

TEST_P(NumberText, TextToRealAcceptsOnlyWholeNumbers) {
  for (const auto& [text, value] : kAcceptedReals) EXPECT_EQ(TextToReal(text), value) << text;
  for (const char* text : kRejectedReals) EXPECT_EQ(TextToReal(text), 0) << text;
}

TEST_P(NumberText, ReadsBackWhatItWrites) {
  EXPECT_EQ(RealTextFixed(1, 2, TextToReal(Expect("2.675"))), Expect("2.68"));
  EXPECT_EQ(RealTextFixed(1, 2, TextToReal("1,005")), Expect("1.01"));
}

TEST_P(NumberText, TextToIntAcceptsDecimalAndDollarHex) {
  const std::pair<const char*, std::int32_t> cases[] = {
      // clang-format off
      {"42", 42}, {"  -42", -42}, {"+7", 7}, {"$FF", 255}, {"$ff", 255}, {"-$10", -16},
      {"$FFFFFFFF", -1}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"2147483648", 0}, {"$100000000", 0}, {"42 ", 0}, {"4 2", 0}, {"", 0}, {"$", 0}, {"-", 0},
      {"1.0", 0}, {"0x10", 0}, {"1e3", 0}, {"$G1", 0}, {"99999999999999999999", 0},
      // clang-format on
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(TextToInt(text), value) << text;
}

TEST(TypedNumbers, TextThatIsNoNumberGivesNothingAndBlanksAroundANumberAreNoError) {
  const std::optional<long double> none;
  const std::pair<const char*, std::optional<long double>> reals[] = {
      {"1000 Nm", none}, {"abc", none},    {"1e3e", none},  {"--5", none},
      {"1 000", none},   {"1e5000", none}, {"1000 ", 1000}, {" 1000 ", 1000},
      {"", 0},           {"   ", 0},       {"1,5", 1.5L},   {"-0 ", 0},
  };
  for (const auto& [text, value] : reals) EXPECT_EQ(TypedReal(text), value) << text;
  const std::pair<const char*, std::optional<std::int32_t>> ints[] = {
      {"360 ", 360},         {" -5", -5},           {"", 0},
      {"abc", std::nullopt}, {"3.5", std::nullopt}, {"2147483648", std::nullopt},
  };
  for (const auto& [text, value] : ints) EXPECT_EQ(TypedInt(text), value) << text;
}

TEST(NumberTextLocale, GermanLocaleChangesNothing) {
  if (std::ranges::none_of(std::array{"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro"},
                           [](const char* name) { return setlocale(LC_ALL, name) != nullptr; })) {
    GTEST_SKIP() << "no German locale installed";
  }
  InitWbrelvar();
  ASSERT_STREQ(localeconv()->decimal_point, ",");
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  for (const auto& [text, value] : kAcceptedReals) EXPECT_EQ(TextToReal(text), value) << text;
  for (const char* text : kRejectedReals) EXPECT_EQ(TextToReal(text), 0) << text;
  EXPECT_EQ(RealTextFixed(1, 2, 2.675L), "2.68");
  DecimalSeparator = saved;
  setlocale(LC_ALL, "C");
}

TEST(NumberTextLocale, RegionalSeparatorComesFromTheEnvironmentNotTheGlobalLocale) {
  const char* saved = getenv("LC_ALL");
  const std::string before = saved == nullptr ? "" : saved;
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const char german = RegionalDecimalSeparator();
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(RegionalDecimalSeparator(), '.');
  setenv("LC_ALL", "xx_NOWHERE", 1);
  EXPECT_EQ(RegionalDecimalSeparator(), '.');
  saved == nullptr ? unsetenv("LC_ALL") : setenv("LC_ALL", before.c_str(), 1);
  EXPECT_STREQ(setlocale(LC_NUMERIC, nullptr), "C");
  if (setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale installed";
  setlocale(LC_ALL, "C");
  EXPECT_EQ(german, ',');
}

}  // namespace

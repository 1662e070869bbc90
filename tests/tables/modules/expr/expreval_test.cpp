#include "tables/modules/expr/expreval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "tables/modules/expr/exprdates.h"
#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

using enginetest::Def;

class Evaluator : public ExprTest {
 protected:
  // The result of one evaluation as text: C and M as they are, N with 15 significant digits,
  // D as YYYYMMDD, L as T or F.
  std::string Eval(const std::string& text) {
    Handle handle = Compile(text);
    if (handle == nullptr) return "<no compile>";
    const void* result = dadav::EvalCompiled(handle.get());
    switch (handle->type) {
      case 'C':
      case 'M':
        return static_cast<const char*>(result);
      case 'L':
        return *static_cast<const std::int32_t*>(result) != 0 ? "T" : "F";
      case 'D':
        return dadav::JulianToDtos(*static_cast<const double*>(result));
      default: {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", *static_cast<const double*>(result));
        return buffer;
      }
    }
  }
  double Number(const std::string& text) {
    Handle handle = Compile(text);
    return *static_cast<const double*>(dadav::EvalCompiled(handle.get()));
  }
};

TEST_F(Evaluator, OperatorsTextsAndFunctionsGiveTheirResults) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"1+2*3", "7"}, {"2^3^2", "64"}, {"-2*3+1", "-5"}, {"-2^2", "4"}, {"7-3-2", "2"},
      {"2+3=5 .AND. 1<2", "T"}, {".NOT. .T. .AND. .F.", "F"}, {".T. .OR. .F. .AND. .F.", "T"},
      {".NOT. .F. = .T.", "T"}, {"(-1)^0.5", "0"}, {"'ABC' = 'AB'", "T"}, {"'AB' = 'ABC'", "F"},
      {"'AB' = ''", "F"}, {"'ABC' <> 'AB'", "T"}, {"'AB' == 'AB'", "T"}, {"'' $ 'AB'", "F"},
      {"'B' $ 'AB'", "T"}, {"CHR(200) > 'A'", "T"}, {"'AB' < 'ABC'", "T"},
      {"TRIM('AB  ') + 'C'", "ABC"}, {"'AB  ' - 'C'", "ABC  "}, {"STR(123.456, 5, 2)", "*****"},
      {"STR(5)", "         5"}, {"STR(-0.001, 6, 2)", "  0.00"}, {"STR(1, -5)", ""},
      {"MOD(-7, 3)", "-1"}, {"ROUND(-2.567, 1)", "-2.5"}, {"ROUND(2.567, 2)", "2.56"},
      {"INT(-2.7)", "-2"}, {"LEFT('abc', -1)", ""}, {"LEFT('abc', 5)", "abc"},
      {"RIGHT('abcd', 2)", "cd"}, {"RIGHT('abcd', -2)", ""}, {"SUBSTR('abcdef', 0, 2)", "ab"},
      {"SUBSTR('abcdef', 5, 9)", "ef"}, {"SUBSTR(REPLICATE('x', 255), 300, 1)", ""},
      {"STUFF('abcdef', 2, 3, 'XY')", "aXYef"}, {"STUFF('abc', -4, 1, 'X')", "Xbc"},
      {"STUFF('abc', 9, 1, 'X')", "abcX"}, {"CHR(65) + CHR(0) + CHR(321)", "AA"},
      {"CHR(-191)", "A"}, {"ASC('')", "0"}, {"AT('', 'abc')", "0"}, {"AT('c', 'abc')", "3"},
      {"LTRIM('  a ') + '|'", "a |"}, {"VAL('  12.5abc')", "12.5"}, {"VAL('-3e2')", "-300"},
      {"VAL('abc')", "0"}, {"VAL('nan')", "0"}, {"IIF(1 > 2, 'yes', 'no')", "no"},
      {"IIF(.T., 'yes', 'no') + '!'", "yes!"}, {"MAX(1, 2) + MIN(1, 2)", "3"},
      {"SOUNDEX('ASHCRAFT')", "A226"}, {"LEN(SPACE(-3))", "0"}, {"MOD(1E300, 7) >= 0", "T"},
  };
  // clang-format on
  for (const auto& [text, expected] : cases) EXPECT_EQ(Eval(text), expected) << text;
  EXPECT_EQ(Number("2^3"), 8);
  EXPECT_EQ(Eval("REPLICATE('abc', 100)").size(), 255u);
  EXPECT_EQ(Eval("SPACE(300) + 'x'").size(), 255u);
  EXPECT_EQ(Eval("REPLICATE('x', 200) + REPLICATE('y', 200)").size(), 255u);
  EXPECT_EQ(Number("ROUND(8.2, 2)"), 8.2);
  EXPECT_EQ(Number("ROUND(1234.5678, -2)"), 1234);
  EXPECT_EQ(Number("ROUND(1.5, 1E300)"), 1.5);
  EXPECT_EQ(Eval("UPPER('a\xe4') + LOWER('B\xc4')"),
            "A\xc4"
            "b\xe4");
}

TEST_F(Evaluator, DivisionByZeroIsRecordedAndGoesOn) {
  dadav::SetReportErrors(false);
  EXPECT_EQ(Eval("1/0 > 5"), "T");
  EXPECT_EQ(dadav::LastErrorCode, 358);
  EXPECT_EQ(dadav::TakeLastMessage(), "Error during evaluation: Divide by 0 [Evaluate/Engine]");
  EXPECT_EQ(Eval("MOD(5, 0)"), "0");
  EXPECT_EQ(dadav::LastErrorCode, 358);
  dadav::SetReportErrors(true);
  EXPECT_THROW(Eval("1/0"), dadav::EDadavError);
  EXPECT_EQ(Eval("1/4"), "0.25");
}

TEST_F(Evaluator, DatesComeFromTheDayNumber) {
  EXPECT_EQ(Eval("CTOD('02/29/2001')"), "        ");
  EXPECT_EQ(Eval("DATE() - CTOD('01/01/2000')"), "9570");
  PeopleTable(1, [](int) {
    std::memcpy(dadav::Area()->raw.data() + dadav::Area()->fields[3].offset, "19400501", 8);
    dadav::LoadNativeRecord();
  });
  dadav::GO(1);
  EXPECT_EQ(Eval("DTOS(BORN)"), "19400501");
  EXPECT_EQ(Eval("YEAR(BORN)"), "1940");
  EXPECT_EQ(Eval("DOW(BORN)"), "4");
  EXPECT_EQ(Eval("CDOW(BORN)"), "Wednesday");
  EXPECT_EQ(Eval("CMONTH(BORN)"), "May      ");
  EXPECT_EQ(Eval("MONTH(BORN) + DAY(BORN)"), "6");
  EXPECT_EQ(Eval("DTOC(BORN)"), "05/01/40");
  EXPECT_EQ(Eval("DTOS(BORN + 30)"), "19400531");
  EXPECT_EQ(Eval("YEAR(CTOD('  /  /  ')) + DOW(CTOD(''))"), "0");
}

TEST_F(Evaluator, FieldsOfTheCurrentRecord) {
  PeopleTable(2, [](int i) {
    if (i == 1) {
      enginetest::SetText(1, "");
      return;
    }
    enginetest::SetText(1, "Miller");
    enginetest::SetReal(2, 12.5);
    enginetest::SetLogical(5, true);
    enginetest::SetInt64(6, 9876543210);
  });
  dadav::GO(1);
  Handle name = Compile("NAME");
  EXPECT_EQ(std::string(static_cast<const char*>(dadav::EvalCompiled(name.get()))), "          ");
  EXPECT_EQ(Eval("TRIM(NAME) + '!'"), "!");
  dadav::GO(2);
  EXPECT_EQ(std::string(static_cast<const char*>(dadav::EvalCompiled(name.get()))), "Miller    ");
  EXPECT_EQ(Eval("PRICE * 2"), "25");
  EXPECT_EQ(Eval("OK .AND. COUNT > 9E9"), "T");
  EXPECT_EQ(Eval("RECNO()"), "2");
  EXPECT_EQ(Eval("DELETED()"), "F");
  dadav::DeleteRec();
  EXPECT_EQ(Eval("DELETED()"), "T");
  EXPECT_EQ(Eval("STR(PRICE, 8, 2) + UPPER(NAME)"), "   12.50MILLER    ");
}

TEST_F(Evaluator, AnEmptyTableGivesBlanks) {
  PeopleTable(0);
  EXPECT_EQ(Eval("NAME"), "          ");
  EXPECT_EQ(Eval("PRICE"), "0");
  EXPECT_EQ(Eval("OK"), "F");
  EXPECT_EQ(Eval("BORN"), "        ");
  EXPECT_EQ(dadav::LastErrorCode, 0);
}

TEST_F(Evaluator, ClosedOrChangedAreasGiveBlanksAndAnError) {
  PeopleTable(1);
  dadav::Area()->alias = "PEOPLE";
  dadav::Select(2);
  enginetest::NewTable(Path("other.dbf"), {Def("NAME", 'C', 10)}, 1);
  Handle price = Compile("PEOPLE->PRICE + 1");
  Handle count = Compile("PEOPLE->COUNT");
  Handle own = Compile("NAME");
  dadav::SetReportErrors(false);
  dadav::Select(1);
  dadav::USE("");
  EXPECT_EQ(*static_cast<const double*>(dadav::EvalCompiled(price.get())), 1);
  EXPECT_EQ(dadav::LastErrorCode, 215);
  EXPECT_EQ(dadav::TakeLastMessage(), "No database in use [PARSER/FetchField]");
  enginetest::NewTable(Path("third.dbf"), {Def("NAME", 'C', 10)}, 1);
  dadav::LastErrorCode = 0;
  EXPECT_EQ(*static_cast<const double*>(dadav::EvalCompiled(count.get())), 0);
  EXPECT_EQ(dadav::LastErrorCode, 212);
  dadav::LastErrorCode = 0;
  EXPECT_EQ(*static_cast<const double*>(dadav::EvalCompiled(price.get())), 1);
  EXPECT_EQ(dadav::LastErrorCode, 212);
  dadav::LastErrorCode = 0;
  EXPECT_EQ(std::string(static_cast<const char*>(dadav::EvalCompiled(own.get()))), "          ");
  EXPECT_EQ(dadav::LastErrorCode, 0);
}

TEST_F(Evaluator, AWiderFieldThanCompiledOverflowsThePoolSafely) {
  enginetest::NewTable(Path("narrow.dbf"), {Def("NAME", 'C', 4)}, 1);
  Handle name = Compile("NAME + '!'");
  dadav::USE("");
  enginetest::NewTable(Path("wide.dbf"), {Def("NAME", 'C', 200)}, 1);
  dadav::GO(1);
  dadav::SetReportErrors(false);
  EXPECT_EQ(std::string(static_cast<const char*>(dadav::EvalCompiled(name.get()))), "!");
  EXPECT_EQ(dadav::LastErrorCode, 354);
  EXPECT_EQ(dadav::TakeLastMessage(), "Working pool overflow [PARSER/Allocate]");
}

class SixHundredBytes : public dadav::MemoLineReader {
 public:
  bool ReadLine(std::string& line) override {
    if (lines_ == 3) return false;
    line = std::string(200, static_cast<char>('a' + lines_++));
    return true;
  }

 private:
  int lines_ = 0;
};

TEST_F(Evaluator, MemosGiveTheirFirst255Characters) {
  enginetest::NewTable(Path("memo.dbf"), {Def("NOTE", 'M', 10)}, 1, [](int) {
    std::int32_t block = 5;
    std::memcpy(dadav::FieldAddress(1), &block, 4);
  });
  dadav::GO(1);
  EXPECT_EQ(Eval("NOTE"), "");
  static std::int32_t asked = 0;
  dadav::MemoHooks.assignMemo = [](std::int32_t block) -> std::unique_ptr<dadav::MemoLineReader> {
    asked = block;
    return std::make_unique<SixHundredBytes>();
  };
  EXPECT_EQ(Eval("NOTE"), std::string(200, 'a') + std::string(55, 'b'));
  EXPECT_EQ(asked, 5);
}

TEST_F(Evaluator, TemporarySwitchesComeBackWhenAnErrorIsThrown) {
  enginetest::NewTable(Path("notes.dbf"), {Def("NOTE", 'M', 10)}, 1, [](int) {
    std::int32_t block = 7;
    std::memcpy(dadav::FieldAddress(1), &block, 4);
  });
  dadav::Area()->alias = "NOTES";
  dadav::GO(1);
  dadav::Select(2);
  static std::uint8_t readFrom = 0;
  dadav::MemoHooks.assignMemo = [](std::int32_t) -> std::unique_ptr<dadav::MemoLineReader> {
    readFrom = dadav::CurrentAreaNumber;
    dadav::RaiseDadavError("memo file damaged");
  };
  Handle memo = Compile("NOTES->NOTE");
  EXPECT_THROW(dadav::EvalCompiled(memo.get()), dadav::EDadavError);
  EXPECT_EQ(readFrom, 1);
  EXPECT_EQ(dadav::CurrentAreaNumber, 2);
  Handle quotient = Compile("1/0");
  {
    dadav::CurrentExprScope selected(quotient.get());
    EXPECT_THROW(dadav::EvalCurrentExpr(), dadav::EDadavError);
  }
  EXPECT_EQ(dadav::EvalCurrentExpr(), nullptr);
}

// A virtual file's record in the native layout: C(5), D, N(8,2), N(10,0), L.
TEST_F(Evaluator, VirtualFilesAreReadInTheNativeLayout) {
  auto area = std::make_unique<dadav::WorkArea>();
  area->state = dadav::kOpen;
  area->vfile.isVirtual = true;
  area->fields = {Def("C", 'C', 5), Def("D", 'D', 8), Def("N", 'N', 8, 2), Def("W", 'N', 10),
                  Def("L", 'L', 1)};
  area->fieldCount = 5;
  area->recCount = 1;
  area->recNo = 1;
  area->nativeSize = dadav::NativeSizeOf(*area);
  area->ownedNative.assign(area->nativeSize, 0);
  area->native = area->ownedNative.data();
  std::uint8_t* at = area->native + 1;
  at[0] = 2;
  std::memcpy(at + 1, "ab", 2);
  at += 6;
  at[0] = 8;
  std::memcpy(at + 1, "05/01/40", 8);
  at += 11;
  const double price = 8.25;
  std::memcpy(at, &price, 8);
  const std::int64_t wide = 9876543210;
  std::memcpy(at + 8, &wide, 8);
  at[16] = 1;
  dadav::WorkAreaTable[3] = std::move(area);
  dadav::Select(3);
  EXPECT_EQ(Eval("C + '|'"), "ab   |");
  EXPECT_EQ(Eval("DTOS(D)"), "20400501");
  EXPECT_EQ(Eval("N"), "8.25");
  EXPECT_EQ(Eval("W"), "9876543210");
  EXPECT_EQ(Eval("L"), "T");
  dadav::WorkAreaTable[3].reset();
}

std::string Printf(double value, int width, int decimals) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
  std::string text = buffer;
  if (text.size() > static_cast<std::size_t>(width)) return std::string(width, '*');
  // Zero has no minus sign here.
  if (text.find_first_of("123456789") == std::string::npos)
    std::replace(text.begin(), text.end(), '-', ' ');
  return text;
}

// True when value lies exactly halfway between two texts of `decimals` decimals.
bool ExactTie(double value, int decimals) {
  const long double scaled = static_cast<long double>(value) * std::pow(10.0L, decimals);
  return std::fabs(scaled - std::trunc(scaled)) == 0.5L;
}

TEST_F(Evaluator, StrAgreesWithPrintfAndIgnoresTheLocale) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(-3, 9), widths(1, 20), decimalsOf(0, 6);
  std::vector<std::pair<std::string, std::string>> cases;
  for (int i = 0; i < 400; ++i) {
    const double value = mantissa(random) * std::pow(10.0, scale(random));
    const int width = widths(random), decimals = decimalsOf(random);
    if (ExactTie(value, decimals)) continue;
    char number[400];
    const auto written =
        std::to_chars(number, number + sizeof number, value, std::chars_format::fixed);
    const std::string expression = "STR(" + std::string(number, written.ptr) + ", " +
                                   std::to_string(width) + ", " + std::to_string(decimals) + ")";
    EXPECT_EQ(Eval(expression), Printf(value, width, decimals)) << expression;
    cases.emplace_back(expression, Eval(expression));
  }
  const std::string before = Eval("STR(VAL('3.50') * 2, 6, 2) + STR(1.5, 4, 1)");
  EXPECT_EQ(before, "  7.00 1.5");
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  dadav::DecimalChar = ',';
  EXPECT_EQ(Eval("STR(VAL('3.50') * 2, 6, 2) + STR(1.5, 4, 1)"), before);
  for (const auto& [expression, result] : cases) EXPECT_EQ(Eval(expression), result);
  std::setlocale(LC_ALL, "C");
  dadav::DecimalChar = '.';
}

}  // namespace
}  // namespace exprtest

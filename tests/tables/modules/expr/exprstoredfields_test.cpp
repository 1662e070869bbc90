// Text and number fields read from whatever their stored text holds: comparisons with a
// constant and UPPER, which read the stored bytes at once, give what the same work gives
// through the value stack, and the number read of a stored field gives the double the
// library's parser gives for every text.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tznumber.h"
#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

using enginetest::Def;

// The stored number as the library reads it: blanks and 0 bytes around, one "+" dropped, the
// limit when out of range, 0 when no number begins the text.
double LibraryRead(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    return text.front() == '-' ? -std::numeric_limits<double>::max()
                               : std::numeric_limits<double>::max();
  return result.ec == std::errc() ? value : 0.0;
}

bool SameDouble(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string RandomNumberText(std::mt19937& random) {
  static const std::string kPieces[] = {"0",        "00", "1", "5", "9", ".", "-",
                                        "+",        " ",  "e", "E", "-", "x", std::string(1, '\0'),
                                        "123456789"};
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n)(random);
  };
  std::string text;
  switch (pick(3)) {
    case 0:  // digits with a point and a sign, blanks around, up to a field's width
      text.append(pick(4), ' ');
      if (pick(3) == 0) text += pick(1) == 0 ? '-' : '+';
      for (std::size_t n = pick(20); n-- > 0;) text += static_cast<char>('0' + pick(9));
      if (pick(1) == 0) text += '.';
      for (std::size_t n = pick(24); n-- > 0;) text += static_cast<char>('0' + pick(9));
      text.append(pick(2), pick(1) == 0 ? ' ' : '\0');
      break;
    case 1:  // zeros that are not significant before the others
      text = (pick(1) == 0 ? "0." : "-000.") + std::string(pick(12), '0');
      for (std::size_t n = pick(18); n-- > 0;) text += static_cast<char>('0' + pick(9));
      break;
    default:  // pieces in any order, exponents and garbage among them
      for (std::size_t n = pick(8); n-- > 0;) text += kPieces[pick(std::size(kPieces) - 1)];
  }
  return text.substr(0, 255);
}

TEST(StoredNumbers, ReadAsTheLibraryReadsThem) {
  const std::vector<std::string> fixed = {"",
                                          " ",
                                          "-",
                                          "+",
                                          ".",
                                          "-.",
                                          "+-5",
                                          "-+5",
                                          "0",
                                          "-0",
                                          "-0.00",
                                          "  100.00",
                                          "100.",
                                          ".5",
                                          "-.5",
                                          "1e5",
                                          "1E-5",
                                          "12abc",
                                          "1.5.5",
                                          "--5",
                                          "- 5",
                                          "999999999999999",
                                          "9999999999999999",
                                          "0.0000000000000000000001",
                                          "0.00000000000000000000001",
                                          "123456789012345.6",
                                          "0.1234567890123456",
                                          "00000000000000000001.5",
                                          "1e400",
                                          "-1e400",
                                          "nan",
                                          "inf",
                                          "12 34",
                                          std::string("12\0", 3),
                                          std::string("\0 7.25\0", 7)};
  for (const std::string& text : fixed)
    EXPECT_TRUE(SameDouble(dadav::ParseFieldReal(text), LibraryRead(text))) << '"' << text << '"';
  std::mt19937 random(32);
  for (int i = 0; i < 300000; ++i) {
    const std::string text = RandomNumberText(random);
    ASSERT_TRUE(SameDouble(dadav::ParseFieldReal(text), LibraryRead(text))) << '"' << text << '"';
  }
}

class StoredFields : public ExprTest {
 protected:
  // TEXTS: NAME C(12), PRICE N(10,2), the stored texts written into the file as they are:
  // every byte value in some name, with 0 bytes and letters on both sides of the ASCII ones.
  void FieldsTable() {
    std::vector<std::string> names = {"ab",
                                      "AB",
                                      "abc",
                                      "a",
                                      std::string("ab\0cd", 5),
                                      std::string("a\0", 2),
                                      "`az{@AZ[",
                                      "\xe9t\xe9 abcdefgh",
                                      "abcdefghijkl",
                                      "ABCDEFGHIJKL",
                                      ""};
    for (int first = 0; first < 256; first += 12) {
      std::string name;
      for (int c = first; c < first + 12 && c < 256; ++c) name += static_cast<char>(c);
      names.push_back(name);
    }
    const std::vector<std::string> prices = {"    100.00", "    100.01", "     99.99", "      -0",
                                             "       1e3", "       nan", "       abc", "100",
                                             "    +100.5", "       1,5", "          "};
    const std::string path = Path("texts.dbf");
    enginetest::NewTable(path, {Def("NAME", 'C', 12), Def("PRICE", 'N', 10, 2)},
                         static_cast<int>(names.size()));
    dadav::CloseAll();
    std::vector<std::uint8_t> bytes = enginetest::ReadBytes(path);
    const std::size_t header = bytes[8] | bytes[9] << 8;
    const std::size_t length = bytes[10] | bytes[11] << 8;
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::uint8_t* record = bytes.data() + header + i * length;
      const std::string name = (names[i] + std::string(12, ' ')).substr(0, 12);
      const std::string& price = prices[i % prices.size()];
      std::copy(name.begin(), name.end(), record + 1);
      std::copy(price.begin(), price.end(), record + 13);
    }
    enginetest::WriteBytes(path, bytes);
    dadav::USE(path + " EXCLUSIVE");
  }

  // Every record's result of both expressions, which must agree.
  void ExpectSameResults(const std::string& direct, const std::string& stacked) {
    Handle a = Compile(direct);
    Handle b = Compile(stacked);
    ASSERT_NE(a, nullptr) << direct;
    ASSERT_NE(b, nullptr) << stacked;
    ASSERT_EQ(a->type, b->type);
    for (dadav::GoTop(); !dadav::Area()->eof; dadav::SKIP(1)) {
      const void* x = dadav::EvalCompiled(a.get());
      const void* y = dadav::EvalCompiled(b.get());
      if (a->type == 'C')
        EXPECT_STREQ(static_cast<const char*>(x), static_cast<const char*>(y))
            << direct << " in record " << dadav::RecNo();
      else
        EXPECT_EQ(*static_cast<const std::int32_t*>(x), *static_cast<const std::int32_t*>(y))
            << direct << " in record " << dadav::RecNo();
    }
  }
};

TEST_F(StoredFields, ComparisonsWithConstantsAgreeWithTheStack) {
  FieldsTable();
  for (const char* literal :
       {"'ab'", "'AB'", "'a'", "'abc'", "'abcdefghijkl'", "'abcdefghijklm'", "''"})
    ExpectSameResults(std::string("NAME=") + literal, std::string("NAME+''=") + literal);
  for (const char* compare : {"=", "#", ">", "<", ">=", "<="})
    ExpectSameResults(std::string("PRICE") + compare + "100",
                      std::string("PRICE+0") + compare + "100");
  ExpectSameResults("NAME='ab' .AND. PRICE>100", "NAME+''='ab' .AND. PRICE+0>100");
  ExpectSameResults("NAME='ab' .OR. PRICE<100", "NAME+''='ab' .OR. PRICE+0<100");
}

TEST_F(StoredFields, UpperOfEveryByteAgreesWithTheStack) {
  FieldsTable();
  ExpectSameResults("UPPER(NAME)", "UPPER(NAME+'')");
  ExpectSameResults("UPPER(NAME)+NAME", "UPPER(NAME+'')+NAME");
}

TEST_F(StoredFields, JoinedFieldsAgreeWithTheStack) {
  FieldsTable();
  ExpectSameResults("'x'+NAME", "'x'+(NAME+'')");
  ExpectSameResults("'x'+UPPER(NAME)", "'x'+UPPER(NAME+'')");
  // The join is cut at 255 bytes.
  ExpectSameResults("REPLICATE('x', 250)+UPPER(NAME)", "REPLICATE('x', 250)+UPPER(NAME+'')");
  ExpectSameResults("REPLICATE('x', 250)+NAME", "REPLICATE('x', 250)+(NAME+'')");
}

}  // namespace
}  // namespace exprtest

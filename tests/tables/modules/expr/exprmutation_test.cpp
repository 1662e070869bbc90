// Seeded mutants of typical expressions (bytes flipped, inserted and deleted; brackets nested
// deeper than the compiler takes) must compile or fail cleanly, evaluate without fault, keep
// C results within 255 bytes and compile from their stored form to the same code.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/tables/modules/expr/exprprobe.h"
#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

const std::vector<std::string> kSeeds = {
    "NAME",
    "PEOPLE->PRICE + PRICE * 2",
    "DATE + 1",
    "YEAR(DATE) = YEAR",
    "2^3^2",
    "-2*3+1",
    "'AB' == 'AB' .AND. .NOT. OK",
    "X>0.AND.Y>0",
    ".NOT.DELETED()",
    "IIF(OK.AND.PRICE>0,'x','y')",
    "'a\"b' + \"c'd\"",
    "UPPER(TRIM(CITY)) + STR(QTY, 10, 2)",
    "SUBSTR(NAME, 2, 3) $ CITY",
    "DTOS(BORN) + DTOC(DATE()) + CDOW(BORN) + CMONTH(DATE)",
    "STUFF(NAME, -4, 1, REPLICATE('x', 300))",
    "VAL('  12.5abc') + MOD(QTY, 0) + ROUND(RATE, 2) + 1/0",
    "CTOD('02/29/2000') - BORN",
    "SOUNDEX(NAME) + CHR(321) + LEFT(CITY, -1) + RIGHT(NOTE, 5) + SPACE(9)",
    "MAX(BIG, TEMP) + MIN(1E300, -1E300) + LEN(NOTE) + AT('c', NAME) + ASC(CITY)",
    "DAY(BORN) + MONTH(DATE) + DOW(BORN) + RECNO() + ABS(QTY) + INT(RATE)",
    "1.E5 + 1. + .5",
};

class Mutants : public ExprTest {
 protected:
  void SetUp() override {
    ExprTest::SetUp();
    exprprobe::OpenTables(Dir());
  }
};

std::string Mutate(std::string text, std::mt19937& random) {
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
    const auto byte = static_cast<char>(random() % 256);
    switch (random() % 4) {
      case 0:
        if (at < text.size()) text[at] = static_cast<char>(text[at] ^ (1 << (random() % 8)));
        break;
      case 1:
        text.insert(at, 1, byte);
        break;
      case 2:
        if (at < text.size()) text.erase(at, 1);
        break;
      default:
        text.insert(at, 1, "()'\".,-+>$"[random() % 10]);
    }
  }
  return text;
}

std::string Nested(const std::string& text, int depth) {
  return std::string(static_cast<std::size_t>(depth), '(') + text +
         std::string(static_cast<std::size_t>(depth), ')');
}

TEST_F(Mutants, CompileAndEvaluateWithoutFault) {
  std::mt19937 random(20261207);
  for (int i = 0; i < 2000; ++i) {
    const std::string& seed = kSeeds[static_cast<std::size_t>(i) % kSeeds.size()];
    const std::string text = i % 50 == 0 ? Nested(Mutate(seed, random), 300) : Mutate(seed, random);
    ASSERT_EQ(exprprobe::Probe(text), "") << "mutant " << i << ": " << text;
  }
}

TEST_F(Mutants, SeedsAndTheirNestingsBehave) {
  for (const std::string& seed : kSeeds) {
    EXPECT_EQ(exprprobe::Probe(seed), "") << seed;
    EXPECT_EQ(exprprobe::Probe(Nested(seed, 300)), "") << seed;
    EXPECT_EQ(exprprobe::Probe(Nested(seed, 100)), "") << seed;
  }
}

}  // namespace
}  // namespace exprtest

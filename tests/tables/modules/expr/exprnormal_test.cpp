#include "tables/modules/expr/exprnormal.h"

#include <gtest/gtest.h>

#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

using dadav::NormalizeKeyExpression;

TEST(KeyNormaliser, StoredBytes) {
  EXPECT_EQ(NormalizeKeyExpression("upper(name) + dtos(born)"), "UPPER(NAME)+DTOS(BORN)");
  EXPECT_EQ(NormalizeKeyExpression("a .and.\tb"), "A.AND.B");
  EXPECT_EQ(NormalizeKeyExpression("name = 'a b'"), "NAME=\"a b\"");
  EXPECT_EQ(NormalizeKeyExpression("\"it's\" $ name"), "\"it's\"$NAME");
  EXPECT_EQ(NormalizeKeyExpression("'a\"b' + x"), "'a\"b'+X");
  EXPECT_EQ(NormalizeKeyExpression("m\xe4h + 'open"), "M\xe4H+'open");
  EXPECT_EQ(NormalizeKeyExpression(""), "");
}

class StoredKeys : public ExprTest {};

TEST_F(StoredKeys, NormalisedFormsCompileToTheSameCode) {
  using enginetest::Def;
  enginetest::NewTable(Path("keys.dbf"),
                       {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("BORN", 'D', 8),
                        Def("OK", 'L', 1), Def("A", 'L', 1), Def("B", 'L', 1)});
  dadav::Area()->alias = "KEYS";
  const char* texts[] = {
      "upper(name) + dtos(born)",
      "name = 'ab' .and. price > 100",
      "price > 0 .and. ok",
      "a .and. b .or. .not. ok",
      ".not. deleted()",
      "iif(a .and. b, 'x', \"y\")",
      "'a\"b' $ name",
      "\"it's\" $ name",
      "str(price, 8, 2) + ' ' + left(name, 3)",
      "keys->price * 2 > 1.5e2",
      "price = 1. .or. price = 2.",
      "dtoc(born) + cmonth(born)",
      "round(price, 1) ** 2 # 0",
      "a = .t. .and. price = 1 .and. price = 2.",
      "price > 0 .or. .not. a",
  };
  for (const char* text : texts) {
    const std::string stored = NormalizeKeyExpression(text);
    ExpectSameCode(stored, text);
    EXPECT_EQ(NormalizeKeyExpression(stored), stored);
  }
  EXPECT_EQ(Compile("'a\"b'")->literals, (std::vector<std::string>{"a\"b"}));
  EXPECT_NE(CompileError("A.AND"), "");
}

TEST_F(StoredKeys, NamesWithWindowsLettersReadBackRaised) {
  using enginetest::Def;
  enginetest::NewTable(Path("era.dbf"), {Def("\xC4RA", 'C', 4), Def("\xDFUM", 'N', 4)});
  for (const char* text : {"\xe4ra + 'x'", "\xdfum * 2", "upper(\xe4Ra)"})
    ExpectSameCode(NormalizeKeyExpression(text), text);
}

}  // namespace
}  // namespace exprtest

#include "tables/modules/expr/exprcompile.h"

#include <gtest/gtest.h>

#include "tables/modules/expr/exprlex.h"
#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

using dadav::CompiledExpr;

class Compiler : public ExprTest {};

struct Size {
  char type;
  int width, decimals, pool;
  bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Size& s) {
  return out << s.type << " " << s.width << "," << s.decimals << " pool " << s.pool;
}

Size SizeOf(const std::string& text) {
  Handle handle = Compile(text);
  if (handle == nullptr) return {'?', 0, 0, 0};
  return {handle->type, handle->width, handle->decimals, handle->poolSize};
}

TEST_F(Compiler, WidthDecimalsAndPoolFollowTheTokens) {
  PeopleTable(0);
  EXPECT_EQ(SizeOf("PRICE"), (Size{'N', 8, 2, 0}));
  EXPECT_EQ(SizeOf("1 + PRICE"), (Size{'N', 8, 2, 0}));
  EXPECT_EQ(SizeOf("PRICE + 1"), (Size{'N', 13, 2, 0}));
  EXPECT_EQ(SizeOf("SMALL"), (Size{'N', 13, 2, 0}));
  EXPECT_EQ(SizeOf("NAME"), (Size{'C', 10, 0, 11}));
  EXPECT_EQ(SizeOf("TRIM(NAME)"), (Size{'C', 10, 0, 11}));
  EXPECT_EQ(SizeOf("NAME + 'X'"), (Size{'C', 0, 0, 13}));
  EXPECT_EQ(SizeOf("UPPER(NAME)+DTOS(BORN)"), (Size{'C', 0, 0, 20}));
  EXPECT_EQ(SizeOf("STR(PRICE, 8, 2)"), (Size{'C', 0, 0, 256}));
  EXPECT_EQ(SizeOf("BORN"), (Size{'D', 8, 0, 0}));
  EXPECT_EQ(SizeOf("OK .AND. PRICE > 1"), (Size{'L', 1, 0, 0}));
}

std::string Window(const std::string& message, const std::string& window) {
  return "Error in expression : " + message + "\r\n" + window + "\r\n [AssignExpr]";
}

TEST_F(Compiler, ErrorsShowAWindowOfTheText) {
  std::string text;
  while (text.size() < 80) text += "1+";
  text += "@";
  while (text.size() < 200) text += "+1";
  EXPECT_EQ(CompileError(text), Window("Syntax error", "[..." + text.substr(30, 51) + "...]"));
  EXPECT_EQ(dadav::LastErrorCode, 351);
  EXPECT_EQ(CompileError(""), Window("Syntax error", "[]"));
  EXPECT_EQ(CompileError("1 +"), Window("Syntax error", "[1 +]"));
  const std::string long256 = "1" + std::string(254, ' ') + "1";
  EXPECT_EQ(CompileError(long256), Window("Syntax error", "[..." + long256.substr(205) + "]"));
  EXPECT_EQ(CompileError("1" + std::string(252, ' ') + "+1"), "");
  EXPECT_EQ(CompileError("'abc"), Window("Syntax error", "['abc]"));
  EXPECT_EQ(CompileError(std::string("1+\0@", 4)), Window("Syntax error", "[1+]"));
}

TEST_F(Compiler, TypeMismatchesOfEveryOperatorClass) {
  PeopleTable(0);
  const std::pair<const char*, const char*> cases[] = {
      {"1+.T.", "+"},      {"BORN+BORN", "+"},     {"'a'-1", "-"},           {"1-BORN", "-"},
      {"1*'a'", "*"},      {"1/.T.", "/"},         {"1^'a'", "** or ^"},     {"1**'a'", "** or ^"},
      {"1='a'", "="},      {"1$'a'", "$"},         {"1=='a'", "=="},         {"1>'a'", ">"},
      {".T.<.F.", "<"},    {"1<>'a'", "<>"},       {"1#'a'", "<>"},          {"1<=.T.", "<="},
      {"1>=.T.", ">="},    {"1 .OR. .T.", ".OR."}, {".T. .AND. 1", ".AND."}, {".NOT. 1", ".NOT."},
      {"+'a'", "Unary +"}, {"-'a'", "Unary -"},    {"-BORN", "Unary -"},
  };
  for (const auto& [text, op] : cases) {
    const std::string message = CompileError(text);
    EXPECT_EQ(
        message.substr(0, message.find('\r')),
        std::string("Error in expression : PARSER:Type mismatch in expression \"") + op + "\"")
        << text;
  }
  const std::pair<const char*, const char*> calls[] = {
      {"LEFT(1, 1)", "LEFT"},   {"UPPER(PRICE)", "UPPER"},        {"IIF(1, 'a', 'b')", "IIF"},
      {"IIF(OK, 1, 2)", "IIF"}, {"MAX(1, BORN)", "MAX"},          {"DTOS(NAME)", "DTOS"},
      {"STR(1, 'a')", "STR"},   {"SUBS(NAME, '1', 2)", "SUBSTR"},
  };
  for (const auto& [text, name] : calls) {
    EXPECT_EQ(CompileError(text),
              Window(std::string("PARSER:Type mismatch in function \"") + name + "\"",
                     std::string("[") + text + "]"))
        << text;
  }
}

TEST_F(Compiler, ArgumentCountsAreGrammar) {
  for (const char* text :
       {"ABS(1, 2)", "SUBSTR('a', 1)", "STR(1, 2, 3, 4)", "RECNO", "1E", "1E5E", "UNKNOWN"})
    EXPECT_EQ(CompileError(text), Window("Syntax error", std::string("[") + text + "]"));
  EXPECT_EQ(CompileError("STR(1)"), "");
  EXPECT_EQ(CompileError("RECNO()"), "");
}

std::vector<std::int32_t> Ops(const std::string& text) {
  Handle handle = Compile(text);
  std::vector<std::int32_t> ops;
  if (handle != nullptr) {
    for (const dadav::CodeCell& cell : handle->code) ops.push_back(cell.op);
  }
  return ops;
}

TEST_F(Compiler, AbbreviationsAndFieldsNamedLikeFunctions) {
  using enginetest::Def;
  enginetest::NewTable(Path("dated.dbf"), {Def("DATE", 'D', 8), Def("UPPER", 'C', 4)});
  EXPECT_EQ(Ops("DELE()"), (std::vector<std::int32_t>{272, -1}));
  EXPECT_EQ(Ops("REPL('a', 3)"), (std::vector<std::int32_t>{0, 0, 301, -1}));
  EXPECT_EQ(Ops("replicat('a', 3)"), (std::vector<std::int32_t>{0, 0, 301, -1}));
  EXPECT_NE(CompileError("REP('a', 3)"), "");
  EXPECT_NE(CompileError("REPLICATES('a', 3)"), "");
  // Only functions shorten: ".NOT OK" would store as ".NOT.OK", which reads as another text.
  EXPECT_NE(CompileError(".NOT .NOT. .T."), "");
  EXPECT_NE(CompileError(".T. .AND .T."), "");
  EXPECT_EQ(Ops("DATE"), (std::vector<std::int32_t>{0, 324, -1}));
  EXPECT_EQ(Ops("DATE ( )"), (std::vector<std::int32_t>{270, -1}));
  EXPECT_EQ(Ops("UPPER(UPPER)"), (std::vector<std::int32_t>{0, 321, 318, -1}));
}

TEST_F(Compiler, NumbersAndAliasesKeepTheirMeaning) {
  using enginetest::Def;
  enginetest::NewTable(Path("my.dbf"), {Def("X", 'N', 5)});
  dadav::Area()->alias = "MY.DATA";
  for (const char* text : {"1.5", "1.", "1.E5", "15E-1"})
    EXPECT_EQ(CompileError(text) == "", std::string(text) != "15E-1");
  EXPECT_EQ(Compile("1.E5")->code[0].number, 1e5);
  EXPECT_EQ(Ops("MY.DATA->X"), (std::vector<std::int32_t>{0, 0, 327, -1}));
  EXPECT_EQ(Compile("my.data->x")->code[1].integer, 1);
  EXPECT_NE(CompileError("MY.DATA ->X"), "");
  EXPECT_NE(CompileError("OTHER->X"), "");
}

TEST_F(Compiler, NestingIsBoundedWithoutDeepRecursion) {
  const auto nested = [](int depth) {
    return std::string(static_cast<std::size_t>(depth), '(') + "1" +
           std::string(static_cast<std::size_t>(depth), ')');
  };
  EXPECT_EQ(CompileError(nested(120)), "");
  EXPECT_EQ(CompileError(std::string(150, '-') + "1"), "");
  EXPECT_EQ(CompileError(std::string(151, '-') + "1").substr(0, 45),
            "Error in expression : Parser_stack_overflow\r\n");
  EXPECT_EQ(CompileError(std::string(200, '(')).substr(0, 45),
            "Error in expression : Parser_stack_overflow\r\n");
  std::string calls;
  for (int i = 0; i < 40; ++i) calls += "ABS(";
  calls += "1" + std::string(40, ')');
  EXPECT_EQ(CompileError(calls), "");
}

TEST_F(Compiler, FailuresLeaveNothingAndHandlesFreeOnce) {
  EXPECT_THROW(Compile("1 + 'a'"), dadav::EDadavError);
  EXPECT_THROW(Compile(std::string(300, '(')), dadav::EDadavError);
  CompiledExpr* handle = dadav::AssignExpr("'abc' + 'd'");
  ASSERT_NE(handle, nullptr);
  std::string text;
  EXPECT_EQ(dadav::ExprText(handle), "'abc' + 'd'");
  CompiledExpr* copy = handle;
  dadav::FreeExpr(handle);
  EXPECT_EQ(handle, nullptr);
  dadav::FreeExpr(copy);
  EXPECT_EQ(dadav::ExprText(copy), "");
  CompiledExpr stranger;
  CompiledExpr* unknown = &stranger;
  dadav::FreeExpr(unknown);
  EXPECT_EQ(unknown, &stranger);
}

TEST_F(Compiler, TheStartFillsTheParserHooks) {
  EXPECT_TRUE(dadav::ParserPresent);
  std::string text = "1 + 2";
  CompiledExpr* handle = dadav::ParserHooks.compileExpr(text);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(*static_cast<const double*>(dadav::ParserHooks.evalExpr(handle)), 3);
  EXPECT_EQ(dadav::ParserHooks.exprText(handle), "1 + 2");
  {
    dadav::CurrentExprScope selected(handle);
    EXPECT_EQ(*static_cast<const double*>(dadav::EvalCurrentExprHook()), 3);
  }
  EXPECT_EQ(dadav::EvalCurrentExprHook(), nullptr);
  dadav::ParserHooks.freeExpr(handle);
  EXPECT_EQ(handle, nullptr);
}

}  // namespace
}  // namespace exprtest

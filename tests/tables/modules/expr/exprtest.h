#pragma once
// Shared fixture of the expression tests: the engine started with the expression module, a
// private folder and a table with every field type.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tables/core/dbf4hooks.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprstart.h"
#include "tests/tables/core/enginetest.h"

namespace exprtest {

struct FreeHandle {
  void operator()(dadav::CompiledExpr* expr) const { dadav::FreeExpr(expr); }
};
using Handle = std::unique_ptr<dadav::CompiledExpr, FreeHandle>;

inline Handle Compile(const std::string& text) {
  return Handle(dadav::AssignExpr(text));
}

// Compiles with errors only recorded; the message, or "" when it compiled.
inline std::string CompileError(const std::string& text) {
  const bool old = dadav::SetReportErrors(false);
  Handle handle = Compile(text);
  dadav::SetReportErrors(old);
  if (handle != nullptr) return "";
  return dadav::TakeLastMessage();
}

// Both texts compile to the same operations, constants, literal texts and sizes.
inline void ExpectSameCode(const std::string& stored, const std::string& typed) {
  Handle a = Compile(stored);
  Handle b = Compile(typed);
  ASSERT_NE(a, nullptr) << stored;
  ASSERT_NE(b, nullptr) << typed;
  EXPECT_EQ(a->code, b->code) << stored;
  EXPECT_EQ(a->literals, b->literals) << stored;
  EXPECT_EQ(std::tuple(a->type, a->width, a->decimals, a->poolSize),
            std::tuple(b->type, b->width, b->decimals, b->poolSize))
      << stored;
}

class ExprTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    dadav::SetTodayProc(&enginetest::FixedToday);
    dadav::EngineStart({&dadav::ExprModuleStart});
    dadav::SetExceptionMode(true);
    dadav::SetReportErrors(true);
    dadav::CenturyOn = false;
    dadav::SetDateFormat(0);
    dadav::DecimalChar = '.';
  }

  // NAME C(10), PRICE N(8,2), SMALL N(3,2), BORN D, OK L, COUNT N(10,0), in area 1.
  void PeopleTable(int records, const std::function<void(int)>& fill = {}) {
    using enginetest::Def;
    enginetest::NewTable(Path("people.dbf"),
                         {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("SMALL", 'N', 3, 2),
                          Def("BORN", 'D', 8), Def("OK", 'L', 1), Def("COUNT", 'N', 10)},
                         records, fill);
  }
};

}  // namespace exprtest

#include "tables/modules/expr/exprstart.h"

#include "tables/core/dbf4hooks.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/expreval.h"

namespace dadav {

void ExprModuleStart() {
  ParserHooks.compileExpr = &CompileExpr;
  ParserHooks.freeExpr = &FreeExpr;
  ParserHooks.evalExpr = &EvalExpr;
  ParserHooks.exprText = &ExprText;
  ParserPresent = true;
  EvalCurrentExprHook = &EvalCurrentExpr;
}

}  // namespace dadav

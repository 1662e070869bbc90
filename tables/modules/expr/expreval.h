#pragma once
// Running a compiled expression on the current records of the open work areas. The result
// points into the expression and stays valid until its next evaluation: the text (C, M) at
// its pool's base, else the 8-byte float (N, D) or the 32-bit logical (L).

#include "tables/modules/expr/exprcode.h"

namespace dadav {

// Chooses the steps the evaluator takes through the handle's code; the compiler calls it once.
void PlanSteps(CompiledExpr& expr);
const void* EvalCompiled(CompiledExpr* handle);
const void* EvalExpr(CompiledExpr*& handle);
// Evaluates the expression the caller selected with a CurrentExprScope; nil when none is.
const void* EvalCurrentExpr();

// Selects the expression EvalCurrentExpr evaluates, for the scope's lifetime.
class CurrentExprScope {
 public:
  explicit CurrentExprScope(CompiledExpr* expr);
  ~CurrentExprScope();
  CurrentExprScope(const CurrentExprScope&) = delete;
  CurrentExprScope& operator=(const CurrentExprScope&) = delete;

 private:
  CompiledExpr* previous_;
};

}  // namespace dadav

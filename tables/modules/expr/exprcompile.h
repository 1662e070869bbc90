#pragma once
// Compiling expression texts into CompiledExpr handles, and their lifetime. Every live handle
// is registered, so freeing an unknown or already freed handle does nothing.

#include <string>
#include <string_view>

#include "tables/modules/expr/exprcode.h"

namespace dadav {

// The handle, or nil after error 351 (with the message and a window of the text) or 217.
CompiledExpr* AssignExpr(std::string_view text);
CompiledExpr* CompileExpr(std::string& text);
void FreeExpr(CompiledExpr*& handle);
std::string ExprText(CompiledExpr*& handle);
bool IsLiveExpr(const CompiledExpr* handle);

// Deeper nesting of parentheses, calls and unary operators is refused.
constexpr int kMaxNesting = 150;

}  // namespace dadav

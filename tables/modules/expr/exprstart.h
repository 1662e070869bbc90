#pragma once
// Registration of the expression module with the table engine: pass ExprModuleStart to
// EngineStart.

namespace dadav {

void ExprModuleStart();

}  // namespace dadav

#include "tables/core/dbf4hooks.h"

namespace dadav {

ParserHookTable ParserHooks;
bool ParserPresent = false;
EvalCurrentExprProc EvalCurrentExprHook = nullptr;
IndexHookTable IndexHooks;
bool IndexPresent = false;
MemoHookTable MemoHooks;
VFileRequestProc VFileHook = nullptr;

void ClearHookTables() {
  ParserHooks = ParserHookTable{};
  ParserPresent = false;
  EvalCurrentExprHook = nullptr;
  IndexHooks = IndexHookTable{};
  IndexPresent = false;
  MemoHooks = MemoHookTable{};
  VFileHook = nullptr;
}

void VFileRequest(WorkArea& area, std::uint16_t operation, std::int32_t recordNumber) {
  area.vfile.operation = operation;
  area.vfile.recordNumber = recordNumber;
  if (VFileHook != nullptr) VFileHook(area);
}

}  // namespace dadav

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

bool Indexed() {
  return IndexPresent && IndexHooks.indexActive != nullptr && IndexHooks.indexActive();
}

void VFileRequest(WorkArea& area, std::uint16_t operation, std::int32_t recordNumber) {
  area.vfile.operation = operation;
  area.vfile.recordNumber = recordNumber;
  if (VFileHook != nullptr) VFileHook(area);
}

IndexBracket::IndexBracket(bool active, void (*proc)(bool)) : proc_(active ? proc : nullptr) {
  if (proc_ != nullptr) proc_(true);
}

IndexBracket::~IndexBracket() {
  if (proc_ != nullptr) proc_(false);
}

}  // namespace dadav

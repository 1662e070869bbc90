#include "tables/modules/memo/memostart.h"

#include <limits>

#include "tables/core/dbf4hooks.h"
#include "tables/modules/memo/memocopy.h"
#include "tables/modules/memo/memodevice.h"
#include "tables/modules/memo/memoopen.h"
#include "tables/modules/memo/memopack.h"
#include "tables/modules/memo/memowrite.h"

namespace dadav {
namespace {

// A reference the native record can hold; a larger one never comes out of a write.
std::int32_t NativeReference(std::int64_t block) {
  return block > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::int32_t>(block);
}

std::unique_ptr<MemoLineReader> AssignMemoHook(std::int32_t block) {
  return AssignMemo(block);
}

std::int32_t CopyMemoAsOld(std::uint8_t sourceArea, std::int32_t reference) {
  return NativeReference(CopyMemo(sourceArea, reference, false));
}

std::int32_t CopyMemoAsNew(std::uint8_t sourceArea, std::int32_t reference) {
  return NativeReference(CopyMemo(sourceArea, reference, true));
}

std::int32_t AddMemoHook(const std::string& text) {
  return NativeReference(AddMemo(text));
}

}  // namespace

void MemoStart() {
  MemoHooks.assignMemo = &AssignMemoHook;
  MemoHooks.packMemofile = &PackMemofile;
  MemoHooks.openMemofile = &OpenMemofile;
  MemoHooks.closeMemofile = &CloseMemofile;
  MemoHooks.copyMemoAsOld = &CopyMemoAsOld;
  MemoHooks.copyMemoAsNew = &CopyMemoAsNew;
  MemoHooks.reopenMemofile = &ReopenMemofile;
  MemoHooks.addMemo = &AddMemoHook;
}

}  // namespace dadav

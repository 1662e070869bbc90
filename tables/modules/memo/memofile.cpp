#include "tables/modules/memo/memofile.h"

#include <algorithm>
#include <cmath>

#include "platform/files/codepage.h"
#include "platform/files/dirservices.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/memo/memoformat.h"

namespace dadav {
namespace {

constexpr std::uint64_t kLockByte = 10;
constexpr std::size_t kReadStep = 512;
constexpr std::size_t kLargestFirstRead = 65536;

}  // namespace

MemoControl* CurrentMemo() {
  return MemoOfArea(CurrentArea());
}

std::shared_ptr<MemoControl> CurrentMemoShared() {
  WorkArea* area = Area();
  return area != nullptr ? std::static_pointer_cast<MemoControl>(area->memoState) : nullptr;
}

MemoControl* MemoOfArea(std::uint8_t area) {
  if (area < 1 || area > kAreaCount || !WorkAreaTable[area]) return nullptr;
  return static_cast<MemoControl*>(WorkAreaTable[area]->memoState.get());
}

bool CheckMemoArea(const std::string& tag) {
  if (NoDbfInUse(tag.c_str())) return true;
  if (CurrentMemo() != nullptr) return false;
  ReportError(1019, Area()->fileName + " No Memo Field [" + tag + "]");
  return true;
}

void ReportMemoError(MemoControl* memo, std::uint16_t code, const std::string& text) {
  if (memo != nullptr && memo->lockHeld) {
    LockRegion(true, memo->file.Descriptor(), kLockByte, 1);
    memo->lockHeld = false;
  }
  ReportError(code, text);
}

bool MemoShared(const MemoControl& memo) {
  return !memo.file.ShareExclusive();
}

int MemoFileSize(const MemoControl& memo, std::uint64_t& size) {
  if (!MemoShared(memo)) {
    size = memo.cachedSize;
    return 0;
  }
  return memo.file.Size(size);
}

int MemoRead(const MemoControl& memo, std::uint64_t offset, void* buffer, std::size_t n,
             std::size_t& done) {
  return memo.file.ReadAt(offset, buffer, n, done);
}

int MemoWrite(MemoControl& memo, std::uint64_t offset, const void* buffer, std::size_t n) {
  std::size_t done = 0;
  int code = memo.file.WriteAt(offset, buffer, n, done);
  if (code == 0 && done < n) code = 101;
  memo.cachedSize = std::max(memo.cachedSize, offset + done);
  return code;
}

bool DiskHasRoom(const MemoControl& memo, std::uint64_t bytes) {
  std::string dir, name, ext;
  FSplit(memo.fileName, dir, name, ext);
  const long double free = platform::DiskFreeBytes(dir.empty() ? "." : dir);
  if (free < 0) return true;
  const long double freeKiB = std::floor(free / 1024);
  return freeKiB > static_cast<long double>(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0));
}

void NoteRecordBytes(MemoControl& memo, std::uint64_t bytes) {
  const std::uint64_t rounded = (bytes / kReadStep + 1) * kReadStep;
  memo.firstRead = static_cast<std::size_t>(std::min<std::uint64_t>(rounded, kLargestFirstRead));
}

void MemoToEngine(const MemoControl& memo, char* bytes, std::size_t n) {
  if (!memo.tableIsOem) return;
  for (std::size_t i = 0; i < n; ++i) {
    bytes[i] = static_cast<char>(platform::OemToAnsiChar(static_cast<std::uint8_t>(bytes[i])));
  }
}

void EngineToMemo(const MemoControl& memo, char* bytes, std::size_t n) {
  if (!memo.tableIsOem) return;
  for (std::size_t i = 0; i < n; ++i) {
    bytes[i] = static_cast<char>(platform::AnsiToOemChar(static_cast<std::uint8_t>(bytes[i])));
  }
}

AreaSelection::AreaSelection(std::uint8_t area) : previous_(CurrentAreaNumber) {
  CurrentAreaNumber = area;
}

AreaSelection::~AreaSelection() {
  CurrentAreaNumber = previous_;
}

}  // namespace dadav

#include "tables/modules/memo/memolock.h"

#include <algorithm>
#include <limits>

#include "tables/core/dbf4lock.h"
#include "tables/core/tzerror.h"
#include "tables/modules/memo/memoformat.h"

namespace dadav {
namespace {

constexpr std::uint64_t kLockByte = 10;
// Another program holds the byte only for one write; a holder the system set aside for a while
// still gets through.
constexpr std::uint32_t kLockWaitMs = 550;
constexpr std::uint64_t kCounterOffset = 32;
// The counter lies inside the header block only when a block reaches past it.
constexpr std::uint16_t kCounterBlockSize = 36;
// A new type-0x83 file: its header block and the 0x1A after it.
constexpr std::uint64_t kNewLayoutAFile = 513;

std::uint64_t RoundUp(std::uint64_t value, std::uint16_t blockSize) {
  return NextFreeBlock(value, blockSize) * blockSize;
}

int AddToCounter(MemoControl& memo) {
  if (!ReusesRuns(memo.memoType) || memo.blocksRead == 0 || memo.blockSize < kCounterBlockSize)
    return 0;
  std::uint8_t bytes[4] = {};
  std::size_t done = 0;
  int code = MemoRead(memo, kCounterOffset, bytes, 4, done);
  if (code != 0) return code;
  const auto added = static_cast<std::uint32_t>(GetLittle32(bytes) + memo.blocksRead);
  PutLittle32(bytes, added);
  return MemoWrite(memo, kCounterOffset, bytes, 4);
}

}  // namespace

std::int64_t AppendPosition::Block(const MemoControl& memo) const {
  return static_cast<std::int64_t>(recordStart / memo.blockSize);
}

AppendPosition EndPosition(const MemoControl& memo, std::uint64_t size) {
  AppendPosition position;
  if (memo.memoType == kMemoTypeA && size == kNewLayoutAFile) {
    position.writeFrom = position.recordStart = kNewLayoutAFile - 1;
  } else {
    position.writeFrom = size;
    position.recordStart = RoundUp(std::max(size, HeaderBytes(memo.memoType)), memo.blockSize);
  }
  return position;
}

bool LockMemoFile(MemoControl& memo, const std::string& tag) {
  if (!MemoShared(memo) || memo.lockHeld) return true;
  if (WaitForRegion(memo.file.Descriptor(), memo.turnstileLook, kLockByte, 1, true, kLockWaitMs) ==
      0) {
    memo.lockHeld = true;
    return true;
  }
  ReportMemoError(&memo, 1017, memo.fileName + " [" + tag + "]");
  return false;
}

bool UnlockMemoFile(MemoControl& memo) {
  if (!memo.lockHeld) return true;
  memo.lockHeld = false;
  if (LockRegion(true, memo.file.Descriptor(), kLockByte, 1) == 0) return true;
  ReportMemoError(&memo, 1018, memo.fileName + " [UnlockMemoFile]");
  return false;
}

bool LockMemoPadAndSeekEOF(MemoControl& memo, const std::string& tag, AppendPosition& position) {
  if (!LockMemoFile(memo, tag)) return false;
  std::uint64_t size = 0;
  if (const int code = MemoFileSize(memo, size); code != 0) {
    ReportMemoError(&memo, static_cast<std::uint16_t>(code), memo.fileName + " [" + tag + "]");
    return false;
  }
  position = EndPosition(memo, size);
  // A memo field and the native record hold the block number in 32 bits.
  if (position.Block(memo) > std::numeric_limits<std::int32_t>::max()) {
    ReportMemoError(&memo, 1005, memo.fileName + " [" + tag + "]");
    return false;
  }
  return true;
}

int WriteNextFreeBlock(MemoControl& memo, std::uint64_t size) {
  const auto next = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(NextFreeBlock(size, memo.blockSize), 0xFFFFFFFFu));
  const std::array<std::uint8_t, 4> bytes = NextFreeBytes(memo.memoType, next);
  return MemoWrite(memo, 0, bytes.data(), bytes.size());
}

bool UpdateMemoHeader(MemoControl& memo) {
  std::uint64_t size = 0;
  int code = MemoFileSize(memo, size);
  if (code == 0) code = WriteNextFreeBlock(memo, size);
  if (code == 0) code = AddToCounter(memo);
  memo.blocksRead = 0;
  if (code != 0) {
    ReportMemoError(&memo, code == 100 ? 30 : 29, memo.fileName + " [UpdateMemoHeader()]");
    return false;
  }
  return UnlockMemoFile(memo);
}

int WriteGroupHeader(MemoControl& memo, std::uint64_t offset, std::uint64_t dataLength) {
  const auto header = GroupHeader(memo.memoType, static_cast<std::uint32_t>(dataLength));
  return MemoWrite(memo, offset, header.data(), header.size());
}

}  // namespace dadav

#include "tables/core/dbf4lock.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/files/filelock.h"
#include "platform/files/lockwait.h"
#include "platform/system/clock.h"
#include "platform/ui/backend.h"
#include "tables/core/dbf4area.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"

namespace dadav {
namespace {

// Waits are cut into slices, between which the windows are painted.
constexpr std::uint32_t kWaitSliceMs = 250;

// The system wakes a program that waits for a lock when the holder releases it, but does not hand
// it the lock: a holder that asks again at once mostly gets it first. So our programs take turns
// through a turnstile beside each lock, the same range 4 GiB higher, above the 32-bit offsets
// that other xBase programs lock: a program that must wait holds the turnstile until it has the
// lock, and one that finds the turnstile held waits behind its holder before asking for the lock.
// Turnstiles of a table: 0x140000000 (database byte), 0x140000001 (append byte), 0x13FFFFFFF
// (file lock) and the records' ranges from 0x140000000 + header length; of a semaphore file:
// 0x100000001..0x100000004; of a memo file: 0x10000000A.
constexpr std::uint64_t kTurnstileShift = std::uint64_t{1} << 32;

struct Range {
  std::uint64_t offset;
  std::uint64_t length;
};

Range TurnstileOf(Range lock) {
  return {lock.offset + kTurnstileShift, lock.length};
}

// The file lock covers the append byte and every record: the same range 4 GiB higher would cover
// their turnstiles too, and a program waiting for the file lock would keep out every program
// that asks for a free record. Its turnstile is the byte below the database byte's instead.
constexpr Range kFileLockRange{kLockBase + 1, kFileLockLength};
constexpr Range kFileLockTurnstile{kLockBase - 1 + kTurnstileShift, 1};

// A look at a turnstile costs a system call, as much as the lock itself. A program that found
// nobody waiting at a turnstile of a file a moment ago takes that file's locks without looking
// again, so that a loop of locks, such as the two semaphore locks of every SKIP of a shared
// table, pays for the look once in a while; a program that has begun to wait meanwhile has the
// lock at the holder's first release after that moment.
constexpr std::chrono::nanoseconds kTurnstileLookInterval = std::chrono::microseconds(200);

bool NobodyWaits(int fd, TurnstileLook& look, Range turnstile) {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  if (now - look.nobodyWaitingAt < kTurnstileLookInterval.count()) return true;
  if (platform::RangeLockedElsewhere(fd, turnstile.offset, turnstile.length)) return false;
  look.nobodyWaitingAt = now;
  return true;
}

std::uint64_t RecordLockOffset(const WorkArea& area, std::int32_t n) {
  return kLockBase + static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(n - 1) * area.recordLength;
}

// A read-only descriptor can only hold read locks.
bool LockExclusively(const WorkArea& area) {
  return area.file.Writable();
}

// Takes the range, waiting until `milliseconds` after `start`.
int WaitInSlices(int fd, Range range, bool exclusive, std::uint32_t start,
                 std::uint32_t milliseconds) {
  for (;;) {
    const std::uint32_t left = milliseconds - std::min(TickCount() - start, milliseconds);
    const int code = platform::WaitForRange(fd, range.offset, range.length, exclusive,
                                            std::min(left, kWaitSliceMs));
    if (code != 33 || left <= kWaitSliceMs || Halting) return code;
    platform::ProcessEventsWithoutInput();
  }
}

int WaitInTurn(int fd, TurnstileLook& look, Range lock, Range turnstile, bool exclusive,
               std::uint32_t milliseconds) {
  // Mostly nobody waits and the lock is free: the wait's clock is read only when not.
  const bool nobodyWaits = NobodyWaits(fd, look, turnstile);
  if (nobodyWaits) {
    const int code = platform::LockRange(fd, lock.offset, lock.length, exclusive);
    if (code != 33) return code;
  }
  const std::uint32_t start = TickCount();
  if (nobodyWaits) {
    const std::uint32_t outOfTurn = std::min(milliseconds, kWaitOutOfTurnMs);
    const int code = platform::WaitForRange(fd, lock.offset, lock.length, exclusive, outOfTurn);
    if (code != 33 || outOfTurn == milliseconds) return code;
  }
  int code = WaitInSlices(fd, turnstile, exclusive, start, milliseconds);
  if (code != 0) return code;
  code = WaitInSlices(fd, lock, exclusive, start, milliseconds);
  platform::UnlockRange(fd, turnstile.offset, turnstile.length);
  return code;
}

int WaitOutOfTurn(int fd, Range lock, bool exclusive, std::uint32_t milliseconds) {
  const int code = platform::LockRange(fd, lock.offset, lock.length, exclusive);
  if (code != 33) return code;
  return WaitInSlices(fd, lock, exclusive, TickCount(), milliseconds);
}

bool HoldsLockOfTable(const WorkArea& area) {
  return area.lockState != kNoLock || area.firstByteLocked;
}

int TakeTableRange(WorkArea& area, Range lock, Range turnstile, std::uint32_t milliseconds) {
  const int fd = area.file.Descriptor();
  if (HoldsLockOfTable(area)) return WaitOutOfTurn(fd, lock, LockExclusively(area), milliseconds);
  return WaitInTurn(fd, area.turnstileLook, lock, turnstile, LockExclusively(area), milliseconds);
}

bool TakeRange(WorkArea& area, Range lock, Range turnstile) {
  if (area.exclusive) return true;
  return TakeTableRange(area, lock, turnstile, kRecordLockWaitMs) == 0;
}

bool TakeRange(WorkArea& area, Range lock) {
  return TakeRange(area, lock, TurnstileOf(lock));
}

std::uint32_t ReleaseRange(const WorkArea& area, std::uint64_t offset, std::uint64_t length) {
  if (area.exclusive) return 0;
  return LockRegion(true, area.file.Descriptor(), offset, length);
}

bool RefuseVirtual(const WorkArea& area, const char* tag) {
  if (!area.vfile.isVirtual) return false;
  ReportError(1100, tag);
  return true;
}

// Releases record lock n; 0 or the operating system's code.
std::uint32_t ReleaseRecord(WorkArea& area, std::int32_t n) {
  std::uint32_t code = ReleaseRange(area, RecordLockOffset(area, n), area.recordLength);
  auto it = std::find(area.recordLocks.begin(), area.recordLocks.end(), n);
  if (it != area.recordLocks.end()) area.recordLocks.erase(it);
  if (area.recordLocks.empty()) area.lockState = kNoLock;
  return code;
}

bool TakeWholeLock(const char* guard, LockState kind, Range lock, Range turnstile) {
  if (NoDbfInUse(guard)) return false;
  WorkArea& area = *Area();
  if (RefuseVirtual(area, kind == kFileLock ? " [FLock]" : " [ALock]")) return false;
  if (area.lockState == kind) return true;
  if (area.lockState != kNoLock) return false;
  if (!TakeRange(area, lock, turnstile)) return false;
  area.lockState = kind;
  return true;
}

}  // namespace

std::uint32_t LockRegion(bool unlock, int fd, std::uint64_t offset, std::uint64_t length,
                         bool exclusive) {
  int code = unlock ? platform::UnlockRange(fd, offset, length)
                    : platform::LockRange(fd, offset, length, exclusive);
  return static_cast<std::uint32_t>(code);
}

int WaitForRegion(int fd, TurnstileLook& look, std::uint64_t offset, std::uint64_t length,
                  bool exclusive, std::uint32_t milliseconds) {
  const Range lock{offset, length};
  return WaitInTurn(fd, look, lock, TurnstileOf(lock), exclusive, milliseconds);
}

int WaitForTableRegion(WorkArea& area, std::uint64_t offset, std::uint64_t length,
                       std::uint32_t milliseconds) {
  const Range lock{offset, length};
  return TakeTableRange(area, lock, TurnstileOf(lock), milliseconds);
}

void WaitMs(std::int32_t milliseconds) {
  std::uint32_t wanted = static_cast<std::uint32_t>(
      milliseconds < 0 ? -static_cast<std::int64_t>(milliseconds) : milliseconds);
  std::uint32_t start = TickCount();
  for (;;) {
    std::uint32_t now = TickCount();
    if (now < start || now - start >= wanted || Halting) return;
    if (wanted >= 10) platform::ProcessEventsWithoutInput();
    platform::SleepMs(std::min<std::uint32_t>(wanted - (now - start), 5));
  }
}

bool LockFirstByte() {
  if (NoDbfInUse("LockFirstByte")) return false;
  WorkArea& area = *Area();
  if (!TakeRange(area, {kLockBase, 1})) return false;
  area.firstByteLocked = true;
  return true;
}

void UnlockFirstByte() {
  if (NoDbfInUse("UnlockFirstByte")) return;
  WorkArea& area = *Area();
  area.firstByteLocked = false;
  std::uint32_t code = ReleaseRange(area, kLockBase, 1);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Error attempting to UNLOCK file " +
                                                      area.fileName + " in Workarea " +
                                                      std::to_string(CurrentArea()));
  }
}

bool FLock() {
  return TakeWholeLock("FLock", kFileLock, kFileLockRange, kFileLockTurnstile);
}
bool ALock() {
  const Range appendByte{kAppendByte, 1};
  return TakeWholeLock("ALock", kAppendLock, appendByte, TurnstileOf(appendByte));
}

bool RLock() {
  if (NoDbfInUse("RLock")) return false;
  WorkArea& area = *Area();
  if (RefuseVirtual(area, " [RLock]")) return false;
  const std::int32_t n = area.recNo;
  if (area.lockState == kRecordLocks &&
      std::find(area.recordLocks.begin(), area.recordLocks.end(), n) != area.recordLocks.end()) {
    return true;
  }
  if (area.lockState == kFileLock || area.lockState == kAppendLock) return false;
  if (n < 1) return false;
  if (!TakeRange(area, {RecordLockOffset(area, n), area.recordLength})) return false;
  area.recordLocks.push_front(n);
  area.lockState = kRecordLocks;
  return true;
}

bool IsLocked(std::int32_t record) {
  if (NoDbfInUse("IsLocked")) return false;
  WorkArea& area = *Area();
  if (RefuseVirtual(area, "[IsLocked]")) return false;
  if (area.lockState == kFileLock) return true;
  return std::find(area.recordLocks.begin(), area.recordLocks.end(), record) !=
         area.recordLocks.end();
}

bool UnlockRec(std::int32_t selector) {
  if (Area() == nullptr) return true;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  auto refuse = [](const std::string& message) {
    LastErrorCode = 220;
    LastErrorMessage = message;
    PendingErrorCode = 220;
    return false;
  };
  if (selector >= 1) {
    if (std::find(area.recordLocks.begin(), area.recordLocks.end(), selector) ==
        area.recordLocks.end()) {
      return refuse("Record not locked. [UnlockRec(" + std::to_string(selector) + ")]");
    }
    LastErrorCode = static_cast<std::uint16_t>(ReleaseRecord(area, selector));
    return LastErrorCode == 0;
  }
  if ((selector == -1 || selector == -2) && !area.recordLocks.empty()) {
    std::int32_t n = selector == -1 ? area.recordLocks.back() : area.recordLocks.front();
    LastErrorCode = static_cast<std::uint16_t>(ReleaseRecord(area, n));
    return LastErrorCode == 0;
  }
  if (selector == -3) {
    bool ok = true;
    while (!area.recordLocks.empty()) {
      std::uint32_t code = ReleaseRecord(area, area.recordLocks.front());
      if (code != 0) {
        ok = false;
        LastErrorCode = static_cast<std::uint16_t>(code);
      }
    }
    return ok;
  }
  if (selector == -1 || selector == -2) return true;
  return refuse("[UnlockRec(" + std::to_string(selector) + ")]");
}

void Unlock() {
  if (NoDbfInUse("Unlock")) return;
  LastErrorCode = 0;
  WorkArea& area = *Area();
  if (area.vfile.isVirtual || area.lockState == kNoLock) return;
  if (area.lockState == kRecordLocks) {
    UnlockRec(-3);
  } else if (area.lockState == kFileLock) {
    LastErrorCode = static_cast<std::uint16_t>(ReleaseRange(area, kLockBase + 1, kFileLockLength));
  } else {
    LastErrorCode = static_cast<std::uint16_t>(ReleaseRange(area, kAppendByte, 1));
  }
  area.lockState = kNoLock;
}

}  // namespace dadav

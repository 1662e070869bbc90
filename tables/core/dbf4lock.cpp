#include "tables/core/dbf4lock.h"

#include <algorithm>
#include <array>
#include <atomic>
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
// Turnstiles of a table: 0x140000000 (database byte), 0x140000001 (append byte), 0x140000001 for
// 0x3FFFFFFF bytes (file lock) and the records' ranges from 0x140000000 + header length; of a
// semaphore file: 0x100000001..0x100000004; of a memo file: 0x10000000A.
constexpr std::uint64_t kTurnstileShift = std::uint64_t{1} << 32;

// A look at a turnstile costs a system call, as much as the lock itself. A program that found
// nobody waiting at a turnstile of a file a moment ago takes that file's locks without looking
// again, so that a loop of locks, such as the two semaphore locks of every SKIP of a shared
// table, pays for the look once in a while; a program that has begun to wait meanwhile has the
// lock at the holder's first release after that moment.
constexpr std::chrono::nanoseconds kTurnstileLookInterval = std::chrono::microseconds(200);
// The moment of the last look that found nobody waiting, by descriptor (steady clock, in
// nanoseconds); a descriptor beyond the table looks every time.
std::array<std::atomic<std::int64_t>, 256> LastLookFoundNobody{};

bool NobodyWaits(int fd, std::uint64_t turnstile, std::uint64_t length) {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  const bool remembered = fd >= 0 && static_cast<std::size_t>(fd) < LastLookFoundNobody.size();
  auto& last = LastLookFoundNobody[remembered ? static_cast<std::size_t>(fd) : 0];
  if (remembered && now - last.load(std::memory_order_relaxed) < kTurnstileLookInterval.count()) {
    return true;
  }
  if (platform::RangeLockedElsewhere(fd, turnstile, length)) return false;
  if (remembered) last.store(now, std::memory_order_relaxed);
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

bool TakeRange(const WorkArea& area, std::uint64_t offset, std::uint64_t length) {
  if (area.exclusive) return true;
  return WaitForRegion(area.file.Descriptor(), offset, length, LockExclusively(area),
                       kRecordLockWaitMs) == 0;
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

bool TakeWholeLock(const char* guard, LockState kind, std::uint64_t offset, std::uint64_t length) {
  if (NoDbfInUse(guard)) return false;
  WorkArea& area = *Area();
  if (RefuseVirtual(area, kind == kFileLock ? " [FLock]" : " [ALock]")) return false;
  if (area.lockState == kind) return true;
  if (area.lockState != kNoLock) return false;
  if (!TakeRange(area, offset, length)) return false;
  area.lockState = kind;
  return true;
}

// Takes the range, waiting until `milliseconds` after `start`.
int WaitInSlices(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 std::uint32_t start, std::uint32_t milliseconds) {
  for (;;) {
    const std::uint32_t left = milliseconds - std::min(TickCount() - start, milliseconds);
    const int code =
        platform::WaitForRange(fd, offset, length, exclusive, std::min(left, kWaitSliceMs));
    if (code != 33 || left <= kWaitSliceMs || Halting) return code;
    platform::ProcessEventsWithoutInput();
  }
}

}  // namespace

std::uint32_t LockRegion(bool unlock, int fd, std::uint64_t offset, std::uint64_t length,
                         bool exclusive) {
  int code = unlock ? platform::UnlockRange(fd, offset, length)
                    : platform::LockRange(fd, offset, length, exclusive);
  return static_cast<std::uint32_t>(code);
}

int WaitForRegion(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                  std::uint32_t milliseconds) {
  const std::uint64_t turnstile = offset + kTurnstileShift;
  // Mostly nobody waits and the lock is free: the wait's clock is read only when not.
  if (NobodyWaits(fd, turnstile, length)) {
    const int code = platform::LockRange(fd, offset, length, exclusive);
    if (code != 33) return code;
  }
  const std::uint32_t start = TickCount();
  int code = WaitInSlices(fd, turnstile, length, exclusive, start, milliseconds);
  if (code != 0) return code;
  code = WaitInSlices(fd, offset, length, exclusive, start, milliseconds);
  platform::UnlockRange(fd, turnstile, length);
  return code;
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
  return TakeRange(*Area(), kLockBase, 1);
}

void UnlockFirstByte() {
  if (NoDbfInUse("UnlockFirstByte")) return;
  WorkArea& area = *Area();
  std::uint32_t code = ReleaseRange(area, kLockBase, 1);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code), "Error attempting to UNLOCK file " +
                                                      area.fileName + " in Workarea " +
                                                      std::to_string(CurrentArea()));
  }
}

bool FLock() {
  return TakeWholeLock("FLock", kFileLock, kLockBase + 1, kFileLockLength);
}
bool ALock() {
  return TakeWholeLock("ALock", kAppendLock, kAppendByte, 1);
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
  if (!TakeRange(area, RecordLockOffset(area, n), area.recordLength)) return false;
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

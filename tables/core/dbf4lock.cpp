#include "tables/core/dbf4lock.h"

#include <algorithm>
#include <array>
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

bool Overlap(Range a, Range b) {
  return a.offset < b.offset + b.length && b.offset < a.offset + a.length;
}

// The file lock covers the append byte and every record: the same range 4 GiB higher would cover
// their turnstiles too, and a program waiting for the file lock would keep out every program
// that asks for a free record. Its turnstile is the byte below the database byte's instead.
constexpr Range kFileLockRange{kLockBase + 1, kFileLockLength};
constexpr Range kFileLockTurnstile{kLockBase - 1 + kTurnstileShift, 1};

// The lock that a program waiting at this turnstile waits for.
Range LockBehind(Range turnstile) {
  if (turnstile.offset == kFileLockTurnstile.offset) return kFileLockRange;
  return {turnstile.offset - kTurnstileShift, turnstile.length};
}

// A turnstile that an asker of a lock waits at, and whether it takes it alone.
struct Gate {
  Range turnstile;
  bool exclusive;
};

// The turnstiles a program that must wait for a lock waits at, lowest first. A record and the
// append byte lie inside the file lock: their askers wait behind a program waiting for the file
// lock too, sharing its turnstile among themselves, so that one waiting for the file lock, who
// takes that turnstile alone, waits behind them and they behind it.
struct Turn {
  std::array<Gate, 2> gates{};
  std::size_t count = 0;
};

Turn OwnTurnstile(Range lock) {
  return {{Gate{TurnstileOf(lock), true}}, 1};
}

Turn InsideFileLock(Range lock) {
  return {{Gate{kFileLockTurnstile, false}, Gate{TurnstileOf(lock), true}}, 2};
}

constexpr Turn kFileLockTurn{{Gate{kFileLockTurnstile, true}}, 1};

// A look at a turnstile costs a system call, as much as the lock itself. A program that found
// nobody waiting at a turnstile of a file a moment ago takes that file's locks without looking
// again, so that a loop of locks, such as the two semaphore locks of every SKIP of a shared
// table, pays for the look once in a while; a program that has begun to wait meanwhile has the
// lock at the holder's first release after that moment.
constexpr std::chrono::nanoseconds kTurnstileLookInterval = std::chrono::microseconds(200);

// A program at a turnstile asks for the lock itself this often: a waiter ahead that has not
// taken a free lock within this time is stopped, and holds up nobody any longer.
constexpr std::uint32_t kPassStoppedWaiterMs = 50;

// Whether a program other than the caller waits at the gate, in the way the caller would take it.
bool Occupied(int fd, const Gate& gate, bool exclusive) {
  return platform::RangeLockedElsewhere(fd, gate.turnstile.offset, gate.turnstile.length,
                                        gate.exclusive && exclusive);
}

// One look covers the turn's turnstiles. Programs waiting for other records hold the file lock's
// turnstile too, shared, which keeps out only askers of the file lock: where the look finds a
// lock, each turnstile is looked at on its own, in the way the caller takes it: the lock's own
// first, since a waiter for the same lock is the likelier one.
bool SomebodyWaits(int fd, const Turn& turn, bool exclusive) {
  if (turn.count == 1) return Occupied(fd, turn.gates[0], exclusive);
  const Range first = turn.gates[0].turnstile, last = turn.gates[turn.count - 1].turnstile;
  if (!platform::RangeLockedElsewhere(fd, first.offset, last.offset + last.length - first.offset,
                                      true)) {
    return false;
  }
  const auto gates = turn.gates.rend() - static_cast<std::ptrdiff_t>(turn.count);
  return std::any_of(gates, turn.gates.rend(),
                     [&](const Gate& gate) { return Occupied(fd, gate, exclusive); });
}

bool NobodyWaits(int fd, TurnstileLook& look, const Turn& turn, bool exclusive) {
  if (turn.count == 0) return true;
  const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  if (now - look.nobodyWaitingAt < kTurnstileLookInterval.count()) return true;
  if (SomebodyWaits(fd, turn, exclusive)) return false;
  look.nobodyWaitingAt = now;
  return true;
}

std::uint64_t RecordLockOffset(const WorkArea& area, std::int32_t n) {
  return kLockBase + static_cast<std::uint64_t>(area.headerLength) +
         static_cast<std::uint64_t>(n - 1) * area.recordLength;
}

Range RecordLock(const WorkArea& area, std::int32_t n) {
  return {RecordLockOffset(area, n), area.recordLength};
}

// A read-only descriptor can only hold read locks.
bool LockExclusively(const WorkArea& area) {
  return area.file.Writable();
}

std::uint32_t Elapsed(std::uint32_t start) {
  return TickCount() - start;
}

// Takes the range, waiting until `milliseconds` after `start`.
int WaitInSlices(int fd, Range range, bool exclusive, std::uint32_t start,
                 std::uint32_t milliseconds) {
  for (;;) {
    const std::uint32_t left = milliseconds - std::min(Elapsed(start), milliseconds);
    const int code = platform::WaitForRange(fd, range.offset, range.length, exclusive,
                                            std::min(left, kWaitSliceMs));
    if (code != 33 || left <= kWaitSliceMs || Halting) return code;
    platform::ProcessEventsWithoutInput();
  }
}

// The turnstiles of a turn that a program has taken so far, released when it is done.
class TakenGates {
 public:
  TakenGates(int fd, const Turn& turn, bool exclusive)
      : fd_(fd), turn_(turn), exclusive_(exclusive) {}
  ~TakenGates() {
    for (std::size_t i = 0; i < taken_; ++i) {
      const Range turnstile = turn_.gates[i].turnstile;
      platform::UnlockRange(fd_, turnstile.offset, turnstile.length);
    }
  }
  TakenGates(const TakenGates&) = delete;
  TakenGates& operator=(const TakenGates&) = delete;

  // Takes the turnstiles not taken yet, waiting until `milliseconds` after `start`.
  int TakeRest(std::uint32_t start, std::uint32_t milliseconds) {
    for (; taken_ < turn_.count; ++taken_) {
      const Gate& gate = turn_.gates[taken_];
      const int code = platform::WaitForRange(
          fd_, gate.turnstile.offset, gate.turnstile.length, gate.exclusive && exclusive_,
          milliseconds - std::min(Elapsed(start), milliseconds));
      if (code != 0) return code;
    }
    return 0;
  }

 private:
  int fd_;
  const Turn& turn_;
  bool exclusive_;
  std::size_t taken_ = 0;
};

// Waits behind the programs at the turn's turnstiles, then for the lock.
int WaitBehindWaiters(int fd, Range lock, const Turn& turn, bool exclusive, std::uint32_t start,
                      std::uint32_t milliseconds) {
  TakenGates gates(fd, turn, exclusive);
  for (;;) {
    const std::uint32_t until = std::min(milliseconds, Elapsed(start) + kPassStoppedWaiterMs);
    int code = gates.TakeRest(start, until);
    if (code == 0) return WaitInSlices(fd, lock, exclusive, start, milliseconds);
    if (code != 33 || until == milliseconds || Halting) return code;
    code = platform::LockRange(fd, lock.offset, lock.length, exclusive);
    if (code != 33) return code;
    platform::ProcessEventsWithoutInput();
  }
}

int WaitInTurn(int fd, TurnstileLook& look, Range lock, const Turn& turn, bool exclusive,
               std::uint32_t milliseconds) {
  // Mostly nobody waits and the lock is free: the wait's clock is read only when not.
  const bool nobodyWaits = NobodyWaits(fd, look, turn, exclusive);
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
  return WaitBehindWaiters(fd, lock, turn, exclusive, start, milliseconds);
}

// Whether the area holds a lock of its table that overlaps the range.
bool HoldsLockOverlapping(const WorkArea& area, Range range) {
  if (area.firstByteLocked && Overlap({kLockBase, 1}, range)) return true;
  switch (area.lockState) {
    case kFileLock:
      return Overlap(kFileLockRange, range);
    case kAppendLock:
      return Overlap({kAppendByte, 1}, range);
    case kRecordLocks:
      return std::any_of(area.recordLocks.begin(), area.recordLocks.end(),
                         [&](std::int32_t n) { return Overlap(RecordLock(area, n), range); });
    default:
      return false;
  }
}

// A program never waits behind a waiter for a lock that it holds itself, which would keep both
// waiting until one gives up: it passes such a turnstile, and takes its turn at the others.
Turn TurnOfArea(const WorkArea& area, const Turn& turn) {
  Turn kept;
  for (std::size_t i = 0; i < turn.count; ++i) {
    if (!HoldsLockOverlapping(area, LockBehind(turn.gates[i].turnstile))) {
      kept.gates[kept.count++] = turn.gates[i];
    }
  }
  return kept;
}

int TakeTableRange(WorkArea& area, Range lock, const Turn& turn, std::uint32_t milliseconds) {
  return WaitInTurn(area.file.Descriptor(), area.turnstileLook, lock, TurnOfArea(area, turn),
                    LockExclusively(area), milliseconds);
}

bool TakeRange(WorkArea& area, Range lock, const Turn& turn) {
  if (area.exclusive) return true;
  return TakeTableRange(area, lock, turn, kRecordLockWaitMs) == 0;
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

bool TakeWholeLock(const char* guard, LockState kind, Range lock, const Turn& turn) {
  if (NoDbfInUse(guard)) return false;
  WorkArea& area = *Area();
  if (RefuseVirtual(area, kind == kFileLock ? " [FLock]" : " [ALock]")) return false;
  if (area.lockState == kind) return true;
  if (area.lockState != kNoLock) return false;
  if (!TakeRange(area, lock, turn)) return false;
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
  return WaitInTurn(fd, look, lock, OwnTurnstile(lock), exclusive, milliseconds);
}

int WaitForTableRegion(WorkArea& area, std::uint64_t offset, std::uint64_t length,
                       std::uint32_t milliseconds) {
  const Range lock{offset, length};
  return TakeTableRange(area, lock, OwnTurnstile(lock), milliseconds);
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
  const Range databaseByte{kLockBase, 1};
  if (!TakeRange(area, databaseByte, OwnTurnstile(databaseByte))) return false;
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
  return TakeWholeLock("FLock", kFileLock, kFileLockRange, kFileLockTurn);
}
bool ALock() {
  const Range appendByte{kAppendByte, 1};
  return TakeWholeLock("ALock", kAppendLock, appendByte, InsideFileLock(appendByte));
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
  const Range record = RecordLock(area, n);
  if (!TakeRange(area, record, InsideFileLock(record))) return false;
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

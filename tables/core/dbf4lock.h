#pragma once
// Record, append and file locks of shared tables: byte-range locks far beyond the data. A lock
// another program holds is waited for a while, in turn with the other programs that wait for it.

#include <cstdint>

#include "tables/core/turnstilelook.h"
#include "tables/core/workarea.h"

namespace dadav {

std::uint32_t LockRegion(bool unlock, int fd, std::uint64_t offset, std::uint64_t length,
                         bool exclusive = true);
// Takes the lock, waiting in turn up to `milliseconds` while another holder has it (keeping the
// windows painted); 0 when granted, else the last lock code (33 when the time ran out). `look`
// belongs to the open file of `fd`.
int WaitForRegion(int fd, TurnstileLook& look, std::uint64_t offset, std::uint64_t length,
                  bool exclusive, std::uint32_t milliseconds);
// Takes a lock of the area's table as WaitForRegion does, but without waiting behind a program
// that waits for a lock the area holds: such a program must not be kept waiting in turn.
int WaitForTableRegion(WorkArea& area, std::uint64_t offset, std::uint64_t length,
                       std::uint32_t milliseconds);
// How long a record, append or file lock is waited for: a turn after the programs that wait for
// it too takes far less, a lock held for good is refused.
constexpr std::uint32_t kRecordLockWaitMs = 1000;
// How long a program waits for a lock before it takes its turn: programs that change a table at
// once mostly have their lock within it, and a turn costs the holder's next request a wait of its
// own. Past it, the waiter has the lock at the holder's next release.
constexpr std::uint32_t kWaitOutOfTurnMs = 20;

// Waits, keeping the windows painted (without taking input) during longer waits.
void WaitMs(std::int32_t milliseconds);

bool LockFirstByte();
void UnlockFirstByte();
bool FLock();
bool ALock();
bool RLock();
bool IsLocked(std::int32_t record);
bool UnlockRec(std::int32_t selector);
void Unlock();

}  // namespace dadav

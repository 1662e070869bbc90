#pragma once
// Record, append and file locks of shared tables: byte-range locks far beyond the data. A lock
// another program holds is waited for a while, in turn with the other programs that wait for it.

#include <cstdint>

namespace dadav {

std::uint32_t LockRegion(bool unlock, int fd, std::uint64_t offset, std::uint64_t length,
                         bool exclusive = true);
// Takes the lock, waiting in turn up to `milliseconds` while another holder has it (keeping the
// windows painted); 0 when granted, else the last lock code (33 when the time ran out).
int WaitForRegion(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                  std::uint32_t milliseconds);
// How long a record, append or file lock is waited for: a turn after the programs that wait for
// it too takes far less, a lock held for good is refused.
constexpr std::uint32_t kRecordLockWaitMs = 1000;

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

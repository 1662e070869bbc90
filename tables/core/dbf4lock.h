#pragma once
// Record, append and file locks of shared tables: byte-range locks far beyond the data, one
// attempt each, never blocking.

#include <cstdint>

namespace dadav {

std::uint32_t LockRegion(bool unlock, int fd, std::uint64_t offset, std::uint64_t length,
                         bool exclusive = true);
bool LockRegionRetry(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive = true);

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

#pragma once
// Byte-range locks that belong to an open file description (OFD locks): two descriptors of one
// process conflict like two programs, and closing some other descriptor of the file keeps them.
// Every request is a single attempt.

#include <cstdint>

namespace platform {

// 0 when granted; 33 when another holder conflicts; else the engine's I/O code.
int LockRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive);
int UnlockRange(int fd, std::uint64_t offset, std::uint64_t length);

}  // namespace platform

#pragma once
// Byte-range locks that belong to an open file description (OFD locks): two descriptors of one
// process conflict like two programs, and closing some other descriptor of the file keeps them.
// Every request is a single attempt.

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// 0 when granted; 33 when another holder conflicts; else the engine's I/O code.
int LockRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive);
int UnlockRange(int fd, std::uint64_t offset, std::uint64_t length);
// Whether a lock of another open file description covers part of the range (with `exclusive`
// false: an exclusive one); true as well when the question cannot be asked.
bool RangeLockedElsewhere(int fd, std::uint64_t offset, std::uint64_t length,
                          bool exclusive = true);

// Numbered names that running copies of the program share a folder with ("$OUT1.TMP", ...):
// takes the first of nameOf(first) .. nameOf(last) that no other holder has claimed, opening
// (creating when missing, never emptying) the file and locking its first byte; another user's
// file or a link under a name passes it by. The descriptor
// holds the claim until it is closed; it is -1 when every name is taken, and then number and
// name are those of the last one tried.
struct NameClaim {
  int fd = -1;
  int number = 0;
  std::string name;
};
NameClaim ClaimFreeName(const std::function<std::string(int)>& nameOf, int first, int last);

}  // namespace platform

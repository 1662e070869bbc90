#pragma once
// Waiting for a byte-range lock that another holder has: the request waits in the system's queue
// of the lock, so that a holder that releases and retakes the lock at once cannot keep it from
// the programs that wait for it, as it can from programs that poll. The wait is bounded; where no
// timer can end it, the range is asked for again every few milliseconds instead.

#include <cstdint>

namespace platform {

// Takes the OFD lock of the range, waiting up to `milliseconds` while another holder conflicts.
// 0 when granted; 33 when the time ran out; else the engine's I/O code.
int WaitForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 std::uint32_t milliseconds);

}  // namespace platform

#pragma once
// Waiting for a byte-range lock that another holder has: the request waits in the system's queue
// of the lock and is woken the moment the holder releases it. The system does not hand it the
// lock, though: a holder that asks again at once mostly gets it first, so turns are the callers'
// business. The wait is bounded; where no timer can end it, the range is asked for again every
// few milliseconds instead.

#include <cstdint>

namespace platform {

// Takes the OFD lock of the range, waiting up to `milliseconds` while another holder conflicts.
// 0 when granted; 33 when the time ran out; else the engine's I/O code.
int WaitForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 std::uint32_t milliseconds);

}  // namespace platform

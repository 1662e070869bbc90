#pragma once
// Wall-clock dates, a monotonic millisecond tick counter and sleeping.

#include <cstdint>
#include <string>

namespace platform {

struct CivilDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int dayOfWeek = 0;  // 1 Sunday .. 7 Saturday
};

// Milliseconds of a monotonic clock, wrapping at 2^32 like the system tick counter.
std::uint32_t TickCountMs();
void SleepMs(std::uint32_t milliseconds);
// Today's local date and time.
CivilDateTime LocalNow();
// The local modification time of a file; false when it cannot be read (errno kept).
bool FileModTime(const std::string& path, CivilDateTime& out);

}  // namespace platform

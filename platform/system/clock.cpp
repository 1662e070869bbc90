#include "platform/system/clock.h"

#include <sys/stat.h>

#include <ctime>

#include "platform/files/osfiles.h"

namespace platform {
namespace {

CivilDateTime FromTimeT(std::time_t when) {
  std::tm parts{};
  localtime_r(&when, &parts);
  CivilDateTime out;
  out.year = parts.tm_year + 1900;
  out.month = parts.tm_mon + 1;
  out.day = parts.tm_mday;
  out.hour = parts.tm_hour;
  out.minute = parts.tm_min;
  out.second = parts.tm_sec;
  out.dayOfWeek = parts.tm_wday + 1;
  return out;
}

}  // namespace

std::uint32_t TickCountMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
            static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

void SleepMs(std::uint32_t milliseconds) {
  timespec wait{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

CivilDateTime LocalNow() {
  return FromTimeT(std::time(nullptr));
}

bool FileModTime(const std::string& path, CivilDateTime& out) {
  struct stat info {};
  if (os::Stat(path, info) != 0) return false;
  out = FromTimeT(info.st_mtime);
  return true;
}

}  // namespace platform

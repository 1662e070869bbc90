#include "platform/files/filefaults.h"

#include <unistd.h>

#include <cerrno>

#include "platform/system/services.h"

namespace platform {

void FileFaults::FailWrite(std::uint64_t nth, int code) {
  failAt_ = nth == 0 ? 0 : writes_ + nth;
  failCode_ = code;
}

void FileFaults::FailStep(std::uint64_t nth) {
  failStepAt_ = nth == 0 ? 0 : steps_ + nth;
}

void FileFaults::CrashAtStep(std::uint64_t nth) {
  crashAt_ = nth == 0 ? 0 : steps_ + nth;
}

int FileFaults::Step() {
  ++steps_;
  if (crashAt_ != 0 && steps_ == crashAt_) _exit(kCrashStatus);
  return failStepAt_ != 0 && steps_ == failStepAt_ ? ENOSPC : 0;
}

int FileFaults::WriteFault() {
  ++writes_;
  // A full disk fails a write with the engine's write-failure code.
  if (Step() != 0) return 101;
  return failAt_ != 0 && writes_ == failAt_ ? failCode_ : 0;
}

int FileFaults::SyncOrRenameFault() {
  return Step();
}

long double FileFaults::FreeBytes(const std::string&) {
  return freeBytes_;
}

FileFaults* ArmedFileFaults() {
  return InstalledServices().fileFaults.get();
}

}  // namespace platform

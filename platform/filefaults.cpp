#include "platform/filefaults.h"

#include "platform/services.h"

namespace platform {

void FileFaults::FailWrite(std::uint64_t nth, int code) {
  failAt_ = nth == 0 ? 0 : writes_ + nth;
  failCode_ = code;
}

int FileFaults::WriteFault() {
  ++writes_;
  return failAt_ != 0 && writes_ == failAt_ ? failCode_ : 0;
}

long double FileFaults::FreeBytes(const std::string&) {
  return freeBytes_;
}

FileFaults* ArmedFileFaults() {
  return InstalledServices().fileFaults.get();
}

}  // namespace platform

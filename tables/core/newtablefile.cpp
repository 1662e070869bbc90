#include "tables/core/newtablefile.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace dadav {

NewTableFile::~NewTableFile() {
  platform::DropOutput(output_);
}

int NewTableFile::Open(const std::string& name, platform::BlockFile& file) {
  if (const int code = old_.Open(name, platform::kModeExclusive); code != 0 && code != 2)
    return code;
  if (platform::OpenOutput(name, output_) != 0) return platform::IoCodeFromErrno(errno, true);
  // Written in place, the new file is the old one, which is held already.
  if (output_.inPlace) {
    file = std::move(old_);
    return 0;
  }
  const int copy = ::dup(output_.fd);
  return copy < 0 ? platform::IoCodeFromErrno(errno, true) : file.Adopt(copy);
}

int NewTableFile::Place() {
  return platform::PlaceOutput(output_, true) == 0 ? 0 : platform::IoCodeFromErrno(errno, true);
}

}  // namespace dadav

// The process's current folder changed for the life of the object. The folder before is held
// open, so it comes back even when an earlier test left it in a folder that is gone by now.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& folder)
      : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    std::filesystem::current_path(folder);
  }
  ~ScopedCurrentFolder() {
    if (previous_ < 0) return;
    [[maybe_unused]] const int back = ::fchdir(previous_);
    ::close(previous_);
  }
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  int previous_;
};

#pragma once
// A small file system of a test's own (a tmpfs mounted on a folder, where the test may mount
// one), filled up to a few bytes left over, so that a write runs out of space wherever the test
// wants it to.
#include <sys/mount.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

class SmallFileSystem {
 public:
  explicit SmallFileSystem(const std::string& folder, const std::string& size = "512k")
      : folder_(folder) {
    std::filesystem::create_directory(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

  // Fills the file system up to free bytes left over, in the file "fill".
  void LeaveFree(std::uintmax_t free) const {
    Empty();
    const std::uintmax_t available = std::filesystem::space(folder_).available;
    if (available <= free) return;
    std::ofstream fill(folder_ + "/fill", std::ios::binary);
    const std::string block(4096, 'U');
    for (std::uintmax_t left = available - free; left > 0;) {
      const std::uintmax_t n = left < block.size() ? left : block.size();
      fill.write(block.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
  }
  void Empty() const { std::filesystem::remove(folder_ + "/fill"); }

 private:
  std::string folder_;
  bool mounted_ = false;
};

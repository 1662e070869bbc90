// A fresh folder under /tmp for one test, removed afterwards, with byte-exact file helpers.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolder {
 protected:
  TempFolder() {
    char pattern[] = "/tmp/kv6-test-XXXXXX";
    if (::mkdtemp(pattern) != nullptr) dir_ = pattern;
  }
  ~TempFolder() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Bytes(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  std::string dir_;
};

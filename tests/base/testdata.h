// The shipped data folder (KV6_TEST_DATA, else beside the sources) and whole files as bytes.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

inline std::string SourceRoot() {
  const std::string file = __FILE__;
  return file.substr(0, file.rfind("/tests/"));
}

inline std::string DataPath(const std::string& name) {
  const char* dir = std::getenv("KV6_TEST_DATA");
  return (dir != nullptr ? std::string(dir) : SourceRoot() + "/data") + "/" + name;
}

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

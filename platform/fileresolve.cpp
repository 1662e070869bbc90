#include "platform/fileresolve.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {
namespace {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace

std::string ResolveFileName(const std::string& path) {
  std::error_code error;
  if (path.empty() || std::filesystem::exists(path, error)) return path;
  const std::filesystem::path asked(path);
  const std::string name = asked.filename().string();
  if (name.empty()) return path;
  const std::filesystem::path folder = asked.parent_path();
  std::vector<std::string> names = EntryNames(folder.empty() ? "." : folder);
  std::sort(names.begin(), names.end());
  for (const std::string& candidate : names) {
    if (EqualIgnoringAsciiCase(candidate, name)) return (folder / candidate).string();
  }
  return path;
}

}  // namespace platform

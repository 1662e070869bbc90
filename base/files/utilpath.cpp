#include "base/files/utilpath.h"

#include <algorithm>

#include "base/text/utilstr.h"

namespace {

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string LastComponent(const std::string& path) {
  return path.substr(NameStart(path));
}

}  // namespace

std::string AddBackslash(const std::string& path) {
  std::string result = TrimBlanks(path);
  if (!result.empty() && result.back() != '/') result += '/';
  return result;
}

std::string AddBackslashDrive(const std::string& path) {
  return AddBackslash(path);
}

std::string RemoveBackslash(const std::string& path) {
  std::string result = TrimBlanks(path);
  if (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::string DirOfPath(const std::string& path) {
  return path.substr(0, NameStart(path));
}

std::string DriveOfPath(const std::string&) {
  return {};
}

std::string NameWithoutExt(const std::string& path) {
  const std::string name = LastComponent(path);
  return name.substr(0, name.rfind('.'));
}

std::string PathWithoutExt(const std::string& path) {
  return DirOfPath(path) + NameWithoutExt(path);
}

std::string ExtOfName(const std::string& name) {
  const std::string last = LastComponent(name);
  const std::size_t dot = last.find('.');
  return dot == std::string::npos ? std::string() : last.substr(dot + 1);
}

std::string BareFileName(const std::string& path) {
  const std::string name = LastComponent(path);
  if (name.size() < 2) return name;
  const std::size_t dot = name.rfind('.', name.size() - 2);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ShortenMiddle(const std::string& text, std::int32_t width) {
  if (static_cast<std::int64_t>(text.size()) <= width) return text;
  const std::size_t k = width < 6 ? 0 : static_cast<std::size_t>(width / 2 - 3);
  const std::size_t tail = std::min(k + 1, text.size());
  return text.substr(0, k) + " ... " + text.substr(text.size() - tail);
}

void TrimInPlace(std::string& text) {
  text = TrimBlanks(text);
}

#include "tests/support/maskfolder.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

std::size_t LineEnd(const std::string& text, std::size_t from) {
  const std::size_t newline = text.find('\n', from);
  if (newline == std::string::npos) return text.size();
  return newline > from && text[newline - 1] == '\r' ? newline - 1 : newline;
}

// One byte, or one UTF-8 sequence (a box character of the UTF-8 copy of a report).
bool IsOneCharacter(std::string_view rest) {
  if (rest.size() == 1) return true;
  if (rest.empty() || rest.size() > 4 || static_cast<unsigned char>(rest[0]) < 0xC0) return false;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

bool PaddedToLineEnd(const std::string& text, std::size_t pathEnd) {
  const std::size_t end = LineEnd(text, pathEnd);
  if (pathEnd >= end || text[pathEnd] != ' ') return false;
  std::size_t rest = pathEnd;
  while (rest < end && text[rest] == ' ') ++rest;
  return rest == end || IsOneCharacter(std::string_view(text).substr(rest, end - rest));
}

void Repad(std::string& text, std::size_t pathEnd, std::ptrdiff_t grownBy) {
  if (grownBy > 0) {
    text.insert(pathEnd, static_cast<std::size_t>(grownBy), ' ');
    return;
  }
  std::size_t blanks = 0;
  while (pathEnd + blanks < text.size() && text[pathEnd + blanks] == ' ') ++blanks;
  text.erase(pathEnd, std::min(blanks, static_cast<std::size_t>(-grownBy)));
}

}  // namespace

std::string MaskFolder(std::string text, const std::string& folder) {
  const std::string mask = kMaskedFolder;
  const std::ptrdiff_t grownBy =
      static_cast<std::ptrdiff_t>(folder.size()) - static_cast<std::ptrdiff_t>(mask.size());
  for (std::size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at)) {
    text.replace(at, folder.size(), mask);
    at += mask.size();
    const std::size_t pathEnd = std::min(text.find_first_of(" \r\n", at), text.size());
    if (grownBy != 0 && PaddedToLineEnd(text, pathEnd)) Repad(text, pathEnd, grownBy);
  }
  return text;
}

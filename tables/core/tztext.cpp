#include "tables/core/tztext.h"

#include <algorithm>

#include "platform/files/codepage.h"
#include "platform/files/cp1252case.h"

namespace dadav {
namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool IsWordChar(char c) {
  return (c >= '0' && c <= '9') || IsAlpha(std::string_view(&c, 1)) || c == '\\' || c == '_';
}

}  // namespace

std::string StrToOem(std::string_view text) {
  return platform::AnsiToOem(text);
}
std::string OemToStr(std::string_view text) {
  return platform::OemToAnsi(text);
}

std::string LTrim(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlankOrControl(text[start])) ++start;
  return std::string(text.substr(start));
}

std::string RTrim(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string AllTrim(std::string_view text) {
  std::size_t start = 0;
  std::size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1])) --end;
  while (start < end && IsBlankOrControl(text[start])) ++start;
  return std::string(text.substr(start, end - start));
}

char CharUpper(char c) {
  return static_cast<char>(platform::Cp1252Upper(static_cast<std::uint8_t>(c)));
}

char CharLower(char c) {
  return static_cast<char>(platform::Cp1252Lower(static_cast<std::uint8_t>(c)));
}

std::string UpperStr(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = CharUpper(c);
  return out;
}

bool IsAlpha(std::string_view text) {
  return !text.empty() && platform::Cp1252IsAlpha(static_cast<std::uint8_t>(text[0]));
}

std::int32_t Occurs(std::string_view part, std::string_view text) {
  if (part.empty() || text.empty()) return 0;
  if (part.size() == 1)
    return static_cast<std::int32_t>(std::count(text.begin(), text.end(), part[0]));
  std::int32_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

std::int32_t AtNth(std::int32_t n, std::string_view part, std::string_view text) {
  if (n == 0 || part.empty() || part.size() > text.size()) return 0;
  if (n < 0) {
    std::string reversedPart(part.rbegin(), part.rend());
    std::string reversedText(text.rbegin(), text.rend());
    std::int32_t from = AtNth(-n, reversedPart, reversedText);
    if (from == 0) return 0;
    return static_cast<std::int32_t>(text.size() - part.size()) - from + 2;
  }
  std::size_t at = std::string_view::npos;
  for (std::int32_t i = 0; i < n; ++i) {
    at = text.find(part, at == std::string_view::npos ? 0 : at + 1);
    if (at == std::string_view::npos) return 0;
  }
  return static_cast<std::int32_t>(at) + 1;
}

std::string Replicate(char c, std::int32_t count) {
  return count < 1 ? std::string() : std::string(static_cast<std::size_t>(count), c);
}

std::string PadRight(std::string_view text, std::int32_t width) {
  std::string out(text);
  if (width >= 1 && out.size() < static_cast<std::size_t>(width)) out.resize(width, ' ');
  return out;
}

std::string IIfText(bool condition, std::string_view text1, std::string_view text2) {
  return std::string(condition ? text1 : text2);
}

std::int32_t PosNoCase(std::string_view text1, std::string_view text2) {
  std::size_t at = UpperStr(text2).find(UpperStr(text1));
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at) + 1;
}

bool ExtractOption(std::string_view keyword, std::string& command) {
  std::string text = AllTrim(command);
  std::string upperKeyword = UpperStr(keyword);
  bool found = false;
  std::size_t from = 0;
  for (;;) {
    std::size_t at = UpperStr(text).find(upperKeyword, from);
    if (at == std::string::npos) break;
    std::size_t end = at + upperKeyword.size();
    if (end < text.size() && IsWordChar(text[end])) {
      from = at + 1;
      continue;
    }
    text.erase(at, upperKeyword.size());
    found = true;
    from = at;
  }
  command = AllTrim(text);
  return found;
}

}  // namespace dadav

#include "base/text/utilstr.h"

#include <algorithm>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"

std::vector<std::string> CommandLineParams;

namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Replaced(std::string_view text, char from, char to) {
  std::string result(text);
  std::replace(result.begin(), result.end(), from, to);
  return result;
}

}  // namespace

std::string DateText(std::int32_t year, std::int32_t month, std::int32_t day) {
  const std::string y = IntText(year);
  const std::string m = IntTextZero(month, 2);
  const std::string d = IntTextZero(day, 2);
  switch (DateCode) {
    case 1:
      return d + "." + m + "." + y;
    case 2:
      return m + "/" + d + "/" + y;
    case 3:
      return y + "-" + m + "-" + d;
    case 4:
      return d + "/" + m + "/" + y;
    default:
      return y + "/" + m + "/" + d;
  }
}

std::string UpperText(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AsciiUpper);
  return result;
}

std::string LowerText(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
  return result;
}

std::string FirstUpper(std::string_view text) {
  std::string result(text);
  if (!result.empty()) result[0] = AsciiUpper(result[0]);
  return result;
}

std::string TextLeft(std::string_view text, std::int32_t width) {
  std::string result(text.substr(0, std::max(width, 0)));
  result.resize(std::max<std::size_t>(result.size(), std::max(width, 0)), ' ');
  return result;
}

std::string TextRight(std::string_view text, std::int32_t width) {
  const std::string trimmed = TrimBlanks(text);
  const auto size = static_cast<std::int32_t>(trimmed.size());
  if (size > width) return trimmed.substr(0, std::max(width, 0));
  return std::string(width - size, ' ') + trimmed;
}

std::string LeftStr(std::string_view text, std::int32_t n) {
  return std::string(text.substr(0, std::max(n, 0)));
}

std::string RightStr(std::string_view text, std::int32_t n) {
  const std::size_t count = std::min<std::size_t>(std::max(n, 0), text.size());
  return std::string(text.substr(text.size() - count));
}

std::string CopyFrom(std::string_view text, std::int32_t pos) {
  const std::size_t start = std::max(pos, 1) - 1;
  return start >= text.size() ? std::string() : std::string(text.substr(start));
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string NoBlanks(std::string_view text) {
  std::string result(text);
  result.erase(std::remove(result.begin(), result.end(), ' '), result.end());
  return result;
}

void ReplaceChar(char oldChar, char newChar, std::string& text) {
  std::replace(text.begin(), text.end(), oldChar, newChar);
}

std::string PointToComma(std::string_view text) {
  return Replaced(text, '.', ',');
}
std::string CommaToPoint(std::string_view text) {
  return Replaced(text, ',', '.');
}

std::string NoLineBreaks(std::string_view text) {
  return Replaced(Replaced(text, '\r', ' '), '\n', ' ');
}

std::int32_t LastPos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  const std::size_t found = text.rfind(sub);
  return found == std::string_view::npos ? 0 : static_cast<std::int32_t>(found) + 1;
}

std::int32_t CountChar(char c, std::string_view text) {
  return static_cast<std::int32_t>(std::count(text.begin(), text.end(), c));
}

std::string ShortenText(std::string_view text, std::int32_t maxLen) {
  if (static_cast<std::int32_t>(text.size()) < maxLen) return std::string(text);
  if (maxLen < 11) return LeftStr(text, maxLen);
  const std::int32_t k = maxLen / 2 - 2;
  return LeftStr(text, k) + "__" + RightStr(text, k);
}

void OverwriteAt(std::string_view sub, std::string& text, std::int32_t pos) {
  if (pos < 1 || pos - 1 + sub.size() > text.size()) return;
  std::copy(sub.begin(), sub.end(), text.begin() + (pos - 1));
}

char IndexLetter(std::int32_t n) {
  return static_cast<char>(n + 64);
}

void SplitLines(std::string_view text, char breakChar, std::int32_t width, std::int32_t& maxLen,
                std::int32_t& count) {
  const std::size_t limit = std::max(width, 1);
  maxLen = 1;
  count = 0;
  std::string_view rest = text;
  do {
    ++count;
    std::size_t cut = rest.size();
    if (count < kWrapLineCount && rest.size() > limit) {
      const std::size_t found = rest.substr(0, limit - 1).rfind(breakChar);
      cut = found == std::string_view::npos ? limit : found + 1;
    }
    maxLen = std::max(maxLen, static_cast<std::int32_t>(cut));
    WrapLines[count] = std::string(rest.substr(0, cut));
    rest.remove_prefix(cut);
  } while (!rest.empty());
}

bool HasParam(std::string_view switchText) {
  const std::string wanted = UpperText(switchText);
  return std::any_of(CommandLineParams.begin(), CommandLineParams.end(),
                     [&](const std::string& param) { return UpperText(param) == wanted; });
}

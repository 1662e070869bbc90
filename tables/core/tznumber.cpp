#include "tables/core/tznumber.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/text/numbertext.h"
#include "tables/core/tzdate.h"

namespace dadav {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string RightAlign(std::string text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

// A stored field: right-aligned in width, a row of "*" when the text is too long.
std::string FitField(std::string text, int width) {
  if (text.size() > static_cast<std::size_t>(width))
    return std::string(static_cast<std::size_t>(width), '*');
  return RightAlign(std::move(text), width);
}

// Reads "[-]digits[.digits]" with at most 15 significant digits and 22 decimals, the common
// stored number, without the general parser. Digits and power of ten are both exact doubles,
// so the one division rounds correctly, exactly as from_chars would. Zeros before the first
// other digit are not significant.
bool ParsePlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  const char* const whole = p;
  while (p < end && *p == '0') ++p;
  const char* significant = p;
  std::uint64_t digits = 0;
  while (p < end && IsDigit(*p)) digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
  std::ptrdiff_t count = p - significant;
  bool anyDigit = p != whole;
  std::ptrdiff_t decimals = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    if (digits == 0) {
      while (p < end && *p == '0') ++p;
    }
    significant = p;
    while (p < end && IsDigit(*p)) digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    count += p - significant;
    decimals = p - fraction;
    anyDigit = anyDigit || decimals != 0;
  }
  if (p != end || !anyDigit || count > 15 || decimals > 22) return false;
  value = static_cast<double>(digits) / kPowers[decimals];
  if (negative) value = -value;
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string FixedText(long double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
  return FixedPointText(value, decimals);
}

namespace {

// The fixed-point text of a value below 10^12 with at most 4 decimals, written at out without
// the general formatter; 0 when the value is out of that range or lies so near a rounding
// boundary that only the general rule can settle it. The product with the power of ten is
// exact in long double (53 bits times 5^4 fit in 64), and the 18-digit intermediate of the
// general rule stays within 1e-5 of it, so a product farther than 1e-3 from a half rounds to
// the same whole number either way.
std::size_t FastFixedText(double value, int decimals, char* out) {
  static constexpr long double kPowers[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L};
  if (decimals < 0 || decimals > 4) return 0;
  const long double scaled = static_cast<long double>(value) * kPowers[decimals];
  const bool negative = scaled < 0;
  const long double size = negative ? -scaled : scaled;
  if (!(size < 1e12L)) return 0;
  auto units = static_cast<std::uint64_t>(size);
  const long double fraction = size - static_cast<long double>(units);
  if (fraction > 0.499L && fraction < 0.501L) return 0;
  if (fraction >= 0.501L) ++units;
  char digits[24];
  const auto length =
      static_cast<int>(std::to_chars(digits, digits + sizeof digits, units).ptr - digits);
  const int whole = length > decimals ? length - decimals : 0;
  char* at = out;
  if (negative && units != 0) *at++ = '-';
  if (whole == 0) *at++ = '0';
  at = std::copy(digits, digits + whole, at);
  if (decimals > 0) {
    *at++ = '.';
    at = std::fill_n(at, decimals - (length - whole), '0');
    at = std::copy(digits + whole, digits + length, at);
  }
  return static_cast<std::size_t>(at - out);
}

}  // namespace

std::string FormatFieldReal(double value, int width, int decimals) {
  char text[32];
  const std::size_t length = FastFixedText(value, decimals, text);
  if (length == 0) return FitField(FixedText(value, decimals), width);
  if (length > static_cast<std::size_t>(width))
    return std::string(static_cast<std::size_t>(width), '*');
  std::string field(static_cast<std::size_t>(width) - length, ' ');
  field.append(text, length);
  return field;
}

std::string FormatFieldInt(std::int64_t value, int width) {
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return FitField(std::string(digits, end), width);
}

double ParseFieldReal(std::string_view text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  // Blanks and 0 bytes are the bytes with no bit but 0x20 set, so the leading blanks of a
  // right-aligned field are passed eight at a time.
  if constexpr (std::endian::native == std::endian::little) {
    for (; end - begin >= 8; begin += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, begin, 8);
      word &= 0xDFDFDFDFDFDFDFDF;
      if (word != 0) {
        begin += std::countr_zero(word) / 8;
        break;
      }
    }
  }
  while (begin < end && (*begin & 0xDF) == 0) ++begin;
  while (end > begin && (end[-1] & 0xDF) == 0) --end;
  text = {begin, static_cast<std::size_t>(end - begin)};
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  if (ParsePlainDecimal(text, value)) return value;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    return (!text.empty() && text.front() == '-') ? -std::numeric_limits<double>::max()
                                                  : std::numeric_limits<double>::max();
  }
  return result.ec == std::errc() ? value : 0.0;
}

std::int64_t ParseFieldInt(std::string_view text, bool* clamped) {
  if (clamped != nullptr) *clamped = false;
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (clamped != nullptr) *clamped = true;
    return (!text.empty() && text.front() == '-') ? std::numeric_limits<std::int64_t>::min()
                                                  : std::numeric_limits<std::int64_t>::max();
  }
  if (result.ec != std::errc()) return 0;
  // A stored integer may still carry a fraction ("12.7"); it is cut like the integer read.
  return value;
}

void CleanNumber(std::string& text) {
  std::string s;
  for (char c : text) {
    if (c != '$') s += c;
  }
  std::size_t start = s.find_first_not_of(" +");
  s = start == std::string::npos ? std::string() : s.substr(start);
  bool negative = false;
  if (!s.empty() && s.front() == '-') {
    std::size_t rest = s.find_first_not_of(" +-");
    if (rest == std::string::npos) {
      text.clear();
      return;
    }
    s = s.substr(rest);
    if (s.front() == DecimalChar) s.insert(s.begin(), '0');
    negative = true;
  }
  std::string converted;
  bool replaced = false;
  for (char c : s) {
    if (DecimalChar != '.') {
      if (c == '.') continue;
      if (c == DecimalChar && !replaced) {
        converted += '.';
        replaced = true;
        continue;
      }
    } else if (c == ',') {
      continue;
    }
    converted += c;
  }
  if (negative) converted.insert(converted.begin(), '-');
  if (!converted.empty() && converted.front() == '.') converted.insert(converted.begin(), '0');
  std::size_t blank = converted.find(' ');
  if (blank != std::string::npos) converted.resize(blank);
  std::size_t end = 0;
  while (end < converted.size() && (IsDigit(converted[end]) || converted[end] == '.' ||
                                    (end == 0 && converted[end] == '-'))) {
    ++end;
  }
  converted.resize(end);
  if (!converted.empty() && converted.back() == '.') converted.pop_back();
  text = converted;
}

long double ValReal(std::string_view text) {
  std::string clean(text);
  CleanNumber(clean);
  double value = 0;
  std::from_chars(clean.data(), clean.data() + clean.size(), value);
  return value;
}

std::int32_t ValLong(std::string_view text) {
  std::string clean(text);
  CleanNumber(clean);
  std::size_t dot = clean.find('.');
  if (dot != std::string::npos) clean.resize(dot);
  std::int64_t value = 0;
  auto result = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    return (!clean.empty() && clean.front() == '-') ? std::numeric_limits<std::int32_t>::min()
                                                    : std::numeric_limits<std::int32_t>::max();
  }
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int32_t ValShortInt(std::string_view text) {
  std::string s(text);
  auto stripLeadingBlanks = [&s] {
    std::size_t start = s.find_first_not_of(' ');
    s = start == std::string::npos ? std::string() : s.substr(start);
  };
  stripLeadingBlanks();
  if (!s.empty() && s.front() == '+') s.erase(0, 1);
  stripLeadingBlanks();
  char thousands = DecimalChar != '.' ? '.' : ',';
  std::erase(s, thousands);
  std::size_t dollar = s.find('$');
  if (dollar != std::string::npos) s.erase(dollar, 1);
  std::size_t blank = s.find(' ');
  if (blank != std::string::npos) s.resize(blank);
  std::size_t end = 0;
  while (end < s.size() && (IsDigit(s[end]) || s[end] == '-')) ++end;
  s.resize(end);
  std::int64_t value = 0;
  auto result = std::from_chars(s.data(), s.data() + s.size(), value);
  if (result.ec == std::errc::result_out_of_range)
    value = (!s.empty() && s.front() == '-') ? -32768 : 32767;
  if (value > 32767) return 32767;
  if (value < -32768) return -32768;
  return static_cast<std::int32_t>(value);
}

std::string StrDec(int width, int decimals, long double value) {
  std::string text = FixedText(value, decimals);
  if (decimals > 0 && DecimalChar != '.') {
    std::size_t dot = text.find('.');
    if (dot != std::string::npos) text[dot] = DecimalChar;
  }
  return RightAlign(std::move(text), width);
}

std::string IntToStrW(std::int64_t value, int width) {
  return RightAlign(std::to_string(value), width);
}

}  // namespace dadav

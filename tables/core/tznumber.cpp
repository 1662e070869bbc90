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

// Digits and power of ten are both exact doubles below these, so one division rounds
// correctly, exactly as from_chars would.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

bool ParsePlainDecimal(std::string_view text, double& value) {
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

namespace {

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

// A value times 10^decimals split exactly into its whole units and the fraction beyond them:
// the double's 53-bit significand times 5^decimals still fits 64 bits, and the power of two
// only moves the binary point. False where the units would reach 10^12 or the value is not
// finite.
struct ScaledValue {
  std::uint64_t units = 0;
  double fraction = 0;  // of a unit, to within 2^-53 of it
  bool negative = false;
};

bool ScaleExactly(double value, int decimals, ScaledValue& scaled) {
  static constexpr std::uint64_t kFives[] = {1, 5, 25, 125, 625};
  constexpr std::uint64_t kUnitLimit = 1000000000000;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto exponent = static_cast<int>((bits >> 52) & 0x7FF);
  if (exponent == 0x7FF) return false;
  std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
  int power = -1074;
  if (exponent != 0) {
    significand |= std::uint64_t{1} << 52;
    power = exponent - 1075;
  }
  significand *= kFives[decimals];
  power += decimals;
  scaled.negative = (bits >> 63) != 0;
  if (significand == 0) {
    scaled.units = 0;
    scaled.fraction = 0;
  } else if (power >= 0) {
    if (power > 40 || significand > (kUnitLimit >> power)) return false;
    scaled.units = significand << power;
    scaled.fraction = 0;
  } else if (power > -64) {
    const int shift = -power;
    scaled.units = significand >> shift;
    const std::uint64_t rest = significand & ((std::uint64_t{1} << shift) - 1);
    const auto unitsPerRest = std::bit_cast<double>(static_cast<std::uint64_t>(1023 - shift) << 52);
    scaled.fraction = static_cast<double>(rest) * unitsPerRest;
  } else {
    return false;
  }
  return scaled.units < kUnitLimit;
}

// Writes the digits of units right-aligned so that they end at end, decimals of them after a
// point and at least one before it; returns where they begin.
char* PutDigitsBefore(char* end, std::uint64_t units, int decimals) {
  char* at = end;
  for (int i = 0; i < decimals; ++i) {
    *--at = static_cast<char>('0' + units % 10);
    units /= 10;
  }
  if (decimals > 0) *--at = '.';
  do {
    *--at = static_cast<char>('0' + units % 10);
    units /= 10;
  } while (units != 0);
  return at;
}

std::size_t DigitCount(std::uint64_t units) {
  std::size_t count = 1;
  for (; units >= 10; units /= 10) ++count;
  return count;
}

}  // namespace

bool WriteFieldReal(double value, int width, int decimals, char* out) {
  if (decimals < 0 || decimals > 4 || width < 1) return false;
  ScaledValue scaled;
  if (!ScaleExactly(value, decimals, scaled)) return false;
  // So near a half only the general rule, with its 18-digit intermediate, settles the digit;
  // everywhere else that intermediate lies far too close to the exact value to round apart.
  if (scaled.fraction > 0.4989 && scaled.fraction < 0.5011) return false;
  if (scaled.fraction >= 0.5011) ++scaled.units;
  const bool minus = scaled.negative && scaled.units != 0;
  const std::size_t digits = DigitCount(scaled.units);
  const auto places = static_cast<std::size_t>(decimals);
  const std::size_t whole = digits > places ? digits - places : 1;
  const std::size_t length = (minus ? 1 : 0) + whole + (places > 0 ? places + 1 : 0);
  const auto room = static_cast<std::size_t>(width);
  if (length > room) {
    std::memset(out, '*', room);
    return true;
  }
  char* at = PutDigitsBefore(out + room, scaled.units, decimals);
  if (minus) *--at = '-';
  std::memset(out, ' ', static_cast<std::size_t>(at - out));
  return true;
}

std::string FormatFieldReal(double value, int width, int decimals) {
  std::string field(static_cast<std::size_t>(std::max(width, 0)), ' ');
  if (WriteFieldReal(value, width, decimals, field.data())) return field;
  return FitField(FixedText(value, decimals), width);
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

namespace {

// Reads the field as the formatter writes it: blanks, an optional minus, at least one digit,
// the point and exactly decimals digits, at most 15 digits in all. The value is then the
// digits over the power of ten, just as the plain-decimal reader finds it, without trimming
// or looking for the point.
bool ParseAlignedDecimal(const char* text, std::size_t length, int decimals, double& value) {
  static constexpr std::uint64_t kPlaces[] = {
      1,           10,           100,           1000,           10000,
      100000,      1000000,      10000000,      100000000,      1000000000,
      10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000};
  const auto places = static_cast<std::size_t>(decimals);
  if (decimals < 1 || decimals > 14 || length < places + 2) return false;
  const char* const point = text + length - places - 1;
  if (*point != '.') return false;
  std::uint64_t digits = 0;
  for (const char* p = point + 1; p < text + length; ++p) {
    const auto digit = static_cast<std::uint8_t>(*p - '0');
    if (digit > 9) return false;
    digits = digits * 10 + digit;
  }
  // The whole part is read once, from the point back, each digit worth ten of the one after it.
  // Past 15 digits the sums may wrap, but such a field is refused below.
  std::uint64_t place = kPlaces[places];
  const char* p = point;
  for (; p > text; --p, place *= 10) {
    const auto digit = static_cast<std::uint8_t>(p[-1] - '0');
    if (digit > 9) break;
    digits += digit * place;
  }
  const auto wholeDigits = static_cast<std::size_t>(point - p);
  if (wholeDigits == 0 || wholeDigits + places > 15) return false;
  const bool negative = p > text && p[-1] == '-';
  if (negative) --p;
  while (p > text) {
    if (*--p != ' ') return false;
  }
  value = static_cast<double>(digits) / kPowers[decimals];
  if (negative) value = -value;
  return true;
}

}  // namespace

double ParseStoredReal(const char* text, std::size_t length, int decimals) {
  double value = 0;
  if (ParseAlignedDecimal(text, length, decimals, value)) return value;
  return ParseFieldReal(std::string_view(text, length));
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

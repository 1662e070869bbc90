#include "base/text/numbertext.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "base/settings/wbrelvar.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"

namespace {

constexpr int kExactPowers = 28;  // 10^27 is the largest power of ten a long double holds exactly

constexpr std::array<long double, kExactPowers> MakeExactPowers() {
  std::array<long double, kExactPowers> powers{};
  long double p = 1;
  for (long double& slot : powers) {
    slot = p;
    p *= 10;
  }
  return powers;
}
constexpr std::array<long double, kExactPowers> kExactPowerOf10 = MakeExactPowers();

constexpr std::array<std::uint64_t, 20> MakeIntegerPowers() {
  std::array<std::uint64_t, 20> powers{};
  std::uint64_t p = 1;
  for (std::uint64_t& slot : powers) {
    slot = p;
    p *= 10;
  }
  return powers;
}
constexpr std::array<std::uint64_t, 20> kPow10 = MakeIntegerPowers();

// v * 10^n with one rounding while |n| <= 27 (an exact power of ten times v).
long double ScaleByPow10(long double v, int n) {
  while (n > kExactPowers - 1) {
    v *= kExactPowerOf10[kExactPowers - 1];
    n -= kExactPowers - 1;
  }
  while (n < -(kExactPowers - 1)) {
    v /= kExactPowerOf10[kExactPowers - 1];
    n += kExactPowers - 1;
  }
  return n >= 0 ? v * kExactPowerOf10[n] : v / kExactPowerOf10[-n];
}

// A decimal number digits * 10^low.
struct Decimal {
  std::uint64_t digits = 0;
  int low = 0;
};

constexpr int kIntermediateDigits = 18;

// The 18 significant digits of v > 0 (finite), as the extended arithmetic's decimal conversion
// gives them: digits in [10^17, 10^18), top digit at the power `top`.
Decimal EighteenDigits(long double v, int& top) {
  int e = 0;
  if (v >= 1 && v < kExactPowerOf10[kIntermediateDigits]) {
    // The usual magnitudes of drawings: the decade from the table, without frexp and floor.
    while (v >= kExactPowerOf10[e + 1]) ++e;
  } else {
    int binaryExponent = 0;
    std::frexp(v, &binaryExponent);
    e = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398120));
  }
  long double scaled = ScaleByPow10(v, kIntermediateDigits - 1 - e);
  if (scaled >= 1e18L) {
    ++e;
    scaled = ScaleByPow10(v, kIntermediateDigits - 1 - e);
  } else if (scaled < 1e17L) {
    --e;
    scaled = ScaleByPow10(v, kIntermediateDigits - 1 - e);
  }
  auto digits = static_cast<std::uint64_t>(std::llrint(scaled));
  if (digits >= kPow10[kIntermediateDigits]) {
    digits /= 10;
    ++e;
  }
  top = e;
  return {digits, e - (kIntermediateDigits - 1)};
}

// Rounds half away from zero so that no digit below the power `r` remains.
Decimal RoundAt(Decimal d, int r) {
  const int drop = r - d.low;
  if (drop <= 0) return d;
  if (drop > kIntermediateDigits) return {0, r};
  const std::uint64_t unit = kPow10[drop];
  std::uint64_t kept = d.digits / unit;
  if ((d.digits % unit) * 2 >= unit) ++kept;
  return {kept, r};
}

int DigitCount(std::uint64_t n) {
  int count = 1;
  while (count < 20 && n >= kPow10[count]) ++count;
  return count;
}

// Appends the digits of d with `decimals` decimals, "0" where d holds no digit.
char* WriteFixed(char* out, Decimal d, int decimals, char separator) {
  char digits[24] = {};
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, d.digits);
  const int length = static_cast<int>(end - digits);
  const int high = d.digits == 0 ? -1 : d.low + length - 1;
  auto digitAt = [&](int power) {
    return (d.digits != 0 && power >= d.low && power <= high) ? digits[high - power] : '0';
  };
  if (high < 0) *out++ = '0';
  for (int p = high; p >= 0; --p) *out++ = digitAt(p);
  if (decimals > 0) {
    *out++ = separator;
    for (int p = -1; p >= -decimals; --p) *out++ = digitAt(p);
  }
  return out;
}

// d rounded to `precision` significant digits below its top digit at the power `top`; a carry
// into one more digit drops the last and moves top up.
Decimal RoundToSignificant(Decimal d, int& top, int precision) {
  Decimal r = RoundAt(d, top - precision + 1);
  if (r.digits >= kPow10[precision]) {
    r.digits /= 10;
    ++top;
  }
  return r;
}

// "E", the exponent's sign and at least minDigits exponent digits.
char* WriteExponent(char* out, int exponent, int minDigits) {
  *out++ = 'E';
  *out++ = exponent < 0 ? '-' : '+';
  char power[8] = {};
  const auto [end, ec] =
      std::to_chars(power, power + sizeof power, exponent < 0 ? -exponent : exponent);
  for (auto n = end - power; n < minDigits; ++n) *out++ = '0';
  return std::copy(power, end, out);
}

// Mantissa of `precision` significant digits without trailing zeros, "E", sign, two or more
// exponent digits.
char* WriteScientific(char* out, Decimal d, int top, int precision, char separator) {
  int exponent = top;
  const Decimal r = RoundToSignificant(d, exponent, precision);
  char digits[24] = {};
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, r.digits);
  const char* last = end;
  while (last - digits > 1 && last[-1] == '0') --last;
  *out++ = digits[0];
  if (last - digits > 1) {
    *out++ = separator;
    out = std::copy(static_cast<const char*>(digits) + 1, last, out);
  }
  return WriteExponent(out, exponent, 2);
}

std::string PadFront(const char* text, std::size_t length, int width) {
  const std::size_t blanks = width > static_cast<int>(length) ? width - length : 0;
  std::string result(blanks, ' ');
  result.append(text, length);
  return result;
}

const char* NonFiniteText(long double x) {
  if (std::isnan(x)) return "NAN";
  return x < 0 ? "-INF" : "INF";
}

constexpr int kMaxDecimals = 80;

std::string CommasToPoints(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

constexpr int kMaxNumberPrecision = 17;  // keeps x * 10^(d + 1) within 64 bits

}  // namespace

char RegionalDecimalSeparator() {
  locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, user);
  const char separator =
      (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : '.';
  freelocale(user);
  return separator;
}

char DecimalSeparator = '.';

void InitNumberText() {
  DecimalSeparator = RegionalDecimalSeparator();
}

std::string IntText(std::int32_t n) {
  char buffer[16];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

std::string IntTextZero(std::int32_t n, std::int32_t width) {
  std::string text = IntText(n);
  if (static_cast<std::int32_t>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string IntTextBlank(std::int32_t n, std::int32_t width) {
  std::string text = IntText(n);
  if (static_cast<std::int32_t>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void NumberDigits(long double x, std::int32_t p, std::int32_t& intDigits, std::int32_t& decimals) {
  p = std::min(p, kMaxNumberPrecision);
  if (!std::isfinite(x)) {
    intDigits = 1;
    decimals = 0;
    return;
  }
  x = x == 0 ? 0.5L : std::fabs(x);
  const std::int32_t e = DecimalExponent(x);
  if (e >= p) {
    intDigits = e + 1;
    decimals = 0;
    return;
  }
  intDigits = e < 0 ? 0 : e + 1;
  decimals = e < 0 ? p - e - 1 : p - e;
  // One guard digit beyond the decimals, rounded to nearest even, then dropped.
  auto n = static_cast<std::int64_t>(std::llrint(ScaleByPow10(x, decimals + 1)));
  n /= 10;
  while (n != 0 && n % 10 == 0) {
    --decimals;
    n /= 10;
  }
  decimals = std::max(decimals, 0);
}

std::string RealTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x) {
  if (FloatDigits != 3) decimals = std::clamp(decimals + FloatDigits - 3, 0, 10);
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const int width = decimals == 0 ? intDigits : intDigits + decimals + 1;
  if (!std::isfinite(x)) {
    const char* text = NonFiniteText(x);
    return PadFront(text, std::char_traits<char>::length(text), width);
  }
  if (std::fabs(x) < 1e-15L) x = 0;
  const int precision = std::max(intDigits + decimals, 1);

  Decimal value;
  int top = 0;
  if (x != 0) value = EighteenDigits(std::fabs(x), top);
  Decimal rounded = x == 0 ? value : RoundAt(value, std::max(-decimals, top - precision + 1));
  const int integerDigits = rounded.digits == 0 ? 0 : rounded.low + DigitCount(rounded.digits);
  // Sign, digits, separator, decimals; or the scientific form.
  const std::size_t needed = std::max(integerDigits, 1) + decimals + 32;
  char stackBuffer[kMaxDecimals + 64];
  std::string heapBuffer;
  char* buffer = stackBuffer;
  if (needed > sizeof stackBuffer) {
    heapBuffer.resize(needed);
    buffer = heapBuffer.data();
  }
  char* out = buffer;
  if (x < 0 && rounded.digits != 0) *out++ = '-';
  if (integerDigits > precision) {
    out = WriteScientific(out, value, top, std::min(precision, kIntermediateDigits),
                          DecimalSeparator);
  } else {
    out = WriteFixed(out, rounded, decimals, DecimalSeparator);
  }
  return PadFront(buffer, out - buffer, width);
}

std::string FixedPointText(long double x, std::int32_t decimals) {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  if (!std::isfinite(x) || std::fabs(x) < 1e-15L) x = 0;
  Decimal rounded;
  int top = 0;
  if (x != 0) rounded = RoundAt(EighteenDigits(std::fabs(x), top), -decimals);
  const int integerDigits = std::max(top + 1, 1);
  char stackBuffer[kMaxDecimals + 64];
  std::string heapBuffer;
  char* buffer = stackBuffer;
  if (static_cast<std::size_t>(integerDigits + decimals + 4) > sizeof stackBuffer) {
    heapBuffer.resize(integerDigits + decimals + 4);
    buffer = heapBuffer.data();
  }
  char* out = buffer;
  if (x < 0 && rounded.digits != 0) *out++ = '-';
  out = WriteFixed(out, rounded, decimals, '.');
  return std::string(buffer, out);
}

std::string ExponentText(long double x, std::int32_t significant, std::int32_t exponentDigits) {
  significant = std::clamp(significant, 1, kIntermediateDigits);
  exponentDigits = std::clamp(exponentDigits, 1, 4);
  Decimal rounded;
  int exponent = 0;
  if (std::isfinite(x) && x != 0) {
    const Decimal digits = EighteenDigits(std::fabs(x), exponent);
    rounded = RoundToSignificant(digits, exponent, significant);
  }
  char digits[24] = {};
  std::fill(digits, digits + significant, '0');
  if (rounded.digits != 0) std::to_chars(digits, digits + sizeof digits, rounded.digits);
  char buffer[48];
  char* out = buffer;
  if (x < 0 && rounded.digits != 0) *out++ = '-';
  *out++ = digits[0];
  if (significant > 1) {
    *out++ = '.';
    out = std::copy(digits + 1, digits + significant, out);
  }
  out = WriteExponent(out, exponent, exponentDigits);
  return std::string(buffer, out);
}

std::string RealText(long double x) {
  return RealTextPrec(0, x);
}

std::string RealTextPrec(std::int32_t k, long double x) {
  if (std::fabs(x) < 1e-5L) return "0";
  std::int32_t intDigits = 0;
  std::int32_t decimals = 0;
  NumberDigits(x, 3 - k, intDigits, decimals);
  return RealTextFixed(intDigits, decimals, x);
}

std::string RealTextDec(std::int32_t decimals, long double x) {
  std::int32_t intDigits = 0;
  std::int32_t unused = 0;
  NumberDigits(x, 3, intDigits, unused);
  return RealTextFixed(intDigits, decimals, x);
}

std::string RealTextWidth(std::int32_t width, long double x) {
  if (std::fabs(x) < 1e-6L) return TextRight("0", width);
  std::int32_t unused = 0;
  std::int32_t decimals = 0;
  NumberDigits(x, 3, unused, decimals);
  return RealTextFixed(decimals == 0 ? width : width - decimals - 1, decimals, x);
}

std::string RealTextAuto(long double x) {
  const long double magnitude = std::fabs(x);
  if (magnitude < 1e-12L) return RealText(0);
  if (magnitude >= 1e-4L && magnitude < 10000) return RealText(x);
  return RealTextEng(x);
}

std::string RealTextEng(long double x) {
  const std::int32_t e = DecimalExponent(x);
  if (e >= -2 && e < 4) return RealText(x);
  const std::int32_t exponent = 3 * (e / 3);
  return RealText(x / Pow10(exponent)) + "E" + IntText(exponent);
}

std::string RealTextPoint(long double x) {
  return CommasToPoints(RealText(x));
}

std::string RealTextDecPoint(std::int32_t decimals, long double x) {
  return CommasToPoints(RealTextDec(decimals, x));
}

std::string RealTextFixedPoint(std::int32_t intDigits, std::int32_t decimals, long double x) {
  return CommasToPoints(RealTextFixed(intDigits, decimals, x));
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr int kMantissaDigits = 19;  // 10^19 - 1 still fits 64 bits
constexpr int kExponentLimit = 100000;

struct RealScanner {
  std::string_view text;
  std::size_t firstComma;
  std::size_t pos = 0;
  std::uint64_t mantissa = 0;
  int keptDigits = 0;
  int exponent = 0;
  bool anyDigit = false;

  bool AtSeparator() const { return pos < text.size() && (text[pos] == '.' || pos == firstComma); }

  // Reads digits into the mantissa; fraction digits lower the exponent.
  void ReadDigits(bool fraction) {
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      anyDigit = true;
      if (keptDigits < kMantissaDigits) {
        mantissa = mantissa * 10 + (text[pos] - '0');
        if (mantissa != 0) ++keptDigits;
        if (fraction) --exponent;
      } else if (!fraction) {
        ++exponent;
      }
    }
  }

  // Reads "E"/"e", an optional sign and at least one digit; false when malformed.
  bool ReadExponent() {
    if (pos >= text.size() || (text[pos] != 'e' && text[pos] != 'E')) return true;
    ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
      negative = text[pos] == '-';
      ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos])) return false;
    int value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      value = std::min(value * 10 + (text[pos] - '0'), kExponentLimit);
    }
    exponent += negative ? -value : value;
    return true;
  }
};

enum class RealScan { NotANumber, Zero, Value, BeyondRange };

// The value of a text of the real syntax; BeyondRange when its mantissa is not zero but its value
// overflows or underflows a long double.
RealScan ScanReal(std::string_view text, long double& value) {
  RealScanner scan{text, text.find(',')};
  while (scan.pos < text.size() && text[scan.pos] == ' ') ++scan.pos;
  bool negative = false;
  if (scan.pos < text.size() && (text[scan.pos] == '+' || text[scan.pos] == '-')) {
    negative = text[scan.pos] == '-';
    ++scan.pos;
  }
  scan.ReadDigits(false);
  if (scan.AtSeparator()) {
    ++scan.pos;
    scan.ReadDigits(true);
  }
  if (!scan.anyDigit || !scan.ReadExponent() || scan.pos != text.size()) {
    return RealScan::NotANumber;
  }
  if (scan.mantissa == 0) return RealScan::Zero;
  const long double magnitude =
      ScaleByPow10(static_cast<long double>(scan.mantissa), std::clamp(scan.exponent, -6000, 6000));
  if (!std::isfinite(magnitude) || magnitude == 0) return RealScan::BeyondRange;
  value = negative ? -magnitude : magnitude;
  return RealScan::Value;
}

// The value of a text of the integer syntax; nothing for any other text.
std::optional<std::int32_t> ScanInt(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  const bool hex = pos < text.size() && text[pos] == '$';
  if (hex) ++pos;
  const std::int64_t limit = hex ? 0xFFFFFFFFLL : 0x80000000LL;
  const int base = hex ? 16 : 10;
  std::int64_t value = 0;
  const std::size_t start = pos;
  for (; pos < text.size(); ++pos) {
    const int digit = HexDigit(text[pos]);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  if (pos == start) return std::nullopt;
  if (hex) {
    const auto pattern = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(pattern)) : pattern;
  }
  if (!negative && value > 0x7FFFFFFFLL) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -value : value);
}

// A typed text without the blanks after it; a blank text gives an empty one.
std::string_view WithoutTrailingBlanks(std::string_view text) {
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace

long double TextToReal(std::string_view text) {
  long double value = 0;
  return ScanReal(text, value) == RealScan::Value ? value : 0;
}

std::optional<long double> TypedReal(std::string_view text) {
  long double value = 0;
  const std::string_view number = WithoutTrailingBlanks(text);
  if (number.empty()) return value;
  const RealScan scan = ScanReal(number, value);
  if (scan == RealScan::NotANumber || scan == RealScan::BeyondRange) return std::nullopt;
  return value;
}

std::optional<long double> TypedNumber(std::string_view text,
                                       long double (*parse)(std::string_view)) {
  if (!TypedReal(text)) return std::nullopt;
  return parse(WithoutTrailingBlanks(text));
}

std::int32_t TextToInt(std::string_view text) {
  return ScanInt(text).value_or(0);
}

std::optional<std::int32_t> TypedInt(std::string_view text) {
  const std::string_view number = WithoutTrailingBlanks(text);
  if (number.empty()) return 0;
  return ScanInt(number);
}

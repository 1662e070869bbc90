#include "cad/layer/dxfnumber.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "base/text/numbertext.h"
#include "base/text/utilmath.h"

namespace {

// FixedPointText's own steps, without its general cases: the 18 significant digits of |x|
// (|x| scaled by one exact power of ten, rounded to nearest), then rounded half away from zero
// at the last decimal, for values whose digits reach that decimal. Its results are the texts'
// definition: whatever this path does not cover goes to FixedPointText itself.

constexpr int kSignificant = 18;
constexpr int kExactPowers = 28;  // 10^27 is the largest power of ten a long double holds exactly

template <class T, std::size_t N>
constexpr std::array<T, N> powers_of_ten() {
  std::array<T, N> powers{};
  T p = 1;
  for (T& slot : powers) {
    slot = p;
    p *= 10;
  }
  return powers;
}
constexpr auto kPowers = powers_of_ten<long double, kExactPowers>();
// The same powers up to 10^22, the largest a double holds exactly: the same products and
// comparisons, from 8-byte loads, which the x87 unit takes faster than 10-byte ones.
constexpr int kExactDoublePowers = 23;
constexpr auto kDoublePowers = powers_of_ten<double, kExactDoublePowers>();
constexpr auto kIntegerPowers = powers_of_ten<std::uint64_t, 20>();  // up to 10^19

// n / 10^power for power 1 to 18, each a division by a constant (which the compiler turns into a
// multiplication) rather than by a value known only at run time.
template <std::size_t... P>
std::uint64_t divide_by_power(std::uint64_t n, int power, std::index_sequence<P...>) {
  std::uint64_t quotient = 0;
  static_cast<void>(
      ((power == static_cast<int>(P) + 1 ? (quotient = n / kIntegerPowers[P + 1], true) : false) ||
       ...));
  return quotient;
}

std::uint64_t divide_by_power(std::uint64_t n, int power) {
  return divide_by_power(n, power, std::make_index_sequence<kSignificant>());
}

// |x| * 10^n with a single rounding; false where FixedPointText would take two steps.
bool scale(long double a, int n, long double& scaled) {
  if (n > kExactPowers - 1 || n < -(kExactPowers - 1)) return false;
  const auto power = static_cast<std::size_t>(n >= 0 ? n : -n);
  const long double factor =
      power < kExactDoublePowers ? static_cast<long double>(kDoublePowers[power]) : kPowers[power];
  scaled = n >= 0 ? a * factor : a / factor;
  return true;
}

// The decade of a: exact for 1 <= a < 10^18, FixedPointText's estimate below 1.
int decade(long double a) {
  if (a >= 1) {
    int e = 0;
    while (a >= kDoublePowers[static_cast<std::size_t>(e) + 1]) ++e;  // a < 10^18
    return e;
  }
  int binary_exponent = 0;
  std::frexp(a, &binary_exponent);
  return static_cast<int>(std::floor((binary_exponent - 1) * 0.30102999566398120));
}

// llrint(v) for 0 <= v < 2^63, rounded in the current rounding mode as llrint rounds. In the x87
// format, whose mantissa has 64 bits with no hidden one, v + 2^63 is that integer plus 2^63 in
// the mantissa's bits, rounded once: no library call.
std::uint64_t nearest_integer(long double v) {
  if constexpr (std::numeric_limits<long double>::digits == 64 &&
                std::endian::native == std::endian::little) {
    constexpr long double kTwoTo63 = 9223372036854775808.0L;
    if (v < kTwoTo63) {
      const long double shifted = v + kTwoTo63;
      std::uint64_t mantissa = 0;
      std::memcpy(&mantissa, &shifted, sizeof mantissa);
      return mantissa - (std::uint64_t{1} << 63);
    }
  }
  return static_cast<std::uint64_t>(std::llrint(v));
}

// The 18 significant digits of a (1e-15 <= a < 1e18) and the power of the lowest one.
bool eighteen_digits(long double a, std::uint64_t& digits, int& low) {
  int e = decade(a);
  long double scaled = 0;
  if (!scale(a, kSignificant - 1 - e, scaled)) return false;
  if (scaled >= 1e18L) {
    ++e;
    if (!scale(a, kSignificant - 1 - e, scaled)) return false;
  } else if (scaled < 1e17L) {
    --e;
    if (!scale(a, kSignificant - 1 - e, scaled)) return false;
  }
  digits = nearest_integer(scaled);
  if (digits >= kIntegerPowers[kSignificant]) {
    digits /= 10;
    ++e;
  }
  low = e - (kSignificant - 1);
  return true;
}

constexpr char kDigitPairs[] =
    "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546"
    "4748495051525354555657585960616263646566676869707172737475767778798081828384858687888990919293"
    "949596979899";

// The decimal digits of n (below 10^19) written backwards up to end.
void write_digits(std::uint64_t n, char* end) {
  while (n >= 100) {
    const std::size_t pair = static_cast<std::size_t>(n % 100) * 2;
    n /= 100;
    *--end = kDigitPairs[pair + 1];
    *--end = kDigitPairs[pair];
  }
  if (n >= 10) {
    *--end = kDigitPairs[n * 2 + 1];
    *--end = kDigitPairs[n * 2];
  } else {
    *--end = static_cast<char>('0' + n);
  }
}

// The number of decimal digits of n (1 for 0): from its bit width, which leaves two candidates.
// n | 1 has as many digits as n, since no power of ten is odd but 1.
int digit_count(std::uint64_t n) {
  n |= 1;
  // 1233 / 4096 is about log10 2.
  const auto estimate = static_cast<int>((std::bit_width(n) * 1233) >> 12);
  return estimate + 1 - (n < kIntegerPowers[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// kept (below 10^19) as a number with `decimals` decimals (at most 27): "-" when negative, at
// least one integer digit. Digits go straight to their places in out (kDxfNumberRoom bytes).
char* write_decimals(char* out, bool negative, std::uint64_t kept, int decimals) {
  *out = '-';
  out += negative ? 1 : 0;
  std::uint64_t integer = kept, fraction = 0;
  if (decimals > kSignificant) {
    integer = 0;
    fraction = kept;
  } else if (decimals > 0) {
    integer = divide_by_power(kept, decimals);
    fraction = kept - integer * kIntegerPowers[static_cast<std::size_t>(decimals)];
  }
  out += digit_count(integer);
  write_digits(integer, out);
  if (decimals == 0) return out;
  *out++ = '.';
  std::memset(out, '0', 28);  // the fraction's leading zeros; fixed length, so no call
  write_digits(fraction, out + decimals);
  return out + decimals;
}

// Integer digits of the value before the unit factor: the width of the field.
std::size_t field_width(long double unscaled) {
  long double magnitude = std::fabs(unscaled);
  if (!(magnitude >= 1) || !std::isfinite(magnitude)) return 0;
  return static_cast<std::size_t>(DecimalExponent(magnitude) + 1);
}

}  // namespace

char* dxf_write_number(char* out, const long double& value, const long double& unscaled,
                       std::int32_t decimals) {
  const long double a = std::fabs(value);
  // Only a unit factor below 1 can make the text shorter than its field.
  if (a < std::fabs(unscaled)) return nullptr;
  if (decimals < 0 || !(a >= 1e-15L && a < 1e18L)) return nullptr;
  std::uint64_t digits = 0;
  int low = 0;
  if (!eighteen_digits(a, digits, low)) return nullptr;
  const int drop = -decimals - low;
  if (drop < 1 || drop > kSignificant) return nullptr;
  const std::uint64_t unit = kIntegerPowers[static_cast<std::size_t>(drop)];
  std::uint64_t kept = divide_by_power(digits, drop);
  if ((digits - kept * unit) * 2 >= unit) ++kept;

  return write_decimals(out, value < 0 && kept != 0, kept, decimals);
}

std::string dxf_number_text(long double value, long double unscaled, std::int32_t decimals) {
  char buffer[kDxfNumberRoom];
  if (const char* end = dxf_write_number(buffer, value, unscaled, decimals))
    return std::string(static_cast<const char*>(buffer), end);
  std::string text = FixedPointText(value, decimals);
  if (std::fabs(value) < std::fabs(unscaled)) {
    const std::size_t width = field_width(unscaled);
    if (width > text.size()) text.insert(0, width - text.size(), ' ');
  }
  return text;
}

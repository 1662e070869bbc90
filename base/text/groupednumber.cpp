// Whole numbers with thousands separators.
#include "base/text/groupednumber.h"

#include <algorithm>
#include <cmath>

#include "base/text/numbertext.h"

std::string GroupedNumberText(long double x, std::int32_t width) {
  const long double rounded = std::round(x);
  const char separator = DecimalSeparator == ',' ? '.' : ',';
  std::string digits;
  for (long double rest = std::fabs(rounded); digits.empty() || rest >= 1;
       rest = std::floor(rest / 10)) {
    if (digits.size() % 4 == 3) digits.insert(digits.begin(), separator);
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(std::fmod(rest, 10))));
  }
  if (rounded < 0) digits.insert(digits.begin(), '-');
  const auto pad = static_cast<std::size_t>(std::max<std::int32_t>(width, 0));
  return digits.size() < pad ? std::string(pad - digits.size(), ' ') + digits : digits;
}

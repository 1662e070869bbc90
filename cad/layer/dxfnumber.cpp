#include "cad/layer/dxfnumber.h"

#include <charconv>
#include <cmath>

#include "base/text/numbertext.h"
#include "base/text/utilmath.h"

std::string_view dxf_code_text(std::int32_t code, char* buffer) {
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, code).ptr;
  std::size_t length = static_cast<std::size_t>(end - digits);
  std::size_t blanks = length < 3 ? 3 - length : 0;
  for (std::size_t i = 0; i < blanks; ++i) buffer[i] = ' ';
  for (std::size_t i = 0; i < length; ++i) buffer[blanks + i] = digits[i];
  return std::string_view(buffer, blanks + length);
}

namespace {

// Integer digits of the value before the unit factor: the width of the field.
std::size_t field_width(long double unscaled) {
  long double magnitude = std::fabs(unscaled);
  if (!(magnitude >= 1) || !std::isfinite(magnitude)) return 0;
  return static_cast<std::size_t>(DecimalExponent(magnitude) + 1);
}

}  // namespace

std::string dxf_number_text(long double value, long double unscaled, std::int32_t decimals) {
  std::string text = FixedPointText(value, decimals);
  // Only a unit factor below 1 can make the text shorter than its field.
  if (std::fabs(value) < std::fabs(unscaled)) {
    std::size_t width = field_width(unscaled);
    if (width > text.size()) text.insert(0, width - text.size(), ' ');
  }
  return text;
}

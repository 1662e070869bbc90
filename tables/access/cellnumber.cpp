#include "tables/access/cellnumber.h"

#include <cmath>
#include <limits>

#include "base/dialogs/utilcrt.h"
#include "base/text/numbertext.h"
#include "tables/core/tznumber.h"

namespace dadav {

std::optional<double> CellNumber(const FieldDescriptor& field, const std::string& text) {
  const std::optional<long double> value = TypedReal(text);
  if (!value || std::fabs(*value) > std::numeric_limits<double>::max()) return std::nullopt;
  if (field.decimals == 0 && std::trunc(*value) != *value) return std::nullopt;
  return static_cast<double>(*value);
}

void RefuseCellNumber(const FieldDescriptor& field) {
  // The width holds the digits before the point, the point and the decimals; the lowest value
  // gives one digit to its sign.
  const int decimals = field.decimals;
  const int digits = field.length - (decimals > 0 ? decimals + 1 : 0);
  const long double last = std::pow(10.0L, -decimals);
  const long double hi = std::pow(10.0L, digits) - last;
  const long double lo = digits > 1 ? last - std::pow(10.0L, digits - 1) : 0;
  ShowRangeError(FixedText(lo, decimals), FixedText(hi, decimals));
}

}  // namespace dadav

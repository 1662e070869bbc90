#include "cad/drawings/drawscale.h"

#include <cmath>

#include "base/text/numbertext.h"
#include "base/text/utilmath.h"

namespace {

// Rounds to the nearest integer, halves to even.
long double round_even(long double x) {
  return std::nearbyint(x);
}

}  // namespace

long double RoundScale(long double s) {
  if (!std::isfinite(s) || s <= 0) return 1;
  // The offset 0.49 steps down unless s lies just below the next step.
  const long double p = Pow10(round_even(Log10(s) - 0.49L));
  const long double k = round_even(s / p - 0.49L);
  if (k < 2) return p;
  if (k <= 4) return 2 * p;
  if (k <= 10) return 5 * p;
  return p;
}

std::string ScaleText(long double s) {
  if (s >= 1) return "M " + RealText(s) + ":1";
  return "M 1:" + RealText(1 / s);
}

#include "base/text/utilmath.h"

#include <cmath>

#include "base/settings/brelvar.h"
#include "base/text/messages.h"

long double CheckedSqrt(const std::string& text, long double x) {
  if (x >= 0) return std::sqrt(x);
  if (SqrtQuiet == 0 && !text.empty()) AddMessage(text + " (sqrt)");
  return 0;
}

long double Hypot(long double a, long double b) {
  return std::sqrt(a * a + b * b);
}

long double AngleXY(long double x, long double y) {
  if (x == 0) return y >= 0 ? Pi / 2 : -Pi / 2;
  const long double angle = std::atan(y / x);
  return x < 0 ? angle + Pi : angle;
}

long double ArcTan2(long double y, long double x) {
  return AngleXY(x, y);
}

void PolarToXY(long double r, long double phi, long double& x, long double& y) {
  x = r * std::cos(phi);
  y = r * std::sin(phi);
}

void XYToPolar(long double x, long double y, long double& r, long double& phi) {
  r = Hypot(x, y);
  phi = AngleXY(x, y);
}

void RotateXY(long double x, long double y, long double phi, long double& xr, long double& yr) {
  const long double c = std::cos(phi);
  const long double s = std::sin(phi);
  xr = x * c - y * s;
  yr = y * c + x * s;
}

void PlaceXY(long double x0, long double y0, long double angle, long double x, long double y,
             long double& xp, long double& yp) {
  RotateXY(x, y, DegToRad(angle), xp, yp);
  xp += x0;
  yp += y0;
}

void InsertXY(long double sx, long double sy, long double x0, long double y0, long double angle,
              long double x, long double y, long double& xp, long double& yp) {
  PlaceXY(x0, y0, angle, sx * x, sy * y, xp, yp);
}

long double RadToDeg(long double a) {
  return a * 180 / Pi;
}
long double DegToRad(long double a) {
  return a * Pi / 180;
}
long double Tan(long double x) {
  return std::tan(x);
}

long double IntPower(std::int32_t n, long double x) {
  // Widened so that the magnitude of the lowest 32-bit exponent does not overflow.
  std::int64_t count = n < 0 ? -static_cast<std::int64_t>(n) : n;
  long double result = 1;
  for (; count > 0; --count) result *= x;
  return n < 0 ? 1 / result : result;
}

long double Log10(long double x) {
  return x <= 0 ? 0 : std::log(x) / std::log(10.0L);
}
long double Pow10(long double x) {
  return std::exp(x * std::log(10.0L));
}

long double FloorOf(long double x) {
  const long double whole = std::trunc(x);
  return x < 0 ? whole - 1 : whole;
}

std::int32_t DecimalExponent(long double x) {
  if (x == 0 || !std::isfinite(x)) return 0;
  return static_cast<std::int32_t>(std::lround(FloorOf(Log10(std::fabs(x)))));
}

bool AlmostEqual(long double a, long double b) {
  return std::fabs(a - b) < 1e-5L;
}
long double MaxReal(long double a, long double b) {
  return b > a ? b : a;
}
long double MinReal(long double a, long double b) {
  return b < a ? b : a;
}
std::int32_t IMax(std::int32_t a, std::int32_t b) {
  return b > a ? b : a;
}
std::int32_t IMin(std::int32_t a, std::int32_t b) {
  return b < a ? b : a;
}
std::int32_t IClamp(std::int32_t lo, std::int32_t hi, std::int32_t v) {
  return IMin(IMax(v, lo), hi);
}

void SwapReal(long double& a, long double& b) {
  const long double t = a;
  a = b;
  b = t;
}

long double SweepAngle(long double start, long double end, long double dir) {
  auto frac = [](long double v) { return v - std::trunc(v); };
  long double s = 360 * (frac(end / 360) - frac(start / 360));
  if (dir < 0) s = -s;
  if (s < 0) s += 360;
  if (dir < 0) s = -s;
  return s;
}

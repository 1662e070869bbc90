#pragma once
// Extended-precision math shared by the calculation, the number texts, the drawing layer and the
// CAD writers. Angles are radians unless a routine says degrees.

#include <cstdint>
#include <string>

inline constexpr long double Pi = 3.14159265358979323851L;

// Factors between the metric units values are held in and the imperial units they may be shown
// in. The reverse direction divides by the same factor.
inline constexpr long double kMmPerInch = 25.4L;
inline constexpr long double kPsiPerMpa = 145.037L;
inline constexpr long double kNmPerLbfIn = 0.112984788L;
inline constexpr long double kMm2PerIn2 = 645.16L;
inline constexpr long double kMm3PerIn3 = 16387.064L;
inline constexpr long double kMm4PerIn4 = 416231.4256L;

inline long double InToMm(long double x) {
  return x * kMmPerInch;
}
inline long double MmToIn(long double x) {
  return x / kMmPerInch;
}
inline long double PsiToMpa(long double x) {
  return x / kPsiPerMpa;
}
inline long double MpaToPsi(long double x) {
  return x * kPsiPerMpa;
}
inline long double LbfInToNm(long double x) {
  return x * kNmPerLbfIn;
}
inline long double NmToLbfIn(long double x) {
  return x / kNmPerLbfIn;
}
inline long double Mm2ToIn2(long double x) {
  return x / kMm2PerIn2;
}
inline long double Mm3ToIn3(long double x) {
  return x / kMm3PerIn3;
}
inline long double Mm4ToIn4(long double x) {
  return x / kMm4PerIn4;
}

// Square root of x >= 0. A negative x gives 0 and, unless SqrtQuiet is set or text is empty,
// adds the message text + " (sqrt)".
long double CheckedSqrt(const std::string& text, long double x);

long double Hypot(long double a, long double b);

// Direction angle of the vector (x, y) in -pi/2 .. 3pi/2.
long double AngleXY(long double x, long double y);
long double ArcTan2(long double y, long double x);

void PolarToXY(long double r, long double phi, long double& x, long double& y);
void XYToPolar(long double x, long double y, long double& r, long double& phi);

// Counter-clockwise rotation by phi.
void RotateXY(long double x, long double y, long double phi, long double& xr, long double& yr);

// Rotates (x, y) by angle degrees and adds (x0, y0).
void PlaceXY(long double x0, long double y0, long double angle, long double x, long double y,
             long double& xp, long double& yp);

// The transform of an inserted block: scale by (sx, sy), rotate by angle degrees, move.
void InsertXY(long double sx, long double sy, long double x0, long double y0, long double angle,
              long double x, long double y, long double& xp, long double& yp);

long double RadToDeg(long double a);
long double DegToRad(long double a);
long double Tan(long double x);

// x to the integer power n (exponent first); n < 0 gives 1 / x^|n|.
long double IntPower(std::int32_t n, long double x);

long double Log10(long double x);  // 0 for x <= 0
long double Pow10(long double x);

// Integer part toward zero, minus 1 for every negative x (so -2 gives -3).
long double FloorOf(long double x);

// FloorOf(Log10(|x|)); 0 for x = 0 (and for infinities and NaN).
std::int32_t DecimalExponent(long double x);

bool AlmostEqual(long double a, long double b);  // |a - b| < 1e-5
long double MaxReal(long double a, long double b);
long double MinReal(long double a, long double b);
std::int32_t IMax(std::int32_t a, std::int32_t b);
std::int32_t IMin(std::int32_t a, std::int32_t b);
std::int32_t IClamp(std::int32_t lo, std::int32_t hi, std::int32_t v);
void SwapReal(long double& a, long double& b);

// Swept angle in degrees from start to end: the counter-clockwise sweep in 0..360 for dir >= 0,
// the clockwise sweep as a value in -360..0 for dir < 0 (for angles within 0..360).
long double SweepAngle(long double start, long double end, long double dir);

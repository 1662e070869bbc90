#include "base/text/unittext.h"

#include <algorithm>

#include "base/settings/brelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilmath.h"

namespace {

bool Imperial() {
  return UnitSystem == 1;
}
bool StressInNPerMm2() {
  return UnitSystem == 3 || UnitSystem == 4;
}
bool PlainDigits() {
  return TextCharMode == 1;
}

}  // namespace

std::string LengthText(long double x) {
  return Imperial() ? RealTextDec(4, MmToIn(x)) : RealText(x);
}

std::string LengthTextDec(std::int32_t decimals, long double x) {
  return Imperial() ? RealTextDec(decimals + 1, MmToIn(x)) : RealTextDec(decimals, x);
}

std::string LengthTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x) {
  if (!Imperial()) return RealTextFixed(intDigits, decimals, x);
  return RealTextFixed(std::max(intDigits - 1, 1), decimals + 1, MmToIn(x));
}

long double TextToLength(std::string_view text) {
  const long double value = TextToReal(text);
  return Imperial() ? InToMm(value) : value;
}

std::string StressText(long double x) {
  return RealText(Imperial() ? MpaToPsi(x) : x);
}

std::string StressTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x) {
  if (!Imperial()) return RealTextFixed(intDigits, decimals, x);
  return RealTextFixed(intDigits + 2, std::max(decimals - 2, 0), MpaToPsi(x));
}

long double TextToStress(std::string_view text) {
  const long double value = TextToReal(text);
  return Imperial() ? PsiToMpa(value) : value;
}

std::string TorqueText(long double x) {
  return RealText(TorqueValue(x));
}

std::string TorqueTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x) {
  if (!Imperial()) return RealTextFixed(intDigits, decimals, x);
  return RealTextFixed(intDigits + 1, std::max(decimals - 1, 0), NmToLbfIn(x));
}

long double TorqueValue(long double x) {
  return Imperial() ? NmToLbfIn(x) : x;
}

long double TextToTorque(std::string_view text) {
  const long double value = TextToReal(text);
  return Imperial() ? LbfInToNm(value) : value;
}

std::string AreaText(long double x) {
  return RealText(Imperial() ? Mm2ToIn2(x) : x);
}
std::string VolumeText(long double x) {
  return RealTextAuto(Imperial() ? Mm3ToIn3(x) : x);
}
std::string InertiaText(long double x) {
  return RealText(Imperial() ? Mm4ToIn4(x) : x);
}

std::string LengthUnitLabel() {
  return Imperial() ? "in" : "mm";
}

// "²" is 253 and "³" is 252 in code page 850.
std::string StressUnitLabel() {
  if (Imperial()) return "psi";
  return StressInNPerMm2() ? "N/mm\xFD" : "MPa";
}

std::string TorqueUnitLabel() {
  return Imperial() ? "lbfin" : "Nm";
}

std::string AreaUnitLabel() {
  return std::string(Imperial() ? "in" : "mm") + (PlainDigits() ? "2" : "\xFD");
}

std::string VolumeUnitLabel() {
  return std::string(Imperial() ? "in" : "mm") + (PlainDigits() ? "3" : "\xFC");
}

std::string InertiaUnitLabel() {
  return Imperial() ? "in4" : "mm4";
}

#pragma once
// Values and labels in the user's unit system. Values are held in mm, MPa (N/mm²), N m, mm²,
// mm³ and mm⁴; only UnitSystem 1 (imperial: in, psi, lbf in) converts on the way in and out.
// Labels are in code page 850.

#include <cstdint>
#include <string>
#include <string_view>

std::string LengthText(long double x);
std::string LengthTextDec(std::int32_t decimals, long double x);
std::string LengthTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x);
long double TextToLength(std::string_view text);

std::string StressText(long double x);
std::string StressTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x);
long double TextToStress(std::string_view text);

std::string TorqueText(long double x);
std::string TorqueTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x);
long double TorqueValue(long double x);  // x N m in the user's torque unit
long double TextToTorque(std::string_view text);

std::string AreaText(long double x);
std::string VolumeText(long double x);
std::string InertiaText(long double x);

std::string LengthUnitLabel();
std::string StressUnitLabel();
std::string TorqueUnitLabel();
std::string AreaUnitLabel();    // with "²", or "2" when TextCharMode is 1
std::string VolumeUnitLabel();  // with "³", or "3" when TextCharMode is 1
std::string InertiaUnitLabel();

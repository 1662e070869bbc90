#pragma once
// Whole numbers with thousands separators, as the system-information window shows disk sizes:
// rounded half away from zero, groups of three digits joined by "," where the regional decimal
// sign (DecimalSeparator) is "." and by "." where it is ",", right-aligned in at least the width.
// Independent of the C library's locale.

#include <cstdint>
#include <string>

std::string GroupedNumberText(long double x, std::int32_t width);

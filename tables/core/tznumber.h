#pragma once
// Numbers as text. The field formatter and parser are locale-free and always use "." because
// tables are exchanged with other programs; the user-facing routines follow DecimalChar.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

// Fixed-point text of value with the given decimals and "." as decimal sign, rounded by the
// program's one rule (base's FixedPointText: an 18-significant-digit intermediate, then half
// away from zero, no minus sign on zero); "NAN", "INF" or "-INF" for a non-finite value.
std::string FixedText(long double value, int decimals);
// The stored form of an N or F field: right-aligned in width, a row of "*" when too long.
std::string FormatFieldReal(double value, int width, int decimals);
// Writes the same field into out[0, width) without building a text, where the value takes the
// formatter's short way; false (nothing written) where only the general rule can settle it.
bool WriteFieldReal(double value, int width, int decimals, char* out);
std::string FormatFieldInt(std::int64_t value, int width);
// Reads "[-]digits[.digits]" with at most 15 significant digits and 22 decimals, the common
// stored number, without the general parser and exactly as it reads it; false for any other
// text. Zeros before the first other digit are not significant.
bool ParsePlainDecimal(std::string_view text, double& value);
// Reads a stored numeric field ("." decimal sign, blanks around); 0 for blank or bad text.
double ParseFieldReal(std::string_view text);
// The same for a field of the given decimals, at once where it stands as the formatter writes it.
double ParseStoredReal(const char* text, std::size_t length, int decimals);
// Reads a stored integer field; values beyond 64 bits give the limit and set clamped.
std::int64_t ParseFieldInt(std::string_view text, bool* clamped = nullptr);

// User-facing numbers, following DecimalChar and ThousandsChar.
void CleanNumber(std::string& text);
long double ValReal(std::string_view text);
std::int32_t ValLong(std::string_view text);
std::int32_t ValShortInt(std::string_view text);
std::string StrDec(int width, int decimals, long double value);
std::string IntToStrW(std::int64_t value, int width);

}  // namespace dadav

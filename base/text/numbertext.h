#pragma once
// Number texts: integers, fixed-point reals with the digits the program shows, and the strict
// readers for typed and stored numbers. Nothing here depends on the C or C++ global locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal separator of the user's regional settings: "." until the start routine reads it from
// the user's locale environment (LC_ALL, LC_NUMERIC, LANG) without touching the global locale.
// Tests and the configuration may set it.
extern char DecimalSeparator;
// The separator of the locale the environment names; "." when that locale is unknown.
char RegionalDecimalSeparator();
// Start routine: DecimalSeparator := RegionalDecimalSeparator().
void InitNumberText();

std::string IntText(std::int32_t n);
// IntText with "0" in front up to width characters, never cut (for -5 and width 3: "0-5").
std::string IntTextZero(std::int32_t n, std::int32_t width);
// IntText with blanks in front up to width characters, never cut.
std::string IntTextBlank(std::int32_t n, std::int32_t width);

// Integer digits and decimals with which x is shown at precision p (p + 1 significant digits for
// values from 1 to 10^p, p below 1, whole numbers from 10^p on, no trailing zeros). p is taken
// as at most 17.
void NumberDigits(long double x, std::int32_t p, std::int32_t& intDigits, std::int32_t& decimals);

// x in fixed point with `decimals` decimals (adjusted by FloatDigits - 3 when FloatDigits is not
// 3, kept in 0..10), rounded to intDigits + decimals significant digits half away from zero
// after an 18-digit intermediate, blanks in front up to intDigits + decimals + 1 characters
// (intDigits when there are no decimals). An integer part longer than intDigits + decimals
// switches to scientific notation ("1.235E+05"). Pass long double values: the double 2.675 is
// 2.67499... and gives "2.67" where the long double 2.675L gives "2.68".
std::string RealTextFixed(std::int32_t intDigits, std::int32_t decimals, long double x);

// x with exactly `decimals` decimals (kept in 0..80) and "." as decimal sign, for export files:
// the rounding of RealTextFixed (18-digit intermediate, then half away from zero at the last
// decimal) without the FloatDigits adjustment, padding or scientific form. No "-" when the
// value rounds to zero; a non-finite x counts as 0.
std::string FixedPointText(long double x, std::int32_t decimals);

// x in exponent form for export files: `significant` digits (kept in 1..18, a "." after the
// first when there are more), "E", the exponent's sign and at least `exponentDigits` digits (kept
// in 1..4): 12.5 with 6 and 3 is "1.25000E+001". The rounding of FixedPointText at the last
// significant digit; 0 and a non-finite x give zeros ("0.00000E+000"), never a "-".
std::string ExponentText(long double x, std::int32_t significant, std::int32_t exponentDigits);

std::string RealText(long double x);                      // precision 3; |x| < 1e-5 gives "0"
std::string RealTextPrec(std::int32_t k, long double x);  // precision 3 - k
std::string RealTextDec(std::int32_t decimals, long double x);
std::string RealTextWidth(std::int32_t width, long double x);  // right-aligned in width
std::string RealTextAuto(long double x);  // RealText for 1e-4 <= |x| < 10000, else RealTextEng
std::string RealTextEng(long double x);   // exponent a multiple of 3 outside 1e-2 .. 1e4: "25E3"

// The same texts with every "," made "." (for export files).
std::string RealTextPoint(long double x);
std::string RealTextDecPoint(std::int32_t decimals, long double x);
std::string RealTextFixedPoint(std::int32_t intDigits, std::int32_t decimals, long double x);

// Value of a real number text: optional leading blanks, optional sign, digits with an optional
// separator and fraction (at least one digit in all), optional exponent "E"/"e" with optional
// sign and digits. The first "," counts as the separator ".". Any other text (trailing
// characters or blanks, a second separator, "inf", "nan", hex, out of range) gives 0.
long double TextToReal(std::string_view text);
// Value of a number the user typed: the syntax of TextToReal with blanks after the number too;
// an empty or blank text is 0. Nothing for any other text (letters, a unit, a second sign or
// separator) and for a number no long double holds ("1e5000", "1e-5000"), so that a field
// refuses it instead of taking 0.
std::optional<long double> TypedReal(std::string_view text);
// A typed number as parse reads it (TextToReal or a reader in the user's units built on it):
// nothing where TypedReal gives nothing, the blanks after the number no part of it.
std::optional<long double> TypedNumber(std::string_view text,
                                       long double (*parse)(std::string_view));

// Value of an integer text: optional leading blanks, optional sign, then decimal digits or "$"
// and hexadecimal digits (up to $FFFFFFFF, taken as a 32-bit pattern). Any other text, or a
// decimal value outside the 32-bit range, gives 0.
std::int32_t TextToInt(std::string_view text);
// Value of a whole number the user typed, read as TypedReal reads a real: blanks after it are
// no error, a blank text is 0, any other text or one beyond 32 bits gives nothing.
std::optional<std::int32_t> TypedInt(std::string_view text);

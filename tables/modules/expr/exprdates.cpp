#include "tables/modules/expr/exprdates.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "tables/core/tzdate.h"
#include "tables/modules/expr/exprkeys.h"

namespace dadav {
namespace {

constexpr std::int32_t kMonthTable[13] = {0,   31,  59,  90,  120, 151, 181,
                                          212, 243, 273, 304, 334, 365};
constexpr double kJulianOffset = 1721425;
// The Julian day of 1 March of the proleptic year 0.
constexpr std::uint32_t kMarchOfYearZero = 1721120;

// The value of the digits at text[0..count), or -1 when one of them is no digit.
std::int32_t DigitsValue(const char* text, int count) {
  std::int32_t value = 0;
  for (int i = 0; i < count; ++i) {
    const auto digit = static_cast<unsigned char>(text[i] - '0');
    if (digit > 9) return -1;
    value = value * 10 + digit;
  }
  return value;
}

// Year, month and day of the first 8 characters when they are YYYYMMDD in digits, from year 1;
// false for blanks and other characters.
bool ReadDtos(std::string_view dtos, CivilDate& date) {
  if (dtos.size() < 8) return false;
  date = {DigitsValue(dtos.data(), 4), DigitsValue(dtos.data() + 4, 2),
          DigitsValue(dtos.data() + 6, 2)};
  return date.year >= 1 && date.month >= 0 && date.day >= 0;
}

// Whether the date is a day of the calendar, asking for a leap year only for 29 February.
bool IsCalendarDay(const CivilDate& date) {
  if (date.month < 1 || date.month > 12 || date.day < 1) return false;
  const std::int32_t length = kMonthTable[date.month] - kMonthTable[date.month - 1];
  if (date.day <= length) return true;
  return date.month == 2 && date.day == 29 && IsLeapYear(date.year);
}

// Writes the last `width` digits of value, zero-padded, ending before `end`. Index keys take
// a DTOS text for every record, so this avoids building texts piece by piece.
void PutDigits(char* end, std::int32_t value, int width) {
  for (int i = 0; i < width; ++i, value /= 10) *--end = static_cast<char>('0' + value % 10);
}

std::string YearText(std::int32_t year) {
  return CenturyOn ? ZeroPadInt(static_cast<std::uint16_t>(year), 4)
                   : ZeroPadInt(static_cast<std::uint16_t>(year % 100), 2);
}

std::string Join(std::string_view a, char separator, std::string_view b, std::string_view c) {
  std::string text(a);
  text += separator;
  text += b;
  text += separator;
  text += c;
  return text;
}

// Keys and stored index texts depend on these pictures, so format 8 stays DD/MM/YY while
// format 7 follows the other day-first pictures.
std::string DatePicture(std::string_view year, std::string_view month, std::string_view day) {
  switch (DateFormat) {
    case 0:
      return Join(month, '/', day, year);
    case 1:
      return Join(year, '.', month, day);
    case 2:
    case 8:
      return Join(day, '/', month, year);
    case 3:
      return Join(day, '-', month, year);
    default:
      return Join(day, '.', month, year);
  }
}

}  // namespace

std::int32_t DayOfYear(std::int32_t year, std::int32_t month, std::int32_t day) {
  if (year < 0 || !IsCalendarDay({year, month, day})) return -1;
  return kMonthTable[month - 1] + day + (IsLeapYear(year) && month > 2 ? 1 : 0);
}

std::int64_t DaysBeforeYear(std::int32_t year) {
  const std::int64_t y = static_cast<std::int64_t>(year) - 1;
  if (y < 1) return 0;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

double YmdToJulian(std::int32_t year, std::int32_t month, std::int32_t day) {
  const std::int32_t n = DayOfYear(year, month, day);
  if (n < 0) return 0;
  return static_cast<double>(DaysBeforeYear(year) + n) + kJulianOffset;
}

CivilDate JulianToCivil(double julian) {
  if (!(julian >= kFirstJulianDay && julian <= kLastJulianDay)) return {};
  // Counted from 1 March of year 0 in 400-year eras, a year's leap day is its last day, so
  // year, month and day follow from divisions alone; index keys take a date for every record.
  const auto days = static_cast<std::uint32_t>(julian) - kMarchOfYearZero;
  const std::uint32_t era = days / 146097;
  const std::uint32_t dayOfEra = days - era * 146097;
  const std::uint32_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint32_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const auto month =
      static_cast<std::int32_t>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  const auto day = static_cast<std::int32_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  const auto year = static_cast<std::int32_t>(era * 400 + yearOfEra + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

std::int32_t JulianDayOfWeek(double julian) {
  if (JulianToCivil(julian).year == 0) return 0;
  const auto day = static_cast<std::int64_t>(std::trunc(julian));
  return static_cast<std::int32_t>((day + 1) % 7) + 1;
}

double DtosToJulian(std::string_view dtos) {
  CivilDate date;
  if (!ReadDtos(dtos, date)) return 0;
  return YmdToJulian(date.year, date.month, date.day);
}

std::string_view StoredDtos(std::string_view stored) {
  constexpr std::uint64_t kZeros = 0x3030303030303030;
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
  std::uint64_t word = 0;
  if (stored.size() >= 8) std::memcpy(&word, stored.data(), 8);
  // Eight digits: each byte is 0x30..0x39, so its high nibble is 3 before and after adding 6.
  const bool digits =
      (word & kHighNibbles) == kZeros && ((word + 0x0606060606060606) & kHighNibbles) == kZeros;
  if (!digits) return "        ";
  // Each byte's digit times ten plus the next one's, then every second byte: the values of
  // the four pairs of digits in the 16-bit lanes, the first pair lowest (bytes are read in
  // memory order, lowest first).
  CivilDate date;
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t pairs = word - kZeros;
    pairs = (pairs * 10 + (pairs >> 8)) & 0x00FF00FF00FF00FF;
    const auto pair = [&](int n) { return static_cast<std::int32_t>((pairs >> (16 * n)) & 0xFF); };
    date = {pair(0) * 100 + pair(1), pair(2), pair(3)};
  } else {
    ReadDtos(stored, date);
  }
  return date.year >= 1 && IsCalendarDay(date) ? stored.substr(0, 8) : "        ";
}

std::string JulianToDtos(double julian) {
  const CivilDate date = JulianToCivil(julian);
  if (date.year == 0) return std::string(8, ' ');
  char text[8];
  PutDigits(text + 4, date.year, 4);
  PutDigits(text + 6, date.month, 2);
  PutDigits(text + 8, date.day, 2);
  return std::string(text, 8);
}

std::string JulianToDtoc(double julian) {
  const CivilDate date = JulianToCivil(julian);
  if (date.year == 0) {
    const std::string blanks(CenturyOn ? 4 : 2, ' ');
    return DatePicture(blanks, "  ", "  ");
  }
  return DatePicture(YearText(date.year), ZeroPadInt(static_cast<std::uint16_t>(date.month), 2),
                     ZeroPadInt(static_cast<std::uint16_t>(date.day), 2));
}

double CtodToJulian(std::string_view date) {
  return DtosToJulian(DateTextToDtos(date));
}

std::string DateTextToDtos(std::string_view date) {
  std::string dtos = DateToDtos(date.substr(0, 10));
  if (dtos == "00000000") return std::string(8, ' ');
  return dtos;
}

}  // namespace dadav

#pragma once
// Date arithmetic of expressions and keys on Julian day numbers: day 1721426 is 1 January of
// year 1 (proleptic Gregorian), 5373484 is 31 December 9999, and 0 is the blank date.

#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

constexpr double kFirstJulianDay = 1721426;
constexpr double kLastJulianDay = 5373484;

struct CivilDate {
  std::int32_t year = 0;
  std::int32_t month = 0;
  std::int32_t day = 0;
};

// 1..366, or -1 for an impossible date.
std::int32_t DayOfYear(std::int32_t year, std::int32_t month, std::int32_t day);
std::int64_t DaysBeforeYear(std::int32_t year);
// 0 for an impossible date.
double YmdToJulian(std::int32_t year, std::int32_t month, std::int32_t day);
// Year, month and day of a Julian day number; all 0 outside 0001-01-01 .. 9999-12-31.
CivilDate JulianToCivil(double julian);
// 1 (Sunday) .. 7 (Saturday); 0 for the blank date.
std::int32_t JulianDayOfWeek(double julian);

// Reads YYYYMMDD (at most 8 characters); 0 for blanks or an impossible date.
double DtosToJulian(std::string_view dtos);
// The first 8 characters of a stored date as DTOS gives them: themselves when they are a day
// of the calendar, else 8 blanks. The same as JulianToDtos(DtosToJulian(stored)), without
// the day number.
std::string_view StoredDtos(std::string_view stored);
// YYYYMMDD, or 8 blanks outside the calendar's range.
std::string JulianToDtos(double julian);
// The date text in the active SET DATE picture and SET CENTURY; the picture's blank date
// outside the range.
std::string JulianToDtoc(double julian);
// Reads a date text of the active picture; 0 when it is no date.
double CtodToJulian(std::string_view date);
// A date text of the active picture as YYYYMMDD; 8 blanks for a blank date.
std::string DateTextToDtos(std::string_view date);

}  // namespace dadav

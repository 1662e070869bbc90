#pragma once
// Dates of the table engine: YYYYMMDD in records, a date text in the active picture towards the
// user, the century window for two-digit years, and the country's separators.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/clock.h"

namespace dadav {

extern std::uint8_t DateFormat;    // active picture 0..8 (SET DATE)
extern bool CenturyOn;             // SET CENTURY
extern std::uint16_t CenturyBase;  // first year of the two-digit window
extern std::uint8_t CountryCode;
extern char DecimalChar;
extern char ThousandsChar;
extern std::string ShortDateFormat;  // e.g. "dd.MM.yy", set with the picture
extern char DateSeparator;

// Country code for a locale name such as "de_DE.UTF-8" (German 5, English 0 for the United
// States else 2, Spanish 6, French 4 and Canadian French 7, Italian 3, Russian 8, others 0).
std::uint8_t CountryFromLocaleName(std::string_view locale);
// The same for the user's locale (LC_ALL, else LANG).
std::uint8_t CountryFromLocale();
void InitCountry();
void SetDateFormat(std::uint8_t picture);

// Today's date and the tick counter come from these, so tests can fix them.
using TodayProc = platform::CivilDateTime (*)();
using TickProc = std::uint32_t (*)();
void SetTodayProc(TodayProc proc);
void SetTickProc(TickProc proc);

void GetDate(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
             std::uint16_t& dayOfWeek);
std::string TodayDtos();
std::uint32_t TickCount();
std::uint32_t TickSeconds();
// File time stamps are packed like the DOS ones: date in the high word, time in the low word.
void FileDateTime(std::int32_t stamp, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
                  std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second);
std::int32_t PackFileStamp(const platform::CivilDateTime& when);

std::string NormalizeDate(std::string_view date);
void ToDatePicture(std::string& date);
std::string BlankDate(std::uint8_t picture);
// True for a real date, which is then rewritten into the active picture; an empty text and one
// of blanks and separators only are refused.
bool ValidDate(std::string& date);
std::string DateToDtos(std::string_view date);
std::string DtosToDate(std::string_view dtos);
// DtosToDate written at out, which has room for kDatePictureRoom; the length written.
constexpr std::size_t kDatePictureRoom = 10;
std::size_t DtosToDateChars(std::string_view dtos, char* out);
// The same with a four-digit year whatever SET CENTURY says: a date text that keeps its century
// where no stored text does (a virtual file's record).
std::string DtosToCenturyDate(std::string_view dtos);
std::int32_t DayOfWeek(std::string_view date);
std::string CDow(std::string_view date);
std::string CMonth(std::string_view date);
// The names of CDow and CMonth by number: day 1 (Sunday) .. 7, month 1 .. 12; blanks otherwise.
std::string DayName(std::int32_t dayOfWeek);
std::string MonthName(std::int32_t month);
std::int32_t MonthOf(std::string_view date);
std::int32_t DayOf(std::string_view date);
std::int32_t YearOf(std::string_view date);
bool IsLeapYear(std::int32_t year);
std::int32_t FloorMod(std::int32_t a, std::int32_t b);
std::int32_t CenturyOf(std::string_view year);
std::string CenturyPrefix(std::string_view year);
std::string WidenYear(std::string_view year);

}  // namespace dadav

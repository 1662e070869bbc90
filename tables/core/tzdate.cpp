#include "tables/core/tzdate.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/system/locale.h"
#include "tables/core/tztext.h"

namespace dadav {

std::uint8_t DateFormat = 0;
bool CenturyOn = false;
std::uint16_t CenturyBase = 1900;
std::uint8_t CountryCode = 0;
char DecimalChar = '.';
char ThousandsChar = ',';
std::string ShortDateFormat = "MM/dd/yy";
char DateSeparator = '/';

namespace {

TodayProc todayProc = &platform::LocalNow;
TickProc tickProc = &platform::TickCountMs;

// Day and month names, one fixed-width row per language; Latin rows in code page 850, the
// Russian ones in code page 866.
constexpr char kDays_en[] =
    "Sunday   "
    "Monday   "
    "Tuesday  "
    "Wednesday"
    "Thursday "
    "Friday   "
    "Saturday ";
constexpr char kDays_it[] =
    "Domenica "
    "Luned\x8D"
    "   "
    "Marted\x8D"
    "  "
    "Mercoled\x8D"
    "Gioved\x8D"
    "  "
    "Venerd\x8D"
    "  "
    "Sabato   ";
constexpr char kDays_fr[] =
    "Dimanche"
    "Lundi   "
    "Mardi   "
    "Mercredi"
    "Jeudi   "
    "Vendredi"
    "Samedi  ";
constexpr char kDays_de[] =
    "Sonntag   "
    "Montag    "
    "Dienstag  "
    "Mittwoch  "
    "Donnerstag"
    "Freitag   "
    "Samstag   ";
constexpr char kDays_es[] =
    "Domingo  "
    "Lunes    "
    "Martes   "
    "Mi\x82"
    "rcoles"
    "Jueves   "
    "Viernes  "
    "S\xA0"
    "bado   ";
constexpr char kDays_ru[] =
    "\x82"
    "\xAE"
    "\xE1"
    "\xAA"
    "\xE0"
    "\xA5"
    "\xE1"
    "\xA5"
    "\xAD"
    "\xEC"
    "\xA5"
    "\x8F"
    "\xAE"
    "\xAD"
    "\xA5"
    "\xA4"
    "\xA5"
    "\xAB"
    "\xEC"
    "\xAD"
    "\xA8"
    "\xAA"
    "\x82"
    "\xE2"
    "\xAE"
    "\xE0"
    "\xAD"
    "\xA8"
    "\xAA"
    "    "
    "\x91"
    "\xE0"
    "\xA5"
    "\xA4"
    "\xA0"
    "      "
    "\x97"
    "\xA5"
    "\xE2"
    "\xA2"
    "\xA5"
    "\xE0"
    "\xA3"
    "    "
    "\x8F"
    "\xEF"
    "\xE2"
    "\xAD"
    "\xA8"
    "\xE6"
    "\xA0"
    "    "
    "\x91"
    "\xE3"
    "\xA1"
    "\xA1"
    "\xAE"
    "\xE2"
    "\xA0"
    "    ";
constexpr char kMonths_en[] =
    "January  "
    "February "
    "March    "
    "April    "
    "May      "
    "June     "
    "July     "
    "August   "
    "September"
    "October  "
    "November "
    "December ";
constexpr char kMonths_it[] =
    "Gennaio  "
    "Febbraio "
    "Marzo    "
    "Aprile   "
    "Maggio   "
    "Giugno   "
    "Luglio   "
    "Agosto   "
    "Settembre"
    "Ottobre  "
    "Novembre "
    "Dicembre ";
constexpr char kMonths_fr[] =
    "Janvier  "
    "F\x82"
    "vrier  "
    "Mars     "
    "Avril    "
    "Mai      "
    "Juin     "
    "Juillet  "
    "Ao\x96"
    "t     "
    "Septembre"
    "Octobre  "
    "Novembre "
    "D\x82"
    "cembre ";
constexpr char kMonths_de[] =
    "Januar   "
    "Februar  "
    "M\x84"
    "rz     "
    "April    "
    "Mai      "
    "Juni     "
    "Juli     "
    "August   "
    "September"
    "Oktober  "
    "November "
    "Dezember ";
constexpr char kMonths_es[] =
    "Enero     "
    "Febrero   "
    "Marzo     "
    "Abril     "
    "Mayo      "
    "Junio     "
    "Julio     "
    "Agosto    "
    "Septiembre"
    "Octubre   "
    "Noviembre "
    "Diciembre ";
constexpr char kMonths_ru[] =
    "\x9F"
    "\xAD"
    "\xA2"
    "\xA0"
    "\xE0"
    "\xEC"
    "  "
    "\x94"
    "\xA5"
    "\xA2"
    "\xE0"
    "\xA0"
    "\xAB"
    "\xEC"
    " "
    "\x8C"
    "\xA0"
    "\xE0"
    "\xE2"
    "    "
    "\x80"
    "\xAF"
    "\xE0"
    "\xA5"
    "\xAB"
    "\xEC"
    "  "
    "\x8C"
    "\xA0"
    "\xA9"
    "     "
    "\x88"
    "\xEE"
    "\xAD"
    "\xEC"
    "    "
    "\x88"
    "\xEE"
    "\xAB"
    "\xEC"
    "    "
    "\x80"
    "\xA2"
    "\xA3"
    "\xE3"
    "\xE1"
    "\xE2"
    "  "
    "\x91"
    "\xA5"
    "\xAD"
    "\xE2"
    "\xEF"
    "\xA1"
    "\xE0"
    "\xEC"
    "\x8E"
    "\xAA"
    "\xE2"
    "\xEF"
    "\xA1"
    "\xE0"
    "\xEC"
    " "
    "\x8D"
    "\xAE"
    "\xEF"
    "\xA1"
    "\xE0"
    "\xEC"
    "  "
    "\x84"
    "\xA5"
    "\xAA"
    "\xA0"
    "\xA1"
    "\xE0"
    "\xEC"
    " ";

struct NameRow {
  const char* names;
  int width;
  bool latin;
};

NameRow DayRow(std::uint8_t picture) {
  switch (picture) {
    case 3:
      return {kDays_it, 9, true};
    case 4:
    case 7:
      return {kDays_fr, 8, true};
    case 5:
      return {kDays_de, 10, true};
    case 6:
      return {kDays_es, 9, true};
    case 8:
      return {kDays_ru, 11, false};
    default:
      return {kDays_en, 9, true};
  }
}

NameRow MonthRow(std::uint8_t picture) {
  switch (picture) {
    case 3:
      return {kMonths_it, 9, true};
    case 4:
    case 7:
      return {kMonths_fr, 9, true};
    case 5:
      return {kMonths_de, 9, true};
    case 6:
      return {kMonths_es, 10, true};
    case 8:
      return {kMonths_ru, 8, false};
    default:
      return {kMonths_en, 9, true};
  }
}

std::string NameAt(const NameRow& row, int index) {
  std::string name(row.names + index * row.width, static_cast<std::size_t>(row.width));
  return row.latin ? OemToStr(name) : name;
}

char SeparatorOf(std::uint8_t picture) {
  if (picture == 0 || picture == 2) return '/';
  if (picture == 3) return '-';
  return '.';
}

int ToInt(std::string_view text, bool& ok) {
  int value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  ok = !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
  return value;
}

// A one-character part with "0" in front (a blank with a blank), built in `buffer`; other
// parts unchanged.
std::string_view Pad2(std::string_view part, char (&buffer)[2]) {
  if (part.size() != 1) return part;
  buffer[0] = part[0] == ' ' ? ' ' : '0';
  buffer[1] = part[0];
  return std::string_view(buffer, 2);
}

bool IsDateSeparator(char c) {
  return c == '.' || c == '/' || c == '-';
}

bool IsBlankDateText(std::string_view date) {
  return date.find_first_not_of(" /.-") == std::string_view::npos;
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && !IsLeapYear(year)) return 28;
  return kDays[month - 1];
}

// Month, day and year texts of a date in the MM/DD/YY(YY) form; views into that text.
struct DateParts {
  std::string_view month, day, year;
};

DateParts SplitNormalized(std::string_view normalized) {
  DateParts parts;
  if (normalized.size() >= 2) parts.month = normalized.substr(0, 2);
  if (normalized.size() >= 5) parts.day = normalized.substr(3, 2);
  if (normalized.size() >= 7) parts.year = normalized.substr(6);
  return parts;
}

std::string JoinDate(std::string_view first, std::string_view second, std::string_view third,
                     char separator) {
  std::string out(first.size() + second.size() + third.size() + 2, separator);
  char* at = std::copy(first.begin(), first.end(), out.data()) + 1;
  at = std::copy(second.begin(), second.end(), at) + 1;
  std::copy(third.begin(), third.end(), at);
  return out;
}

}  // namespace

std::uint8_t CountryFromLocaleName(std::string_view locale) {
  std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
  std::string_view territory;
  std::size_t underscore = locale.find('_');
  if (underscore != std::string_view::npos) {
    territory = locale.substr(underscore + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
  }
  if (language == "de") return 5;
  if (language == "en") return territory == "US" ? 0 : 2;
  if (language == "es") return 6;
  if (language == "fr") return territory == "CA" ? 7 : 4;
  if (language == "it") return 3;
  if (language == "ru") return 8;
  return 0;
}

std::uint8_t CountryFromLocale() {
  return CountryFromLocaleName(platform::UserLocaleName());
}

void InitCountry() {
  CountryCode = CountryFromLocale();
  SetDateFormat(CountryCode);
  if (CountryCode >= 3 && CountryCode <= 6) {
    DecimalChar = ',';
    ThousandsChar = '.';
  } else if (CountryCode == 8) {
    DecimalChar = '.';
    ThousandsChar = ' ';
  } else {
    DecimalChar = '.';
    ThousandsChar = ',';
  }
}

void SetDateFormat(std::uint8_t picture) {
  if (picture >= 9) picture = 0;
  DateFormat = picture;
  DateSeparator = SeparatorOf(picture);
  std::string year = CenturyOn ? "yyyy" : "yy";
  std::string sep(1, DateSeparator);
  if (picture == 0) {
    ShortDateFormat = "MM" + sep + "dd" + sep + year;
  } else if (picture == 1) {
    ShortDateFormat = year + sep + "MM" + sep + "dd";
  } else {
    ShortDateFormat = "dd" + sep + "MM" + sep + year;
  }
}

void SetTodayProc(TodayProc proc) {
  todayProc = proc != nullptr ? proc : &platform::LocalNow;
}
void SetTickProc(TickProc proc) {
  tickProc = proc != nullptr ? proc : &platform::TickCountMs;
}

void GetDate(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
             std::uint16_t& dayOfWeek) {
  platform::CivilDateTime now = todayProc();
  year = static_cast<std::uint16_t>(now.year);
  month = static_cast<std::uint16_t>(now.month);
  day = static_cast<std::uint16_t>(now.day);
  dayOfWeek = static_cast<std::uint16_t>(now.dayOfWeek);
}

std::string TodayDtos() {
  platform::CivilDateTime now = todayProc();
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", now.year % 10000, now.month % 100,
                now.day % 100);
  return text;
}

std::uint32_t TickCount() {
  return tickProc();
}
std::uint32_t TickSeconds() {
  return tickProc() / 1000;
}

std::int32_t PackFileStamp(const platform::CivilDateTime& when) {
  auto date =
      static_cast<std::uint32_t>(((when.year - 1980) & 0x7F) << 9 | when.month << 5 | when.day);
  auto time = static_cast<std::uint32_t>(when.hour << 11 | when.minute << 5 | when.second / 2);
  return static_cast<std::int32_t>(date << 16 | time);
}

void FileDateTime(std::int32_t stamp, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
                  std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second) {
  auto packed = static_cast<std::uint32_t>(stamp);
  std::uint32_t date = packed >> 16;
  std::uint32_t time = packed & 0xFFFF;
  year = static_cast<std::uint16_t>((date >> 9) + 1980);
  month = static_cast<std::uint16_t>((date >> 5) & 0x0F);
  day = static_cast<std::uint16_t>(date & 0x1F);
  hour = static_cast<std::uint16_t>(time >> 11);
  minute = static_cast<std::uint16_t>((time >> 5) & 0x3F);
  second = static_cast<std::uint16_t>((time & 0x1F) * 2);
}

std::string NormalizeDate(std::string_view date) {
  const std::size_t sepPos = static_cast<std::size_t>(
      std::find_if(date.begin(), date.end(), IsDateSeparator) - date.begin());
  if (sepPos == date.size()) return std::string(date);
  char sep = date[sepPos];
  std::size_t second = date.find(sep, sepPos + 1);
  if (second == std::string_view::npos) return std::string(date);
  std::string_view a = date.substr(0, sepPos);
  std::string_view b = date.substr(sepPos + 1, second - sepPos - 1);
  std::string_view c = date.substr(second + 1);
  std::string_view month, day, year;
  if (DateFormat == 0) {
    month = a, day = b, year = c;
  } else if (DateFormat == 1) {
    year = a, month = b, day = c;
  } else {
    day = a, month = b, year = c;
  }
  char monthBuffer[2], dayBuffer[2];
  return JoinDate(Pad2(month, monthBuffer), Pad2(day, dayBuffer), year, '/');
}

void ToDatePicture(std::string& date) {
  if (date.empty() || IsBlankDateText(date)) {
    date = BlankDate(DateFormat);
    return;
  }
  DateParts parts = SplitNormalized(date);
  const char sep = SeparatorOf(DateFormat);
  if (DateFormat == 0) {
    date = JoinDate(parts.month, parts.day, parts.year, sep);
  } else if (DateFormat == 1) {
    date = JoinDate(parts.year, parts.month, parts.day, sep);
  } else {
    date = JoinDate(parts.day, parts.month, parts.year, sep);
  }
}

std::string BlankDate(std::uint8_t picture) {
  std::string year(CenturyOn ? 4 : 2, ' ');
  if (picture == 1) return year + ".  .  ";
  std::string sep(1, SeparatorOf(picture));
  return "  " + sep + "  " + sep + year;
}

bool ValidDate(std::string& date) {
  std::string text = AllTrim(date);
  if (text.size() > 10) text.resize(10);
  // Blanks and separators are no date; the record layer reads and writes a blank stored date
  // itself.
  if (IsBlankDateText(text)) return false;
  text = NormalizeDate(text);
  if ((text.size() != 8 && text.size() != 10) || text[2] != '/' || text[5] != '/') return false;
  bool okMonth = false, okDay = false, okYear = false;
  int month = ToInt(std::string_view(text).substr(0, 2), okMonth);
  int day = ToInt(std::string_view(text).substr(3, 2), okDay);
  int year = ToInt(std::string_view(text).substr(6), okYear);
  if (!okMonth || !okDay || !okYear || month < 1 || month > 12 || day < 1) return false;
  if (text.size() == 8) {
    bool ok = false;
    year = ToInt(WidenYear(std::string_view(text).substr(6)), ok);
  }
  if (day > DaysInMonth(month, year)) return false;
  if (text.size() == 10 && !CenturyOn) text.erase(6, 2);
  if (DateFormat != 0) ToDatePicture(text);
  date = text;
  return true;
}

std::string DateToDtos(std::string_view date) {
  if (IsBlankDateText(date)) return std::string(8, ' ');
  const std::string normalized = NormalizeDate(AllTrim(date));
  const DateParts parts = SplitNormalized(normalized);
  std::string out = WidenYear(parts.year);
  out += parts.month;
  out += parts.day;
  out.resize(8, ' ');
  return out;
}

namespace {

std::size_t WriteDtosPicture(std::string_view dtos, bool century, char* out) {
  char raw[8];
  std::size_t n = std::min<std::size_t>(dtos.size(), 8);
  std::copy_n(dtos.data(), n, raw);
  std::fill(raw + n, raw + 8, ' ');
  const std::string_view year = century ? std::string_view(raw, 4) : std::string_view(raw + 2, 2);
  const std::string_view month(raw + 4, 2);
  const std::string_view day(raw + 6, 2);
  const char sep = SeparatorOf(DateFormat);
  std::string_view first = month, second = day, third = year;
  if (DateFormat == 1) {
    first = year;
    second = month;
    third = day;
  } else if (DateFormat != 0) {
    first = day;
    second = month;
  }
  char* at = std::copy(first.begin(), first.end(), out);
  *at++ = sep;
  at = std::copy(second.begin(), second.end(), at);
  *at++ = sep;
  at = std::copy(third.begin(), third.end(), at);
  return static_cast<std::size_t>(at - out);
}

std::string DtosToPicture(std::string_view dtos, bool century) {
  char out[kDatePictureRoom];
  return std::string(out, WriteDtosPicture(dtos, century, out));
}

}  // namespace

std::string DtosToDate(std::string_view dtos) {
  return DtosToPicture(dtos, CenturyOn);
}

std::size_t DtosToDateChars(std::string_view dtos, char* out) {
  return WriteDtosPicture(dtos, CenturyOn, out);
}

std::string DtosToCenturyDate(std::string_view dtos) {
  return DtosToPicture(dtos, true);
}

std::int32_t DayOfWeek(std::string_view date) {
  const std::string normalized = NormalizeDate(date);
  const DateParts parts = SplitNormalized(normalized);
  bool ok = false;
  int m = ToInt(parts.month, ok);
  int d = ToInt(parts.day, ok);
  int y = YearOf(date);
  if (m < 3) {
    m += 12;
    y -= 1;
  }
  int k = y % 100;
  int j = y / 100;
  int h = FloorMod(d + (m + 1) * 26 / 10 + k + k / 4 + j / 4 - 2 * j, 7);
  return h == 0 ? 7 : h;
}

std::string CDow(std::string_view date) {
  std::string normalized = NormalizeDate(date);
  if (IsBlankDateText(normalized)) return std::string(10, ' ');
  return DayName(DayOfWeek(date));
}

std::string CMonth(std::string_view date) {
  return MonthName(MonthOf(date));
}

std::string DayName(std::int32_t dayOfWeek) {
  if (dayOfWeek < 1 || dayOfWeek > 7) return std::string(10, ' ');
  return NameAt(DayRow(DateFormat), dayOfWeek - 1);
}

std::string MonthName(std::int32_t month) {
  NameRow row = MonthRow(DateFormat);
  if (month < 1 || month > 12) return std::string(static_cast<std::size_t>(row.width), ' ');
  return NameAt(row, month - 1);
}

std::int32_t MonthOf(std::string_view date) {
  bool ok = false;
  return ToInt(SplitNormalized(NormalizeDate(date)).month, ok);
}

std::int32_t DayOf(std::string_view date) {
  bool ok = false;
  return ToInt(SplitNormalized(NormalizeDate(date)).day, ok);
}

std::int32_t YearOf(std::string_view date) {
  std::string year = AllTrim(SplitNormalized(NormalizeDate(date)).year);
  if (year.size() == 2) year = WidenYear(year);
  bool ok = false;
  return ToInt(year, ok);
}

bool IsLeapYear(std::int32_t year) {
  return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

std::int32_t FloorMod(std::int32_t a, std::int32_t b) {
  std::int32_t r = a % b;
  return (r != 0 && ((r < 0) != (b < 0))) ? r + b : r;
}

std::int32_t CenturyOf(std::string_view year) {
  bool ok = false;
  int yy = ToInt(year, ok);
  int base = CenturyBase / 100;
  return yy < CenturyBase % 100 ? base + 1 : base;
}

std::string CenturyPrefix(std::string_view year) {
  return std::to_string(CenturyOf(year));
}

std::string WidenYear(std::string_view year) {
  if (year.size() != 2) return std::string(year);
  char text[16];
  char* end = std::to_chars(text, text + sizeof text, CenturyOf(year)).ptr;
  end = std::copy(year.begin(), year.end(), end);
  return std::string(text, end);
}

}  // namespace dadav

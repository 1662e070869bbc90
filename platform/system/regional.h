#pragma once
// The user's regional settings for dates and numbers, read from the user's locale the same way
// for every backend.

#include <string>
#include <string_view>

namespace platform {

struct RegionalSettings {
  char dateSeparator = '/';
  char decimalChar = '.';
  std::string shortDateFormat = "MM/dd/yy";  // d, M and y as the desktop's short date shows them
};

// From a POSIX date format ("%d.%m.%Y") and radix character.
RegionalSettings RegionalFromPosix(std::string_view dateFormat, char radix);
// Of the locale UserLocaleName names; the "C" locale's when that one is not installed.
RegionalSettings UserRegionalSettings();

}  // namespace platform

// Regional settings from the C library's locale data for the user's locale name.

#include "platform/system/regional.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/system/locale.h"

namespace platform {

namespace {

std::string PosixExpanded(std::string_view format) {
  std::string expanded;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      const char what = format[++i];
      if (what == 'D') {
        expanded += "%m/%d/%y";
        continue;
      }
      if (what == 'F') {
        expanded += "%Y-%m-%d";
        continue;
      }
      expanded += '%';
      expanded += what;
    } else {
      expanded += format[i];
    }
  }
  return expanded;
}

}  // namespace

RegionalSettings RegionalFromPosix(std::string_view dateFormat, char radix) {
  RegionalSettings settings;
  settings.decimalChar = radix == ',' ? ',' : '.';
  const std::string format = PosixExpanded(dateFormat);
  std::string shortFormat;
  bool separatorSeen = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      switch (format[++i]) {
        case 'd':
          shortFormat += "dd";
          break;
        case 'e':
          shortFormat += 'd';
          break;
        case 'm':
          shortFormat += "MM";
          break;
        case 'y':
          shortFormat += "yy";
          break;
        case 'Y':
          shortFormat += "yyyy";
          break;
        default:
          break;
      }
    } else {
      if (!separatorSeen && format[i] != ' ') {
        settings.dateSeparator = format[i];
        separatorSeen = true;
      }
      shortFormat += format[i];
    }
  }
  if (!shortFormat.empty()) settings.shortDateFormat = shortFormat;
  return settings;
}

RegionalSettings UserRegionalSettings() {
  locale_t locale = newlocale(LC_ALL_MASK, UserLocaleName().c_str(), nullptr);
  if (locale == nullptr) locale = newlocale(LC_ALL_MASK, "C", nullptr);
  if (locale == nullptr) return {};
  const std::string dateFormat = nl_langinfo_l(D_FMT, locale);
  const char* radix = nl_langinfo_l(RADIXCHAR, locale);
  const RegionalSettings settings =
      RegionalFromPosix(dateFormat, radix != nullptr ? radix[0] : '.');
  freelocale(locale);
  return settings;
}

}  // namespace platform

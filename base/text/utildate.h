#pragma once
// Today's date and the time of day as numbers and texts, from the machine's clock in local time.

#include <cstdint>
#include <ctime>
#include <string>

// dayOfWeek is always 0.
void GetToday(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
              std::uint16_t& dayOfWeek);
// Today by DateText (layout by DateCode).
std::string TodayText();
// Today as yyyy-mm-dd.
std::string TodayIsoText();
void GetTime(std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second,
             std::uint16_t& hundredths);
// Hour without a leading zero, ":", two-digit minute: "9:05".
std::string HourMinuteText();
// hh:mm:ss.
std::string TimeText();
// The local date of a file time as yyyy-mm-dd.
std::string FileDateText(std::time_t fileDate);

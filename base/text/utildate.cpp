#include "base/text/utildate.h"

#include <chrono>

#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "platform/system/machine.h"

namespace {

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

std::tm LocalNow() {
  return LocalTime(std::chrono::system_clock::to_time_t(platform::CurrentMachine().Now()));
}

std::string IsoDate(const std::tm& date) {
  return IntText(date.tm_year + 1900) + "-" + IntTextZero(date.tm_mon + 1, 2) + "-" +
         IntTextZero(date.tm_mday, 2);
}

}  // namespace

void GetToday(std::uint16_t& year, std::uint16_t& month, std::uint16_t& day,
              std::uint16_t& dayOfWeek) {
  const std::tm now = LocalNow();
  year = static_cast<std::uint16_t>(now.tm_year + 1900);
  month = static_cast<std::uint16_t>(now.tm_mon + 1);
  day = static_cast<std::uint16_t>(now.tm_mday);
  dayOfWeek = 0;
}

std::string TodayText() {
  const std::tm now = LocalNow();
  return DateText(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday);
}

std::string TodayIsoText() {
  return IsoDate(LocalNow());
}

void GetTime(std::uint16_t& hour, std::uint16_t& minute, std::uint16_t& second,
             std::uint16_t& hundredths) {
  using namespace std::chrono;
  const system_clock::time_point now = platform::CurrentMachine().Now();
  const std::tm local = LocalTime(system_clock::to_time_t(now));
  const auto sinceSecond = now - floor<seconds>(now);
  hour = static_cast<std::uint16_t>(local.tm_hour);
  minute = static_cast<std::uint16_t>(local.tm_min);
  second = static_cast<std::uint16_t>(local.tm_sec);
  hundredths = static_cast<std::uint16_t>(duration_cast<milliseconds>(sinceSecond).count() / 10);
}

std::string HourMinuteText() {
  const std::tm now = LocalNow();
  return IntText(now.tm_hour) + ":" + IntTextZero(now.tm_min, 2);
}

std::string TimeText() {
  const std::tm now = LocalNow();
  return IntTextZero(now.tm_hour, 2) + ":" + IntTextZero(now.tm_min, 2) + ":" +
         IntTextZero(now.tm_sec, 2);
}

std::string FileDateText(std::time_t fileDate) {
  return IsoDate(LocalTime(fileDate));
}

#include "base/utildate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "base/brelvar.h"
#include "tests/base/fakemachine.h"

namespace {

class DateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBrelvar();
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    auto fake = std::make_unique<FakeMachine>();
    machine_ = fake.get();
    platform::SetMachine(std::move(fake));
  }
  void TearDown() override { platform::SetMachine(nullptr); }

  // Sets the clock to a UTC time.
  void SetClock(int year, int month, int day, int hour, int minute, int second, int millis) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    machine_->now =
        std::chrono::system_clock::from_time_t(::timegm(&t)) + std::chrono::milliseconds(millis);
  }

  FakeMachine* machine_ = nullptr;
};

TEST_F(DateTest, TextsOfAFixedClock) {
  SetClock(2024, 3, 5, 9, 5, 7, 250);
  EXPECT_EQ(HourMinuteText(), "9:05");
  EXPECT_EQ(TimeText(), "09:05:07");
  EXPECT_EQ(TodayIsoText(), "2024-03-05");
  DateCode = 1;
  EXPECT_EQ(TodayText(), "05.03.2024");
  SetClock(2024, 12, 31, 23, 59, 0, 0);
  EXPECT_EQ(HourMinuteText(), "23:59");
  EXPECT_EQ(TodayIsoText(), "2024-12-31");
}

TEST_F(DateTest, NumbersOfAFixedClock) {
  SetClock(2031, 7, 9, 14, 2, 59, 990);
  std::uint16_t year = 0, month = 0, day = 0, dayOfWeek = 9;
  GetToday(year, month, day, dayOfWeek);
  EXPECT_EQ(year, 2031);
  EXPECT_EQ(month, 7);
  EXPECT_EQ(day, 9);
  EXPECT_EQ(dayOfWeek, 0);
  std::uint16_t hour = 0, minute = 0, second = 0, hundredths = 0;
  GetTime(hour, minute, second, hundredths);
  EXPECT_EQ(hour, 14);
  EXPECT_EQ(minute, 2);
  EXPECT_EQ(second, 59);
  EXPECT_EQ(hundredths, 99);
}

TEST_F(DateTest, FileDateInLocalTime) {
  std::tm t{};
  t.tm_year = 2009 - 1900;
  t.tm_mon = 0;
  t.tm_mday = 2;
  t.tm_hour = 23;
  const std::time_t stamp = ::timegm(&t);
  EXPECT_EQ(FileDateText(stamp), "2009-01-02");
  ::setenv("TZ", "UTC-3", 1);
  ::tzset();
  EXPECT_EQ(FileDateText(stamp), "2009-01-03");
}

}  // namespace

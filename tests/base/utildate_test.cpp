#include "base/utildate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>

#include "base/brelvar.h"
#include "tests/base/fakemachine.h"

namespace {

std::time_t Utc(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return ::timegm(&t);
}

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

  void SetClock(std::time_t time, int millis) {
    machine_->now =
        std::chrono::system_clock::from_time_t(time) + std::chrono::milliseconds(millis);
  }

  FakeMachine* machine_ = nullptr;
};

TEST_F(DateTest, TextsAndNumbersOfAFixedClock) {
  SetClock(Utc(2024, 3, 5, 9, 5, 7), 990);
  EXPECT_EQ(HourMinuteText(), "9:05");
  EXPECT_EQ(TimeText(), "09:05:07");
  EXPECT_EQ(TodayIsoText(), "2024-03-05");
  DateCode = 1;
  EXPECT_EQ(TodayText(), "05.03.2024");
  std::uint16_t year = 0, month = 0, day = 0, dayOfWeek = 9;
  GetToday(year, month, day, dayOfWeek);
  EXPECT_EQ(year * 10000 + month * 100 + day, 20240305);
  EXPECT_EQ(dayOfWeek, 0);
  std::uint16_t hour = 0, minute = 0, second = 0, hundredths = 0;
  GetTime(hour, minute, second, hundredths);
  EXPECT_EQ(hour * 10000 + minute * 100 + second, 90507);
  EXPECT_EQ(hundredths, 99);
}

TEST_F(DateTest, FileDateInLocalTime) {
  const std::time_t stamp = Utc(2009, 1, 2, 23, 0, 0);
  EXPECT_EQ(FileDateText(stamp), "2009-01-02");
  ::setenv("TZ", "UTC-3", 1);
  ::tzset();
  EXPECT_EQ(FileDateText(stamp), "2009-01-03");
}

}  // namespace

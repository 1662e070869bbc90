#include "base/text/utildate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <tuple>

#include "base/settings/brelvar.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"

namespace {

class DateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitBrelvar();
    ::setenv("TZ", "UTC0", 1);
    ::tzset();
    machine_->now = std::chrono::system_clock::from_time_t(1709629507) +  // 2024-03-05 09:05:07
                    std::chrono::milliseconds(990);                       // UTC
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

TEST_F(DateTest, TextsAndNumbersOfAFixedClock) {
  DateCode = 1;
  EXPECT_EQ(std::tuple(HourMinuteText(), TimeText(), TodayIsoText(), TodayText()),
            std::tuple("9:05", "09:05:07", "2024-03-05", "05.03.2024"));
  std::uint16_t year = 0, month = 0, day = 0, dayOfWeek = 9;
  GetToday(year, month, day, dayOfWeek);
  EXPECT_EQ(std::tuple(year, month, day, dayOfWeek), std::tuple(2024, 3, 5, 0));
  std::uint16_t hour = 0, minute = 0, second = 0, hundredths = 0;
  GetTime(hour, minute, second, hundredths);
  EXPECT_EQ(std::tuple(hour, minute, second, hundredths), std::tuple(9, 5, 7, 99));
}

TEST_F(DateTest, FileDateInLocalTime) {
  const std::time_t stamp = 1230937200;  // 2009-01-02 23:00 UTC
  EXPECT_EQ(FileDateText(stamp), "2009-01-02");
  ::setenv("TZ", "UTC-3", 1);
  ::tzset();
  EXPECT_EQ(FileDateText(stamp), "2009-01-03");
}

}  // namespace

#include "shell/home_panel/HomePanel.h"

#include <gtest/gtest.h>

namespace {

std::tm Moment(int year, int month, int day, int hour, int minute, int second) {
  std::tm moment{};
  moment.tm_year = year - 1900;
  moment.tm_mon = month - 1;
  moment.tm_mday = day;
  moment.tm_hour = hour;
  moment.tm_min = minute;
  moment.tm_sec = second;
  moment.tm_isdst = -1;
  std::mktime(&moment);  // fills in the weekday
  return moment;
}

TEST(HomePanelClockTest, FieldsHaveNoLeadingZerosAndAFullStopBeforeTheSeconds) {
  ClockTexts texts = FormatClock(Moment(2024, 1, 5, 14, 5, 9));
  EXPECT_EQ(texts.time, "14:5.9");
  EXPECT_EQ(texts.date, "2024年1月5日  星期五");
}

TEST(HomePanelClockTest, MidnightAndTheLastSecondOfADay) {
  EXPECT_EQ(FormatClock(Moment(2026, 12, 9, 0, 0, 0)).time, "0:0.0");
  ClockTexts last = FormatClock(Moment(2026, 12, 9, 23, 59, 59));
  EXPECT_EQ(last.time, "23:59.59");
  EXPECT_EQ(last.date, "2026年12月9日  星期三");
}

TEST(HomePanelClockTest, EveryWeekdayComesFromTheSameReadingAsTheDate) {
  const char* expected[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
  for (int day = 0; day < 7; ++day) {
    ClockTexts texts = FormatClock(Moment(2026, 12, 6 + day, 12, 0, 0));  // 6 December 2026 is a Sunday
    EXPECT_EQ(texts.date, "2026年12月" + std::to_string(6 + day) + "日  " + expected[day]);
  }
}

TEST(HomePanelClockTest, YearChangeAtMidnightChangesDateAndWeekdayTogether) {
  EXPECT_EQ(FormatClock(Moment(2026, 12, 31, 23, 59, 59)).date, "2026年12月31日  星期四");
  ClockTexts next = FormatClock(Moment(2027, 1, 1, 0, 0, 0));
  EXPECT_EQ(next.date, "2027年1月1日  星期五");
  EXPECT_EQ(next.time, "0:0.0");
}

}  // namespace

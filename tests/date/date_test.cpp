#include "date/date.h"

#include <gtest/gtest.h>

namespace tessovane2 {
namespace {

std::tm brokenDown(int year, int month0, int day, int weekday, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month0;
  t.tm_mday = day;
  t.tm_wday = weekday;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(Date, LongAndCompactForms) {
  struct Case {
    std::tm time;
    const char* dateTime;
    const char* cymd;
  };
  const Case cases[] = {
      {brokenDown(2003, 9, 14, 2, 14, 5, 7), "Date: Tue Oct 14, 2003  Time: 14:05:07 pm", "20031014"},
      {brokenDown(2003, 9, 7, 2, 9, 30, 0), "Date: Tue Oct 7, 2003  Time: 09:30:00 am", "20031007"},
      {brokenDown(2004, 0, 1, 4, 0, 5, 0), "Date: Thr Jan 1, 2004  Time: 00:05:00 am", "20040101"},
      {brokenDown(2004, 11, 31, 5, 11, 59, 59), "Date: Fri Dec 31, 2004  Time: 11:59:59 am", "20041231"},
      {brokenDown(2010, 5, 20, 0, 12, 0, 0), "Date: Sun Jun 20, 2010  Time: 12:00:00 pm", "20100620"},
      {brokenDown(2010, 5, 26, 6, 23, 7, 9), "Date: Sat Jun 26, 2010  Time: 23:07:09 pm", "20100626"},
      {brokenDown(987, 1, 3, 1, 1, 2, 3), "Date: Mon Feb 3, 987  Time: 01:02:03 am", " 9870203"},
  };
  for (const Case& c : cases) {
    const Date date(c.time);
    EXPECT_EQ(date.dateTimeString(), c.dateTime);
    EXPECT_EQ(date.cymdString(), c.cymd);
  }
}

TEST(Date, NamesOutsideTheTablesAreErrorMarks) {
  struct Case {
    int month0, weekday;
    const char* monthName;
    const char* dayName;
  };
  const Case cases[] = {
      {0, 0, "Jan", "Sun"},  {11, 6, "Dec", "Sat"}, {3, 4, "Apr", "Thr"},
      {12, 7, "Er!", "Sun"}, {-1, 8, "Er!", "Er!"}, {1000, -1, "Er!", "Er!"},
  };
  for (const Case& c : cases) {
    const Date date(brokenDown(2003, c.month0, 1, c.weekday, 0, 0, 0));
    EXPECT_EQ(date.monthName(), c.monthName) << c.month0;
    EXPECT_EQ(date.dayName(), c.dayName) << c.weekday;
  }
  EXPECT_EQ(Date(brokenDown(2003, 12, 1, 9, 0, 0, 0)).dateTimeString().substr(0, 14), "Date: Er! Er! ");
}

TEST(Date, ToStringThroughTheBaseIsTheCompactForm) {
  const Date date(brokenDown(2003, 9, 7, 2, 9, 30, 0));
  const Record& record = date;
  EXPECT_EQ(record.toString(), "20031007");
}

TEST(Date, DefaultConstructionCapturesThePresent) {
  const Date now;
  EXPECT_GE(now.year(), 2024);
  EXPECT_LT(now.year(), 2200);
  EXPECT_NE(now.monthName(), "Er!");
  EXPECT_NE(now.dayName(), "Er!");
}

}  // namespace
}  // namespace tessovane2

// The local wall-clock time, captured once, as text.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "date/record.h"

namespace tessovane2 {

class Date : public Record {
 public:
  // Captures the current local time. Where the platform cannot supply it,
  // the time in UTC is used, and where there is no clock at all, the start
  // of the epoch (1970-01-01 00:00:00, a Thursday).
  Date();
  // A given broken-down time, for instance a pinned clock.
  explicit Date(const std::tm& time);

  double seconds() const { return secondsValue; }
  int minutes() const { return tm_min; }
  int hour() const { return tm_hour; }  // 24-hour clock
  int dayOfMonth() const { return tm_mday; }
  int month() const { return tm_mon + 1; }     // 1-12
  int year() const { return tm_year + 1900; }  // full year

  std::string monthName() const;  // "Jan" .. "Dec", "Er!" outside 0-11
  std::string dayName() const;    // "Sun" .. "Sat", "Sun" again at 7, "Er!" outside
  // "Date: Tue Oct 14, 2003  Time: 14:05:07 pm"
  std::string dateTimeString() const;
  // "20031014"
  std::string cymdString() const;
  std::string toString() const override;

 private:
  // The nine fields of the broken-down time, in the C library's order; not
  // all of them are read back, but the record keeps them whole.
  [[maybe_unused]] std::int32_t tm_sec = 0;
  std::int32_t tm_min = 0;
  std::int32_t tm_hour = 0;
  std::int32_t tm_mday = 1;
  std::int32_t tm_mon = 0;
  std::int32_t tm_year = 70;
  std::int32_t tm_wday = 4;
  [[maybe_unused]] std::int32_t tm_yday = 0;
  [[maybe_unused]] std::int32_t tm_isdst = 0;
  double secondsValue = 0.0;
};

}  // namespace tessovane2

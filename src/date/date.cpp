#include "date/date.h"

#include <array>
#include <cstdio>

namespace tessovane2 {

namespace {

// The platform's own conversions, each into our own record rather than the
// library's shared one.
#if defined(_WIN32)
bool toLocalTime(std::time_t time, std::tm& broken) { return localtime_s(&broken, &time) == 0; }
bool toUniversalTime(std::time_t time, std::tm& broken) { return gmtime_s(&broken, &time) == 0; }
#else
bool toLocalTime(std::time_t time, std::tm& broken) { return localtime_r(&time, &broken) != nullptr; }
bool toUniversalTime(std::time_t time, std::tm& broken) { return gmtime_r(&time, &broken) != nullptr; }
#endif

std::tm currentTime() {
  std::tm broken{};
  broken.tm_mday = 1;
  broken.tm_year = 70;
  broken.tm_wday = 4;
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return broken;
  if (!toLocalTime(now, broken) && !toUniversalTime(now, broken)) {
    broken = std::tm{};
    broken.tm_mday = 1;
    broken.tm_year = 70;
    broken.tm_wday = 4;
  }
  return broken;
}

template <std::size_t N>
std::string lookUp(const std::array<const char*, N>& names, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= N) return "Er!";
  return names[static_cast<std::size_t>(index)];
}

}  // namespace

Date::Date() : Date(currentTime()) {}

Date::Date(const std::tm& time)
    : tm_sec(time.tm_sec),
      tm_min(time.tm_min),
      tm_hour(time.tm_hour),
      tm_mday(time.tm_mday),
      tm_mon(time.tm_mon),
      tm_year(time.tm_year),
      tm_wday(time.tm_wday),
      tm_yday(time.tm_yday),
      tm_isdst(time.tm_isdst),
      secondsValue(static_cast<double>(time.tm_sec)) {}

std::string Date::monthName() const {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return lookUp(kMonths, tm_mon);
}

std::string Date::dayName() const {
  // Eight entries: index 7 is Sunday again; Thursday is written "Thr".
  static constexpr std::array<const char*, 8> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thr", "Fri", "Sat", "Sun"};
  return lookUp(kDays, tm_wday);
}

std::string Date::dateTimeString() const {
  char clock[64];
  std::snprintf(clock, sizeof clock, "%02d:%02d:%02.0f %s", hour(), minutes(), seconds(),
                hour() < 12 ? "am" : "pm");
  return "Date: " + dayName() + " " + monthName() + " " + std::to_string(dayOfMonth()) + ", " +
         std::to_string(year()) + "  Time: " + clock;
}

std::string Date::cymdString() const {
  char text[48];
  std::snprintf(text, sizeof text, "%4d%02d%02d", year(), month(), dayOfMonth());
  return text;
}

std::string Date::toString() const { return cymdString(); }

}  // namespace tessovane2

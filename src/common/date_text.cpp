#include "common/date_text.hpp"

#include <cstdio>

namespace torvane {

namespace {
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
}  // namespace

std::string ShortDateText(const LocalDateTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
  return buf;
}

std::string LongDateText(const LocalDateTime& t) {
  char buf[64];
  const int m = (t.month >= 1 && t.month <= 12) ? t.month - 1 : 0;
  const int d = (t.weekday >= 0 && t.weekday <= 6) ? t.weekday : 0;
  std::snprintf(buf, sizeof buf, "%s, %d %s %04d", kDays[d], t.day, kMonths[m], t.year);
  return buf;
}

std::string TimeAmPmText(const LocalDateTime& t) {
  int h = t.hour % 12;
  if (h == 0) h = 12;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h, t.minute, t.second,
                t.hour < 12 ? "AM" : "PM");
  return buf;
}

std::string DateTimeText(const LocalDateTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

}  // namespace torvane

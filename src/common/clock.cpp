#include "common/clock.hpp"

#include <chrono>

namespace torvane {

void WaitMilliseconds(const Clock& clock, EventPump& pump, std::uint32_t milliseconds) {
  const std::uint64_t start = clock.Milliseconds();
  do {
    pump.ProcessPendingEvents();
  } while (clock.Milliseconds() - start <= milliseconds);
}

bool WaitUntil(const Clock& clock, EventPump& pump, std::uint32_t limitMilliseconds,
               const std::function<bool()>& done) {
  const std::uint64_t start = clock.Milliseconds();
  while (!done()) {
    if (clock.Milliseconds() - start > limitMilliseconds) return false;
    pump.ProcessPendingEvents();
  }
  return true;
}

std::uint64_t SystemClock::Milliseconds() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

LocalDateTime ToLocalDateTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  LocalDateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  d.second = tm.tm_sec;
  d.weekday = tm.tm_wday;
  return d;
}

LocalDateTime SystemClock::Now() const { return ToLocalDateTime(std::time(nullptr)); }

}  // namespace torvane

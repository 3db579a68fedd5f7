#pragma once
// Time as the core sees it. The core never sleeps and owns no timers: it
// reads a Clock, lets pending events run through an EventPump while it waits,
// and asks a TimerHost for the window timers its state machines run on. The
// program maps these onto Qt; tests use FakeEventLoop, in which waits and
// timers run in simulated time, exactly and at once.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>

namespace torvane {

// Local calendar time, as the system writes it into files and logs.
struct LocalDateTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
  int weekday = 6;  // 0 = Sunday
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds of a monotonic clock (the system millisecond tick).
  virtual std::uint64_t Milliseconds() const = 0;
  // The local date and time of day.
  virtual LocalDateTime Now() const = 0;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Lets pending window events and timer handlers run, then returns.
  virtual void ProcessPendingEvents() = 0;
};

// Keeps processing events until more than `milliseconds` have passed.
void WaitMilliseconds(const Clock& clock, EventPump& pump, std::uint32_t milliseconds);

// Processes events until `done` holds or `limitMilliseconds` have passed;
// returns whether `done` held.
bool WaitUntil(const Clock& clock, EventPump& pump, std::uint32_t limitMilliseconds,
               const std::function<bool()>& done);

// A window timer: calls its handler every interval while active.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void Start(std::uint32_t intervalMilliseconds) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
  virtual std::uint32_t Interval() const = 0;
};

class TimerHost {
 public:
  virtual ~TimerHost() = default;
  // A new, stopped timer that calls `onTick` on every tick while active.
  virtual std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) = 0;
};

// The real clock of this machine.
class SystemClock final : public Clock {
 public:
  std::uint64_t Milliseconds() const override;
  LocalDateTime Now() const override;
};

LocalDateTime ToLocalDateTime(std::time_t t);

}  // namespace torvane

#pragma once
// Real time for the headless programs: the machine's monotonic clock, timers
// that fire as it passes, and an event pump that waits a little (at most
// one step, less when a timer falls due sooner) and then fires the timers
// that are due. A timer whose handler is still running is not fired again
// from a wait inside that handler.

#include <cstdint>
#include <functional>
#include <map>

#include "common/clock.hpp"

namespace torvane {

class PollEventLoop final : public Clock, public EventPump, public TimerHost {
 public:
  explicit PollEventLoop(std::uint32_t pumpStepMilliseconds = 1);
  ~PollEventLoop() override;

  std::uint64_t Milliseconds() const override { return clock_.Milliseconds(); }
  LocalDateTime Now() const override { return clock_.Now(); }

  void ProcessPendingEvents() override;
  std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) override;

 private:
  class PollTimer;
  friend class PollTimer;
  struct Entry {
    std::function<void()> onTick;
    std::uint32_t interval = 0;
    std::uint64_t due = 0;
    bool active = false;
    bool running = false;
  };

  SystemClock clock_;
  std::uint32_t step_;
  int nextId_ = 1;
  std::map<int, Entry> timers_;
};

}  // namespace torvane

#pragma once
// Simulated time for tests and headless runs: a clock that only moves when
// told, timers that fire as it moves, and an event pump that advances the
// clock by one step per call, so that every wait of the core runs through in
// simulated time, exactly, without sleeping.

#include <map>
#include <vector>

#include "common/clock.hpp"

namespace torvane {

class FakeEventLoop final : public Clock, public EventPump, public TimerHost {
 public:
  explicit FakeEventLoop(std::uint32_t pumpStepMilliseconds = 1);
  ~FakeEventLoop() override;

  std::uint64_t Milliseconds() const override { return now_; }
  LocalDateTime Now() const override;
  void SetDateTime(const LocalDateTime& start) { date_ = start; }

  // Advances the clock by one step and fires the timers that fell due.
  void ProcessPendingEvents() override;
  // Advances the clock, firing every timer that falls due on the way.
  void Advance(std::uint64_t milliseconds);
  // Runs `hook` at the start of every pump call (tests use it to feed a port).
  void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }

  std::unique_ptr<Timer> CreateTimer(std::function<void()> onTick) override;
  std::uint32_t PumpStep() const { return step_; }
  void SetPumpStep(std::uint32_t step) { step_ = step; }
  int PumpCalls() const { return pumpCalls_; }

 private:
  class FakeTimer;
  friend class FakeTimer;
  struct Entry {
    std::function<void()> onTick;
    std::uint32_t interval = 0;
    std::uint64_t due = 0;
    bool active = false;
  };
  void FireDue(std::uint64_t upTo);

  std::uint64_t now_ = 1000;
  std::uint32_t step_;
  int pumpCalls_ = 0;
  int nextId_ = 1;
  LocalDateTime date_{2026, 1, 15, 10, 30, 0, 4};
  std::map<int, Entry> timers_;
  std::function<void()> pumpHook_;
};

}  // namespace torvane

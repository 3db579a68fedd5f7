#include "common/poll_event_loop.hpp"

#include <poll.h>

#include <vector>

namespace torvane {

class PollEventLoop::PollTimer final : public Timer {
 public:
  PollTimer(PollEventLoop& loop, int id) : loop_(loop), id_(id) {}
  ~PollTimer() override { loop_.timers_.erase(id_); }
  void Start(std::uint32_t interval) override {
    Entry& e = loop_.timers_[id_];
    e.interval = interval == 0 ? 1 : interval;
    e.due = loop_.Milliseconds() + e.interval;
    e.active = true;
  }
  void Stop() override { loop_.timers_[id_].active = false; }
  bool IsActive() const override { return loop_.timers_.at(id_).active; }
  std::uint32_t Interval() const override { return loop_.timers_.at(id_).interval; }

 private:
  PollEventLoop& loop_;
  int id_;
};

PollEventLoop::PollEventLoop(std::uint32_t pumpStepMilliseconds)
    : step_(pumpStepMilliseconds == 0 ? 1 : pumpStepMilliseconds) {}
PollEventLoop::~PollEventLoop() = default;

void PollEventLoop::ProcessPendingEvents() {
  std::uint64_t now = Milliseconds();
  std::uint64_t wake = now + step_;
  for (const auto& [id, e] : timers_) {
    if (e.active && !e.running && e.due < wake) wake = e.due;
  }
  if (wake > now) ::poll(nullptr, 0, static_cast<int>(wake - now));
  now = Milliseconds();
  std::vector<int> due;
  for (const auto& [id, e] : timers_) {
    if (e.active && !e.running && e.due <= now) due.push_back(id);
  }
  for (const int id : due) {
    auto it = timers_.find(id);
    // An earlier handler may have stopped or destroyed this timer.
    if (it == timers_.end() || !it->second.active || it->second.running) continue;
    Entry& e = it->second;
    e.due = now + e.interval;
    e.running = true;
    auto handler = e.onTick;
    handler();
    if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
  }
}

std::unique_ptr<Timer> PollEventLoop::CreateTimer(std::function<void()> onTick) {
  const int id = nextId_++;
  timers_[id].onTick = std::move(onTick);
  return std::make_unique<PollTimer>(*this, id);
}

}  // namespace torvane

#include "common/fake_event_loop.hpp"

#include <ctime>

namespace torvane {

class FakeEventLoop::FakeTimer final : public Timer {
 public:
  FakeTimer(FakeEventLoop& loop, int id) : loop_(loop), id_(id) {}
  ~FakeTimer() override { loop_.timers_.erase(id_); }
  void Start(std::uint32_t interval) override {
    Entry& e = loop_.timers_[id_];
    e.interval = interval == 0 ? 1 : interval;
    e.due = loop_.now_ + e.interval;
    e.active = true;
  }
  void Stop() override { loop_.timers_[id_].active = false; }
  bool IsActive() const override { return loop_.timers_[id_].active; }
  std::uint32_t Interval() const override { return loop_.timers_[id_].interval; }

 private:
  FakeEventLoop& loop_;
  int id_;
};

FakeEventLoop::FakeEventLoop(std::uint32_t pumpStepMilliseconds) : step_(pumpStepMilliseconds) {}
FakeEventLoop::~FakeEventLoop() = default;

LocalDateTime FakeEventLoop::Now() const {
  // The simulated calendar moves with the simulated clock.
  std::tm tm{};
  tm.tm_year = date_.year - 1900;
  tm.tm_mon = date_.month - 1;
  tm.tm_mday = date_.day;
  tm.tm_hour = date_.hour;
  tm.tm_min = date_.minute;
  tm.tm_sec = date_.second + static_cast<int>((now_ - 1000) / 1000);
  tm.tm_isdst = -1;
  const std::time_t t = timegm(&tm);
  std::tm out{};
  gmtime_r(&t, &out);
  return LocalDateTime{out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour,
                       out.tm_min, out.tm_sec, out.tm_wday};
}

void FakeEventLoop::FireDue(std::uint64_t upTo) {
  // Handlers may wait in turn (a nested pump), as window timers can inside a
  // wait of the program; the clock never goes back.
  for (;;) {
    int nextId = 0;
    std::uint64_t nextDue = upTo + 1;
    for (const auto& [id, e] : timers_) {
      if (e.active && e.due < nextDue) {
        nextDue = e.due;
        nextId = id;
      }
    }
    if (nextId == 0) break;
    if (nextDue > now_) now_ = nextDue;
    Entry& e = timers_[nextId];
    e.due += e.interval;
    auto handler = e.onTick;  // the handler may destroy or re-arm its timer
    handler();
  }
  if (upTo > now_) now_ = upTo;
}

void FakeEventLoop::ProcessPendingEvents() {
  ++pumpCalls_;
  if (pumpHook_) pumpHook_();
  Advance(step_);
}

void FakeEventLoop::Advance(std::uint64_t milliseconds) { FireDue(now_ + milliseconds); }

std::unique_ptr<Timer> FakeEventLoop::CreateTimer(std::function<void()> onTick) {
  const int id = nextId_++;
  timers_[id].onTick = std::move(onTick);
  return std::make_unique<FakeTimer>(*this, id);
}

}  // namespace torvane

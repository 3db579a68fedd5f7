#include "common/poll_event_loop.hpp"

#include <gtest/gtest.h>

namespace torvane {
namespace {

TEST(PollEventLoopTest, TimersFireOnTheRealClockAndWaitsEnd) {
  PollEventLoop loop;
  int ticks = 0;
  auto timer = loop.CreateTimer([&ticks] { ++ticks; });
  timer->Start(20);
  const std::uint64_t start = loop.Milliseconds();
  WaitMilliseconds(loop, loop, 110);
  const std::uint64_t waited = loop.Milliseconds() - start;
  EXPECT_GT(waited, 110u);
  EXPECT_LT(waited, 1000u);
  // A busy machine may run late and fire fewer ticks, never more than fit.
  EXPECT_GE(ticks, 1);
  EXPECT_LE(ticks, static_cast<int>(waited / 20) + 1);
  timer->Stop();
  const int stopped = ticks;
  WaitMilliseconds(loop, loop, 50);
  EXPECT_EQ(ticks, stopped);
}

TEST(PollEventLoopTest, AOneShotRearmedInItsHandlerAndNoReentryFromANestedWait) {
  PollEventLoop loop;
  int ticks = 0;
  int depth = 0;
  int deepest = 0;
  std::unique_ptr<Timer> timer;
  timer = loop.CreateTimer([&] {
    ++ticks;
    ++depth;
    deepest = std::max(deepest, depth);
    timer->Stop();
    WaitMilliseconds(loop, loop, 30);  // a wait inside the handler, events running
    if (ticks < 3) timer->Start(5);
    --depth;
  });
  timer->Start(5);
  WaitMilliseconds(loop, loop, 300);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(deepest, 1);
}

TEST(PollEventLoopTest, ATimerDestroyedByAnotherHandlerDoesNotFire) {
  PollEventLoop loop;
  bool secondFired = false;
  std::unique_ptr<Timer> second;
  std::unique_ptr<Timer> first = loop.CreateTimer([&] { second.reset(); });
  second = loop.CreateTimer([&] { secondFired = true; });
  first->Start(10);
  second->Start(10);
  WaitMilliseconds(loop, loop, 40);
  EXPECT_FALSE(secondFired);
}

}  // namespace
}  // namespace torvane

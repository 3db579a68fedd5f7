#include "link/accelerometer_port.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"

namespace torvane::testing {
namespace {

class AccelerometerPortTest : public ::testing::Test, public LinkFixture {};

TEST_F(AccelerometerPortTest, OpensAt2400BaudOnItsOwnPortOnlyOnce) {
  EXPECT_TRUE(OpenAccelerometerPort(ctx));
  EXPECT_EQ(accel->openedPaths.back(), "/dev/test-com2");
  EXPECT_EQ(SerialSettingsText(accel->settingsApplied.back()), "2400,N,8,1");
  EXPECT_EQ(session.link.accel.Settings, "2400,N,8,1");
  EXPECT_FALSE(OpenAccelerometerPort(ctx));  // already open: nothing done
  EXPECT_EQ(accel->opens, 1);
  EXPECT_TRUE(accel->isOpen);
}

TEST_F(AccelerometerPortTest, AFailedOpenIsFalseAndLoggedAndNoStreamStarts) {
  accel->present = false;
  EXPECT_FALSE(OpenAccelerometerPort(ctx));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("/dev/test-com2"), std::string::npos);
  EXPECT_EQ(StartStopAccelerometer(ctx, true), PortResult::OpenFailed);
  EXPECT_TRUE(accel->writes.empty());
  EXPECT_EQ(log.size(), 1u);  // the same reason is not logged twice
}

TEST_F(AccelerometerPortTest, OneSwitchesTheStreamAndAStartResetsTheCounters) {
  session.trial.SampleCount = 9;
  session.link.accel.AccelStreamText = "X=1";
  session.link.accel.AccelSearchStart = 4;
  loop.Advance(500);
  EXPECT_EQ(StartAccelerometerStream(ctx), PortResult::Open);  // opens the closed port first
  EXPECT_EQ(accel->writes, std::vector<std::string>{"1"});
  EXPECT_EQ(session.trial.SampleCount, 0);
  EXPECT_EQ(session.link.accel.AccelStreamText, "");
  EXPECT_EQ(session.link.accel.AccelSearchStart, 1);
  EXPECT_EQ(session.link.CollectStartTicks, loop.Milliseconds());
  session.trial.SampleCount = 5;
  EXPECT_EQ(StopAccelerometerStream(ctx), PortResult::Open);
  EXPECT_EQ(accel->writes, (std::vector<std::string>{"1", "1"}));
  EXPECT_EQ(session.trial.SampleCount, 5);
}

TEST_F(AccelerometerPortTest, ReadsAndFlushesTakeWhatIsBufferedAndNothingWhenClosed) {
  accel->Deliver("X=-1.0\r\n");
  EXPECT_EQ(ReadAccelerometerAll(ctx), "");  // closed
  WriteAccelerometer(ctx, "1");
  EXPECT_TRUE(accel->writes.empty());
  ASSERT_TRUE(OpenAccelerometerPort(ctx));
  accel->incoming.clear();
  accel->Deliver("X=-1.0\r\nX=-0.9\r\n");
  EXPECT_EQ(ReadAccelerometerAll(ctx), "X=-1.0\r\nX=-0.9\r\n");
  accel->Deliver(std::string(9000, 'X'));
  FlushAccelerometerInput(ctx);
  EXPECT_EQ(accel->incoming, "");
  loop.SetPumpHook([&] { accel->Deliver(std::string(5000, 'X')); });  // it never stops
  const std::uint64_t start = loop.Milliseconds();
  FlushAccelerometerInput(ctx);
  EXPECT_LE(loop.Milliseconds() - start, 1002u);
}

}  // namespace
}  // namespace torvane::testing

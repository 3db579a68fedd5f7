// The accelerometer management window's work: Initialise (an open port is
// as good), the flow control setting, the stream switch's state, and the
// tick that pauses while a collection reads the port.
#include "link/accelerometer_management.hpp"

#include <gtest/gtest.h>

#include "link/accelerometer_port.hpp"
#include "link/link_fixture.hpp"
#include "link/simulated_unit.hpp"

namespace torvane::testing {
namespace {

class AccelerometerManagementTest : public ::testing::Test, public LinkFixture {
 protected:
  AccelerometerWindow window;
};

TEST_F(AccelerometerManagementTest, InitialiseCountsAnOpenPortAsSuccessAndUsesTheFlowSetting) {
  EXPECT_EQ(InitialiseAccelerometer(ctx, window), AccelPortOutcome::Opened);
  EXPECT_EQ(accel->settingsApplied.back().flow, FlowControl::None);
  EXPECT_EQ(InitialiseAccelerometer(ctx, window), AccelPortOutcome::AlreadyOpen);
  EXPECT_TRUE(window.timerOn);
  EXPECT_EQ(accel->opens, 1);
  EXPECT_EQ(AccelerometerStateText(ctx, window), "Port /dev/test-com2: open. Stream off.");
  session.link.accel.port->Close();
  session.settings.accelflowcontrol = kAccelFlowRtsCts;
  EXPECT_EQ(InitialiseAccelerometer(ctx, window), AccelPortOutcome::Opened);
  EXPECT_EQ(accel->settingsApplied.back().flow, FlowControl::RtsCts);
  session.link.accel.port->Close();
  accel->present = false;
  EXPECT_EQ(InitialiseAccelerometer(ctx, window), AccelPortOutcome::Failed);
  EXPECT_EQ(AccelerometerStateText(ctx, window), "Port /dev/test-com2: cannot be opened.");
}

TEST_F(AccelerometerManagementTest, EveryOneSentSwitchesTheStreamStateAndACollectionKeepsItOn) {
  auto unit = AttachSimulatedUnit(loop, accel, sim::UnitModel::Accelerometer);
  EXPECT_FALSE(SendAccelerometerKeys(ctx, "1", false));  // the port is closed
  EXPECT_TRUE(ToggleAccelerometerStream(ctx, false));    // opens it
  EXPECT_TRUE(session.link.accel.AccelStreaming);
  EXPECT_EQ(StreamButtonCaption(ctx), "Stop stream");
  EXPECT_TRUE(SendAccelerometerKeys(ctx, "a1", false));
  EXPECT_EQ(accel->writes, (std::vector<std::string>{"1", "a", "1"}));
  EXPECT_FALSE(session.link.accel.AccelStreaming);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_TRUE(ToggleAccelerometerStream(ctx, false));
  EXPECT_TRUE(unit->status().streaming);
  // A collection's start finds the stream on: switching it would stop it.
  StartAccelerometerStream(ctx);
  EXPECT_TRUE(unit->status().streaming);
  EXPECT_EQ(accel->writes.size(), 4u);
  StopAccelerometerStream(ctx);
  EXPECT_FALSE(unit->status().streaming);
  EXPECT_FALSE(session.link.accel.AccelStreaming);
  EXPECT_FALSE(ToggleAccelerometerStream(ctx, true));  // not while a collection runs
  EXPECT_EQ(accel->writes.size(), 5u);
}

TEST_F(AccelerometerManagementTest, TheTickShowsReadingsAndPausesWhileACollectionReadsThePort) {
  auto unit = AttachSimulatedUnit(loop, accel, sim::UnitModel::Accelerometer);
  InitialiseAccelerometer(ctx, window);
  ToggleAccelerometerStream(ctx, false);
  loop.Advance(100);
  EXPECT_GT(AccelerometerWindowTick(ctx, window, false), 0u);
  EXPECT_EQ(window.output.rfind("X=", 0), 0u);
  const std::size_t shown = window.output.size();
  loop.Advance(100);
  accel->Deliver("X=-1.000\r\n");
  const std::string waiting = accel->incoming;
  EXPECT_EQ(AccelerometerWindowTick(ctx, window, true), 0u);
  EXPECT_EQ(accel->incoming, waiting);  // left for the collection
  EXPECT_EQ(window.output.size(), shown);
  EXPECT_NE(AccelerometerStateText(ctx, window).find("Paused"), std::string::npos);
  ClearAccelerometerOutput(window);
  accel->Deliver(std::string(kAccelerometerOutputLimit + 10, 'X'));
  AccelerometerWindowTick(ctx, window, false);
  EXPECT_EQ(window.output.size(), kAccelerometerOutputLimit);
}

}  // namespace
}  // namespace torvane::testing

#include "link/serial_port.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "link/pty_pair.hpp"
#include "link/usb_device.hpp"
#include "test_support.hpp"

namespace torvane::testing {
namespace {

SerialSettings Settings(const char* text) {
  return *ParseSerialSettings(text);
}

TEST(SerialSettingsTest, SettingsTextsAreReadAndWritten) {
  const auto s = ParseSerialSettings(" 115200,N,8,1");
  ASSERT_TRUE(s);
  EXPECT_EQ(std::tie(s->baud, s->parity, s->dataBits, s->stopBits),
            std::tuple(115200u, Parity::None, 8, 1));
  EXPECT_EQ(SerialSettingsText(*s), "115200,N,8,1");
  EXPECT_EQ(ParseSerialSettings("9600,e,7,2")->parity, Parity::Even);
  for (const char* bad : {"", "115200", "0,N,8,1", "x,N,8,1", "9600,Q,8,1", "9600,N,9,1",
                          "9600,N,8,3", "9600,N,8,1,1", "-5,N,8,1"}) {
    EXPECT_FALSE(ParseSerialSettings(bad)) << bad;
  }
}

// A serial port open on the slave side of a pseudo-terminal.
class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(port.Open(pty.slavePath(), Settings("9600,N,8,1")).ok());
  }
  // Waits (really) until the port has `count` bytes waiting, at most two seconds.
  std::size_t WaitForBytes(std::size_t count) {
    for (int i = 0; i < 200; ++i) {
      const PortCount waiting = port.BytesWaiting();
      if (!waiting.status.ok() || waiting.count >= count) return waiting.count;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return port.BytesWaiting().count;
  }
  PtyPair pty;
  SerialPort port;
};

TEST_F(SerialPortTest, APseudoTerminalTakesAnyRateAndRtsCts) {
  SerialSettings s = Settings("500000,N,8,1");
  s.flow = FlowControl::RtsCts;
  EXPECT_TRUE(port.Configure(s).ok());
  EXPECT_EQ(port.Settings(), s);
  EXPECT_TRUE(port.Configure(Settings("250000,N,8,1")).ok());  // no standard constant
  EXPECT_TRUE(port.Configure(Settings("2400,E,7,2")).ok());
  s.baud = 0;
  EXPECT_EQ(port.Configure(s).kind, PortErrorKind::BadSettings);
}

TEST_F(SerialPortTest, EveryByteValueGoesOutAndComesBackUnchangedAndPurgeDiscards) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  ASSERT_TRUE(port.Write(all, 1000).ok());
  EXPECT_EQ(pty.Receive(all.size()), all);

  pty.Send(all);
  EXPECT_EQ(WaitForBytes(all.size()), all.size());
  std::string in;
  ASSERT_TRUE(port.ReadAvailable(in, 100).ok());
  EXPECT_EQ(in.size(), 100u);
  ASSERT_TRUE(port.ReadAvailable(in, 4096).ok());
  EXPECT_EQ(in, all);
  EXPECT_EQ(port.BytesWaiting().count, 0u);
  ASSERT_TRUE(port.ReadAvailable(in, 4096).ok());  // nothing waiting: returns at once
  EXPECT_EQ(in, all);
  EXPECT_TRUE(port.OutputPending().status.ok());

  pty.Send("stale bytes");
  ASSERT_EQ(WaitForBytes(11), 11u);
  ASSERT_TRUE(port.Purge(true, true).ok());
  EXPECT_EQ(port.BytesWaiting().count, 0u);
}

TEST_F(SerialPortTest, DtrOnAPortWithoutModemLinesIsAcceptedAsDone) {
  EXPECT_TRUE(port.SetDtr(true).ok());
  EXPECT_TRUE(port.SetDtr(false).ok());
  EXPECT_FALSE(port.HasModemLines());

  // The same through the USB chip's operations: status 0 throughout.
  UsbDevice device(std::make_unique<SerialPort>());
  std::uint32_t handle = 0;
  port.Close();
  ASSERT_EQ(device.Open(pty.slavePath(), handle), kFtOk);
  EXPECT_EQ(device.SetDivisor(handle, 6), kFtOk);
  EXPECT_EQ(device.port().Settings().baud, 500000u);
  EXPECT_EQ(device.SetFlowControl(handle, kFtFlowRtsCts, 0, 0), kFtOk);
  EXPECT_EQ(device.SetLatencyTimer(handle, 16), kFtOk);
  EXPECT_EQ(device.SetDtr(handle), kFtOk);
  EXPECT_EQ(device.ClrDtr(handle), kFtOk);
  EXPECT_EQ(device.Close(handle), kFtOk);
  EXPECT_EQ(device.Close(handle), kFtInvalidHandle);
}

TEST_F(SerialPortTest, OpenFailuresSayWhy) {
  SerialPort second;
  EXPECT_EQ(second.Open(pty.slavePath(), Settings("9600,N,8,1")).kind, PortErrorKind::Busy);
  port.Close();
  EXPECT_TRUE(second.Open(pty.slavePath(), Settings("9600,N,8,1")).ok());

  TempDir dir;
  SerialPort other;
  EXPECT_EQ(other.Open(dir.File("no-such-port"), Settings("9600,N,8,1")).kind,
            PortErrorKind::NoDevice);
  EXPECT_EQ(other.Open("", Settings("9600,N,8,1")).kind, PortErrorKind::NoDevice);
  WriteText(dir.File("plain-file"), "x");
  const PortStatus notTty = other.Open(dir.File("plain-file"), Settings("9600,N,8,1"));
  EXPECT_EQ(notTty.kind, PortErrorKind::NoDevice);
  EXPECT_EQ(notTty.osError, ENOTTY);
  EXPECT_FALSE(other.IsOpen());
  // Operations on a port never opened fail as not open.
  std::string in;
  EXPECT_EQ(other.Write("x", 10).kind, PortErrorKind::NotOpen);
  EXPECT_EQ(other.ReadAvailable(in, 1).kind, PortErrorKind::NotOpen);
  EXPECT_EQ(other.BytesWaiting().status.kind, PortErrorKind::NotOpen);
  EXPECT_EQ(other.Purge(true, true).kind, PortErrorKind::NotOpen);
  EXPECT_EQ(other.SetDtr(true).kind, PortErrorKind::NotOpen);
}

TEST_F(SerialPortTest, ADeviceThatGoesAwayGivesIoErrorsNotAHang) {
  pty.CloseMaster();
  std::string in;
  const PortStatus read = port.ReadAvailable(in, 10);
  const PortCount waiting = port.BytesWaiting();
  EXPECT_TRUE(!read.ok() || !waiting.status.ok());
  EXPECT_FALSE(port.Write("x", 100).ok());
}

}  // namespace
}  // namespace torvane::testing

#include "link/zra6_protocol.hpp"

#include <gtest/gtest.h>

#include "link/link_fixture.hpp"
#include "link/usb_port.hpp"

namespace torvane::testing {
namespace {

const std::string kReply = Bytes({207, 0x21, 0x12, 0x34, 0x56});
constexpr const char* kInfo = "System Information\nVersion  2. 1\nSerial No. 123456\n";

TEST(Zra6IdentityTest, TheFiveByteReplyGivesVersionSerialNumberAndInfoText) {
  const UnitIdentity plus = DecodeIdentityReply(kReply, false);
  EXPECT_TRUE(plus.found);
  EXPECT_EQ(std::tie(plus.major, plus.minor, plus.serialNumber, plus.version, plus.infoText),
            std::tuple(2, 1, "123456", "V2.1", kInfo));

  const UnitIdentity zra6 =
      DecodeIdentityReply(kReply, true, "CommPort = 1 Settings:  115200,N,8,1");
  EXPECT_EQ(zra6.version, "V2.1  SN 123456");
  EXPECT_EQ(zra6.infoText, std::string(kInfo) + "CommPort = 1 Settings:  115200,N,8,1");
}

TEST(Zra6IdentityTest, HalvesAboveNineAreWrittenAsTwoDigitsAndTheLastByteEndsTheNumber) {
  EXPECT_EQ(DecodeIdentityReply(Bytes({207, 0x10, 0xAB, 0x00, 0x01}), false).serialNumber,
            "10110001");
  // In a longer reply the last byte, not the fifth, carries the last two digits.
  EXPECT_EQ(DecodeIdentityReply(Bytes({207, 0x21, 0x12, 0x34, 0x99, 0x56}), false).serialNumber,
            "123456");
  EXPECT_EQ(DecodeIdentityReply(Bytes({207, 0xFA, 0, 0, 0}), false).version, "V15.10");
  // Shorter than five bytes: no unit.
  for (const std::string& reply : {std::string(), Bytes({207}), Bytes({207, 0x21, 0x12, 0x34})}) {
    const UnitIdentity id = DecodeIdentityReply(reply, true, "CommPort = 1");
    EXPECT_FALSE(id.found);
    EXPECT_EQ(id.infoText, "Interface unit has not been found");
  }
}

TEST(Zra6CommandTest, SamplePeriodRoundsHalvesToEvenAndStaysInAByteAndMasksPickChannels) {
  const std::pair<int, int> periods[] = {{200, 5},
                                         {500, 2},
                                         {400, 2} /* 2.5 */,
                                         {160, 6} /* 6.25 */,
                                         {80, 12} /* 12.5 */,
                                         {4, 250},
                                         {3, 255} /* 333 does not fit */,
                                         {0, 255},
                                         {5000, 1} /* 0.2 would be no period at all */};
  for (const auto& [frequency, period] : periods) {
    EXPECT_EQ(SamplePeriodByte(frequency), period) << frequency;
  }
  EXPECT_EQ(ChannelMaskBit(3), 8);
  EXPECT_EQ(ChannelMaskBit(4) + ChannelMaskBit(-1), 0);
  EXPECT_EQ(CollectionChannelMask(false), 1);
  EXPECT_EQ(CollectionChannelMask(true), 3);
}

class Zra6SerialTest : public ::testing::Test, public LinkFixture {
 protected:
  Zra6SerialTest() {
    for (LoopbackLine* line : {serial.get(), usb.get()}) {
      line->onWrite = [this, line](const std::string& bytes) {
        if (bytes == Bytes({207}) && !silent) line->Deliver(kReply);
      };
    }
  }
  bool silent = false;
};

TEST_F(Zra6SerialTest, OpeningSetsThePortAndSwitchesTheStreamOffOrLogsWhyItCannot) {
  EXPECT_TRUE(OpenSerialPort(ctx));
  EXPECT_EQ(session.link.serial.Settings, " 115200,N,8,1");
  EXPECT_EQ(serial->openedPaths.back(), "/dev/test-com1");
  EXPECT_EQ(serial->settingsApplied.back().baud, 115200u);
  EXPECT_EQ(serial->writes, std::vector<std::string>{Bytes({205, 0})});

  session.link.serial.port->Close();
  serial->present = false;
  EXPECT_FALSE(OpenSerialPort(ctx));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("/dev/test-com1"), std::string::npos);
  // A port number that names no port at all.
  serial->present = true;
  session.settings.comportnum = 0;
  EXPECT_FALSE(OpenSerialPort(ctx));
  EXPECT_TRUE(t.dialogs.shown.empty());
}

TEST_F(Zra6SerialTest, WriteSerialWaitsForTheOutputToGoButNotForever) {
  ASSERT_TRUE(OpenSerialPort(ctx));
  serial->outputPending = 2;
  int pumps = 0;
  loop.SetPumpHook([&] {
    if (++pumps == 50) serial->outputPending = 0;
  });
  const std::uint64_t start = loop.Milliseconds();
  EXPECT_TRUE(WriteSerial(ctx, Bytes({203, 32})));
  EXPECT_EQ(loop.Milliseconds() - start, 50u);

  serial->outputPending = 2;
  loop.SetPumpHook(nullptr);  // the output never drains
  const std::uint64_t stuck = loop.Milliseconds();
  EXPECT_TRUE(WriteSerial(ctx, Bytes({203, 0})));
  EXPECT_GE(loop.Milliseconds() - stuck, 1000u);
  EXPECT_LE(loop.Milliseconds() - stuck, 1010u);
  EXPECT_EQ(serial->writes.back(), Bytes({203, 0}));
}

TEST_F(Zra6SerialTest, AWriteOnAFailedPortClosesItSoTheNextUseReopens) {
  ASSERT_TRUE(OpenSerialPort(ctx));
  serial->writeFailure = PortStatus::Failed(PortErrorKind::IoError, 5);
  EXPECT_FALSE(WriteSerial(ctx, Bytes({205, 3})));
  EXPECT_FALSE(serial->isOpen);
  serial->writeFailure = PortStatus::Ok();
  EXPECT_TRUE(WriteSerial(ctx, Bytes({205, 3})));
  EXPECT_EQ(serial->opens, 2);
}

TEST_F(Zra6SerialTest, ReadSerialAllTakesEverythingBufferedButStopsAfterASecondOfFlood) {
  ASSERT_TRUE(OpenSerialPort(ctx));
  std::string buffered(10000, 'a');
  buffered.back() = 'z';
  serial->Deliver(buffered);
  EXPECT_EQ(ReadSerialAll(ctx), buffered);
  EXPECT_EQ(ReadSerialAll(ctx), "");

  loop.SetPumpHook([&] { serial->Deliver(std::string(5000, 'x')); });  // it never stops
  const std::uint64_t start = loop.Milliseconds();
  const std::string flood = ReadSerialAll(ctx);
  EXPECT_LE(loop.Milliseconds() - start, 1002u);
  EXPECT_GE(flood.size(), 1u << 20);  // ended by the megabyte limit
  EXPECT_LE(flood.size(), (1u << 20) + 4096u);
}

TEST_F(Zra6SerialTest, TheOneSecondWaitCountsFromTheNearestWholeSecond) {
  const auto waited = [&](std::uint64_t startAt) {
    loop.Advance(startAt - loop.Milliseconds());
    WaitOneSecond(loop, loop);
    return loop.Milliseconds() - startAt;
  };
  EXPECT_EQ(waited(10000), 1000u);
  EXPECT_EQ(waited(20400), 600u);   // from 20 s
  EXPECT_EQ(waited(30600), 1400u);  // from 31 s
  EXPECT_EQ(waited(42500), 500u);   // 42.5 s rounds to the even 42 s
  EXPECT_EQ(waited(43500), 1500u);  // 43.5 s rounds to the even 44 s
}

// What discovery shows of the unit is pinned by the discovery tests; here what
// a check keeps when the unit has gone silent.
TEST_F(Zra6SerialTest, ACheckOfASilentUnitKeepsTheLastVersion) {
  EXPECT_EQ(CheckZra6Identity(ctx), DiscoveryResult::Found);
  EXPECT_EQ(session.link.serial.UnitSerialNumber, "123456");
  silent = true;
  EXPECT_EQ(CheckZra6Identity(ctx), DiscoveryResult::NotFound);
  EXPECT_EQ(session.link.serial.InterfaceInfoText, "Interface unit has not been found");
  EXPECT_EQ(session.link.serial.UnitVersion, "V2.1  SN 123456");
}

TEST_F(Zra6SerialTest, StreamsStartWithPeriodAndMaskAndStopWithMaskZero) {
  session.settings.RecordForce = true;
  session.trial.SampleCount = 17;
  session.link.serial.StreamText = "old";
  session.link.serial.StreamSearchStart = 9;
  EXPECT_EQ(StartZra6Stream(ctx), PortResult::Open);
  EXPECT_EQ(serial->writes,
            (std::vector<std::string>{Bytes({205, 0}), Bytes({204, 5}), Bytes({205, 3})}));
  EXPECT_EQ(session.trial.SampleCount, 0);
  EXPECT_EQ(session.link.serial.StreamText, "");
  EXPECT_EQ(session.link.serial.StreamSearchStart, 1);
  EXPECT_EQ(session.link.CollectStartTicks, loop.Milliseconds());
  EXPECT_EQ(StopZra6Stream(ctx), PortResult::Open);
  EXPECT_EQ(serial->writes.back(), Bytes({205, 0}));

  // Without a port nothing is sent.
  session.link.serial.port->Close();
  serial->present = false;
  const std::size_t before = serial->writes.size();
  EXPECT_EQ(StartZra6Stream(ctx), PortResult::OpenFailed);
  EXPECT_EQ(StopZra6Stream(ctx), PortResult::OpenFailed);
  EXPECT_EQ(serial->writes.size(), before);
}

TEST_F(Zra6SerialTest, TheUsbStreamAlsoSwitchesTheCollectionMonitor) {
  SelectZra6Plus();
  std::vector<bool> monitor;
  session.link.switchCollectionMonitor = [&monitor](bool on) { monitor.push_back(on); };
  session.settings.frequency = 500;
  EXPECT_EQ(StartZra6PlusStream(ctx), PortResult::Open);
  EXPECT_EQ(usb->writes, (std::vector<std::string>{Bytes({204, 2}), Bytes({205, 1})}));
  EXPECT_TRUE(session.link.serial.Zra6PlusStreaming);
  EXPECT_EQ(StopZra6PlusStream(ctx), PortResult::Open);
  EXPECT_EQ(usb->writes.back(), Bytes({205, 0}));
  EXPECT_EQ(monitor, (std::vector<bool>{true, false}));
  EXPECT_FALSE(session.link.serial.Zra6PlusStreaming);
}

}  // namespace
}  // namespace torvane::testing

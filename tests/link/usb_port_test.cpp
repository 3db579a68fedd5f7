#include "link/usb_port.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "link/link_fixture.hpp"

namespace torvane::testing {
namespace {

constexpr const char* kOpen = "USB Port is open.";
constexpr const char* kOpenFailed = "USB port failed to open.";

class UsbPortTest : public ::testing::Test, public LinkFixture {
 protected:
  // Selects one model, the other USB one cleared.
  void Select(bool zra7) {
    session.settings.ZRA7Input = zra7;
    session.settings.ZRA6PlusInput = !zra7;
  }
  void OpenAs(bool zra7) {
    Select(zra7);
    ASSERT_EQ(Text(OpenUsbPort(ctx)), kOpen);
  }
  const UsbLinkState& state() const { return session.link.usb; }
};

TEST_F(UsbPortTest, OpenConfiguresEachModelAsItsUnitNeeds) {
  OpenAs(true);
  EXPECT_EQ(usb->openedPaths.back(), "/dev/test-usb");
  EXPECT_EQ(SerialSettingsText(usb->settingsApplied.back()), "500000,N,8,1");
  EXPECT_EQ(usb->settingsApplied.back().flow, FlowControl::RtsCts);
  EXPECT_TRUE(state().UsbPortIsOpen);
  EXPECT_EQ(Text(CloseUsbPort(ctx)), "USB Port is closed.");

  OpenAs(false);
  EXPECT_EQ(SerialSettingsText(usb->settingsApplied.back()), "115200,N,8,1");
  EXPECT_EQ(usb->settingsApplied.back().flow, FlowControl::None);
}

TEST_F(UsbPortTest, OpenWithALiveHandleDoesNotOpenAgainButADeadOneIsReopened) {
  OpenAs(true);
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpen);
  EXPECT_EQ(usb->opens, 1);
  usb->unplugged = true;  // the handle stops answering
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpenFailed);
  usb->unplugged = false;  // plugged back in
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpen);
  EXPECT_EQ(usb->opens, 3);
}

// Each failed step logs its own reason, also when the device was closed since.
TEST_F(UsbPortTest, WithoutAUnitOpenFailsLeavesTheFlagAndLogsTheReasonOnce) {
  Select(true);
  usb->present = false;
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpenFailed);
  EXPECT_FALSE(state().UsbPortIsOpen);
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpenFailed);
  ASSERT_EQ(log.size(), 1u);
  for (const char* part : {"/dev/test-usb", "no such device", "[Ports]"}) {
    EXPECT_NE(log[0].find(part), std::string::npos) << part;
  }

  // A port once opened keeps its flag through a later failed open.
  usb->present = true;
  ASSERT_EQ(Text(OpenUsbPort(ctx)), kOpen);
  usb->unplugged = true;
  usb->present = false;
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpenFailed);
  EXPECT_TRUE(state().UsbPortIsOpen);
  EXPECT_EQ(log.size(), 2u);  // logged again: a success came in between

  usb->openFailure = PortStatus::Failed(PortErrorKind::PermissionDenied, EACCES);
  usb->present = true;
  CloseUsbPort(ctx);
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpenFailed);
  EXPECT_NE(log.back().find("dialout"), std::string::npos) << log.back();
}

struct StepFailure {
  bool zra7;
  UsbOperation op;
  const char* text;
};

TEST_F(UsbPortTest, EachFailingOpenStepReturnsItsTextAndLeavesTheDeviceClosed) {
  const StepFailure steps[] = {
      {true, UsbOperation::SetDivisor, "Setting USB port data rate failed."},
      {false, UsbOperation::SetBaudRate, "Setting USB Baud Rate failed."},
      {true, UsbOperation::SetDataCharacteristics, "Setting USB port data characteristics failed."},
      {false, UsbOperation::SetFlowControl, "Setting USB port flow control failed."},
      {true, UsbOperation::SetTimeouts, "Setting USB port timeout failed."},
      {false, UsbOperation::SetLatencyTimer, "Setting USB port latency timer failed."},
      {true, UsbOperation::SetUsbParameters, "Setting USB input buffer size failed."},
      {false, UsbOperation::Purge, "USB buffer purge failed."},
      {false, UsbOperation::Open, kOpenFailed},
  };
  for (const StepFailure& step : steps) {
    Select(step.zra7);
    session.link.usb.device.InjectFailure(step.op, 4);
    EXPECT_EQ(Text(OpenUsbPort(ctx)), step.text);
    EXPECT_FALSE(usb->isOpen) << step.text;
    EXPECT_FALSE(state().UsbPortIsOpen) << step.text;
  }
  // A rate the adapter refuses fails the rate step, with the settings logged.
  Select(true);
  usb->maxBaud = 115200;
  EXPECT_EQ(Text(OpenUsbPort(ctx)), "Setting USB port data rate failed.");
  EXPECT_FALSE(usb->isOpen);
  EXPECT_NE(log.back().find("500000,N,8,1"), std::string::npos);
}

TEST_F(UsbPortTest, Zra7ReadsFillTheWholeAreaAndZra6PlusReadsGiveExactlyTheBytes) {
  EXPECT_EQ(UsbRead(ctx), "");  // never opened
  OpenAs(true);
  usb->Deliver("OK,ab");
  EXPECT_EQ(UsbRead(ctx), "OK,ab" + std::string(4091, ' '));
  EXPECT_EQ(state().UsbBytesRead, 5u);
  session.link.usb.device.InjectFailure(UsbOperation::Read, 4);
  usb->Deliver("data");
  EXPECT_EQ(UsbRead(ctx), "");

  OpenAs(false);
  usb->incoming.clear();
  usb->Deliver(Bytes({0xDD, 1, 2, 0, 0x20}));
  EXPECT_EQ(UsbRead(ctx), Bytes({0xDD, 1, 2, 0, 0x20}));
  // The receive area is blank again after every read.
  EXPECT_EQ(state().UsbReadBuffer, std::string(4096, ' '));
  // A read takes at most 4096 bytes and leaves the rest queued.
  usb->Deliver(std::string(4096, 'a') + std::string(904, 'b'));
  EXPECT_EQ(UsbRead(ctx), std::string(4096, 'a'));
  EXPECT_EQ(UsbRead(ctx), std::string(904, 'b'));
  EXPECT_EQ(UsbRead(ctx), "");
}

TEST_F(UsbPortTest, ParameterBytesZeroAndSpaceAreSentWholeAndLongCommandsCut) {
  OpenAs(false);
  EXPECT_EQ(UsbWrite(ctx, Bytes({0xCB, 0x20})), kFtOk);
  EXPECT_EQ(UsbWrite(ctx, Bytes({0xCB, 0})), kFtOk);
  EXPECT_EQ(UsbWrite(ctx, std::string(300, 'x')), kFtOk);
  EXPECT_EQ(usb->writes, (std::vector<std::string>{Bytes({0xCB, 0x20}), Bytes({0xCB, 0}),
                                                   std::string(256, 'x')}));
}

TEST_F(UsbPortTest, AFailedWriteClosesTheDeviceButNotTheFlagAndClosingTwiceFails) {
  OpenAs(true);
  usb->writeFailure = PortStatus::Failed(PortErrorKind::IoError, EIO);
  EXPECT_EQ(UsbStatusText(UsbWrite(ctx, "VO\r")), "USB I/O error.");
  EXPECT_EQ(state().UsbStatus, 4u);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_TRUE(state().UsbPortIsOpen);
  usb->writeFailure = PortStatus::Ok();
  EXPECT_EQ(UsbStatusText(UsbWrite(ctx, "VO\r")),
            "Function call to USB device with invalid handle.");
  EXPECT_EQ(Text(CloseUsbPortAtExit(ctx)), "USB Port failure.");
  EXPECT_EQ(state().LastUsbMessage, "USB Port failure.");
  EXPECT_TRUE(state().UsbPortIsOpen);
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpen);  // the next open reopens it
  EXPECT_EQ(UsbWrite(ctx, "VO\r"), kFtOk);

  ASSERT_EQ(Text(CloseUsbPort(ctx)), "USB Port is closed.");
  EXPECT_FALSE(state().UsbPortIsOpen);
  EXPECT_EQ(Text(CloseUsbPort(ctx)), "USB Port failure.");
  EXPECT_EQ(UsbStatusText(18), "Undefined USB error code.");
}

TEST_F(UsbPortTest, DtrChangesLeaveThePortClosed) {
  Select(true);
  UsbRaiseDtr(ctx);
  UsbLowerDtr(ctx);
  EXPECT_EQ(usb->dtrChanges, (std::vector<bool>{true, false}));
  EXPECT_FALSE(usb->isOpen || state().UsbPortIsOpen);
  EXPECT_EQ(state().UsbStatus, 0u);
  // A port that was open before is closed too.
  OpenAs(true);
  UsbRaiseDtr(ctx);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(Text(OpenUsbPort(ctx)), kOpen);
}

TEST_F(UsbPortTest, PurgeBlanksBothBuffersOnlyWhenItSucceeds) {
  OpenAs(true);
  UsbWrite(ctx, "VO\r");
  usb->Deliver("stale");
  usb->purgeFailure = PortStatus::Failed(PortErrorKind::IoError, EIO);
  UsbPurge(ctx);
  EXPECT_EQ(state().UsbWriteBuffer.substr(0, 3), "VO\r");
  EXPECT_EQ(usb->incoming, "stale");
  usb->purgeFailure = PortStatus::Ok();
  UsbPurge(ctx);
  EXPECT_EQ(state().UsbWriteBuffer, std::string(256, ' '));
  EXPECT_EQ(usb->incoming, "");
}

}  // namespace
}  // namespace torvane::testing

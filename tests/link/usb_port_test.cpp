#include "link/usb_port.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "link/link_fixture.hpp"

namespace torvane::testing {
namespace {

class UsbPortTest : public ::testing::Test, public LinkFixture {};

TEST_F(UsbPortTest, OpenConfiguresEachModelAsItsUnitNeeds) {
  SelectZra7();
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");
  ASSERT_FALSE(usb->settingsApplied.empty());
  const SerialSettings zra7 = usb->settingsApplied.back();
  EXPECT_EQ(zra7.baud, 500000u);
  EXPECT_EQ(zra7.flow, FlowControl::RtsCts);
  EXPECT_EQ(SerialSettingsText(zra7), "500000,N,8,1");
  EXPECT_EQ(usb->openedPaths.back(), "/dev/test-usb");
  EXPECT_TRUE(session.link.usb.UsbPortIsOpen);
  EXPECT_EQ(CloseUsbPort(session), "USB Port is closed.");

  session.settings.ZRA7Input = false;
  SelectZra6Plus();
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");
  const SerialSettings zra6Plus = usb->settingsApplied.back();
  EXPECT_EQ(zra6Plus.baud, 115200u);
  EXPECT_EQ(zra6Plus.flow, FlowControl::None);
  EXPECT_EQ(SerialSettingsText(zra6Plus), "115200,N,8,1");
}

TEST_F(UsbPortTest, OpenWithALiveHandleDoesNotOpenAgainButADeadOneIsReopened) {
  SelectZra7();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");
  EXPECT_EQ(usb->opens, 1);

  usb->unplugged = true;  // the handle stops answering
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
  usb->unplugged = false;  // plugged back in
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");
  EXPECT_EQ(usb->opens, 3);
}

TEST_F(UsbPortTest, WithoutAUnitOpenFailsLeavesTheFlagAndLogsTheReasonOnce) {
  SelectZra7();
  usb->present = false;
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
  EXPECT_FALSE(session.link.usb.UsbPortIsOpen);
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("/dev/test-usb"), std::string::npos);
  EXPECT_NE(log[0].find("no such device"), std::string::npos);
  EXPECT_NE(log[0].find("[Ports]"), std::string::npos);

  // A port once opened keeps its flag through a later failed open.
  usb->present = true;
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  usb->unplugged = true;
  usb->present = false;
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
  EXPECT_TRUE(session.link.usb.UsbPortIsOpen);
  EXPECT_EQ(log.size(), 2u);  // logged again: a success came in between
}

TEST_F(UsbPortTest, PermissionDeniedTellsAboutTheDialoutGroup) {
  SelectZra6Plus();
  usb->openFailure = PortStatus::Failed(PortErrorKind::PermissionDenied, EACCES);
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("dialout"), std::string::npos);
}

TEST_F(UsbPortTest, ARefusedRateFailsTheRateStepAndClosesTheDevice) {
  SelectZra7();
  usb->maxBaud = 115200;
  EXPECT_EQ(OpenUsbPort(session), "Setting USB port data rate failed.");
  EXPECT_FALSE(usb->isOpen);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("500000,N,8,1"), std::string::npos);
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
  };
  for (const StepFailure& step : steps) {
    session.settings.ZRA7Input = step.zra7;
    session.settings.ZRA6PlusInput = !step.zra7;
    session.link.usb.device.InjectFailure(step.op, 4);
    EXPECT_EQ(OpenUsbPort(session), step.text);
    EXPECT_FALSE(usb->isOpen) << step.text;
    EXPECT_FALSE(session.link.usb.UsbPortIsOpen) << step.text;
  }
  session.link.usb.device.InjectFailure(UsbOperation::Open, 2);
  EXPECT_EQ(OpenUsbPort(session), "USB port failed to open.");
}

TEST_F(UsbPortTest, Zra7ReadsFillTheWholeAreaAndZra6PlusReadsGiveExactlyTheBytes) {
  SelectZra7();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  usb->Deliver("OK,ab");
  const std::string zra7 = UsbRead(session);
  ASSERT_EQ(zra7.size(), 4096u);
  EXPECT_EQ(zra7.substr(0, 5), "OK,ab");
  EXPECT_EQ(zra7.find_first_not_of(' ', 5), std::string::npos);
  EXPECT_EQ(session.link.usb.UsbBytesRead, 5u);

  session.settings.ZRA7Input = false;
  SelectZra6Plus();
  usb->Deliver(std::string("\xDD\x01\x02\x00\x20", 5));
  EXPECT_EQ(UsbRead(session), std::string("\xDD\x01\x02\x00\x20", 5));
  // The receive area is blank again after every read.
  EXPECT_EQ(session.link.usb.UsbReadBuffer, std::string(4096, ' '));
}

TEST_F(UsbPortTest, AReadTakesAtMost4096BytesAndLeavesTheRestQueued) {
  SelectZra6Plus();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  std::string queued(5000, 'a');
  queued.replace(4096, 904, std::string(904, 'b'));
  usb->Deliver(queued);
  EXPECT_EQ(UsbRead(session), std::string(4096, 'a'));
  EXPECT_EQ(usb->incoming.size(), 904u);
  EXPECT_EQ(UsbRead(session), std::string(904, 'b'));
  EXPECT_EQ(UsbRead(session), "");  // nothing waiting
}

TEST_F(UsbPortTest, ReadsOnAClosedOrFailingPortGiveEmptyText) {
  SelectZra7();
  usb->Deliver("data");
  EXPECT_EQ(UsbRead(session), "");  // never opened
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  usb->Deliver("data");
  session.link.usb.device.InjectFailure(UsbOperation::Read, 4);
  EXPECT_EQ(UsbRead(session), "");
}

TEST_F(UsbPortTest, ParameterBytesZeroAndSpaceAreSentWhole) {
  SelectZra6Plus();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  EXPECT_EQ(UsbWrite(session, std::string("\xCB\x20", 2)), "");
  EXPECT_EQ(UsbWrite(session, std::string("\xCB\x00", 2)), "");
  ASSERT_EQ(usb->writes.size(), 2u);
  EXPECT_EQ(usb->writes[0], std::string("\xCB\x20", 2));
  EXPECT_EQ(usb->writes[1], std::string("\xCB\x00", 2));
  // A command longer than the write buffer is cut at 256 bytes.
  EXPECT_EQ(UsbWrite(session, std::string(300, 'x')), "");
  EXPECT_EQ(usb->writes[2].size(), 256u);
}

TEST_F(UsbPortTest, AFailedWriteReturnsTheStatusTextAndClosesTheDeviceButNotTheFlag) {
  SelectZra7();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  usb->writeFailure = PortStatus::Failed(PortErrorKind::IoError, EIO);
  EXPECT_EQ(UsbWrite(session, "VO\r"), "USB I/O error.");
  EXPECT_EQ(session.link.usb.UsbStatus, 4u);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_TRUE(session.link.usb.UsbPortIsOpen);
  usb->writeFailure = PortStatus::Ok();
  EXPECT_EQ(UsbWrite(session, "VO\r"), "Function call to USB device with invalid handle.");
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");  // the next open reopens it
  EXPECT_EQ(UsbWrite(session, "VO\r"), "");
}

TEST_F(UsbPortTest, ClosingAClosedHandleFailsAndLeavesTheFlag) {
  SelectZra7();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  ASSERT_EQ(CloseUsbPort(session), "USB Port is closed.");
  EXPECT_FALSE(session.link.usb.UsbPortIsOpen);
  EXPECT_EQ(CloseUsbPort(session), "USB Port failure.");
  EXPECT_FALSE(session.link.usb.UsbPortIsOpen);

  // Closed under the flag by a failed write: the flag stays set.
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  usb->writeFailure = PortStatus::Failed(PortErrorKind::IoError, EIO);
  UsbWrite(session, "U0\r");
  EXPECT_EQ(CloseUsbPortAtExit(session), "USB Port failure.");
  EXPECT_EQ(session.link.usb.LastUsbMessage, "USB Port failure.");
  EXPECT_TRUE(session.link.usb.UsbPortIsOpen);
}

TEST_F(UsbPortTest, StatusTextsCoverTheTableAndEverythingElseIsUndefined) {
  EXPECT_EQ(UsbStatusText(0), "No USB device errors.");
  EXPECT_EQ(UsbStatusText(1), "Function call to USB device with invalid handle.");
  EXPECT_EQ(UsbStatusText(2), "USB device not found.");
  EXPECT_EQ(UsbStatusText(3), "USB device not opened.");
  EXPECT_EQ(UsbStatusText(4), "USB I/O error.");
  EXPECT_EQ(UsbStatusText(5), "Insufficient system resources.");
  for (std::uint32_t status : {6u, 7u, 18u, 0xFFFFFFFFu}) {
    EXPECT_EQ(UsbStatusText(status), "Undefined USB error code.");
  }
}

TEST_F(UsbPortTest, DtrChangesLeaveThePortClosed) {
  SelectZra7();
  UsbRaiseDtr(session);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_FALSE(session.link.usb.UsbPortIsOpen);
  UsbLowerDtr(session);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(usb->dtrChanges, (std::vector<bool>{true, false}));
  EXPECT_EQ(session.link.usb.UsbStatus, 0u);
  // A port that was open before is closed too.
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  UsbRaiseDtr(session);
  EXPECT_FALSE(usb->isOpen);
  EXPECT_EQ(OpenUsbPort(session), "USB Port is open.");
}

TEST_F(UsbPortTest, PurgeBlanksBothBuffersOnlyWhenItSucceeds) {
  SelectZra7();
  ASSERT_EQ(OpenUsbPort(session), "USB Port is open.");
  UsbWrite(session, "VO\r");
  usb->Deliver("stale");
  usb->purgeFailure = PortStatus::Failed(PortErrorKind::IoError, EIO);
  UsbPurge(session);
  EXPECT_EQ(session.link.usb.UsbWriteBuffer.substr(0, 3), "VO\r");
  EXPECT_EQ(usb->incoming, "stale");
  usb->purgeFailure = PortStatus::Ok();
  UsbPurge(session);
  EXPECT_EQ(session.link.usb.UsbWriteBuffer, std::string(256, ' '));
  EXPECT_EQ(usb->incoming, "");
}

}  // namespace
}  // namespace torvane::testing

#include "link/usb_port.hpp"

#include "link/port_access.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

constexpr std::uint16_t kZra7Divisor = 6;  // 500 000 baud on the chip's 3 MHz clock
constexpr std::uint32_t kZra6PlusBaud = 115200;
constexpr std::uint32_t kReadTimeoutMs = 1000;
constexpr std::uint32_t kZra7WriteTimeoutMs = 0;
constexpr std::uint32_t kZra6PlusWriteTimeoutMs = 1000;
constexpr std::uint8_t kLatencyMs = 16;
constexpr std::uint32_t kInTransferSize = 4096;
constexpr std::uint32_t kPurgeBoth = kFtPurgeRx | kFtPurgeTx;

void Blank(std::string& buffer) {
  buffer.assign(buffer.size(), ' ');
}

// Ends a failed open: the device is closed (unless the open itself failed),
// the operating system's reason goes to the status log, and the step's text
// is returned.
std::string OpenFailed(Session& session, const char* text, bool closeDevice) {
  UsbLinkState& usb = session.link.usb;
  const PortStatus reason = usb.device.LastFailure();
  if (closeDevice) usb.device.Close(usb.UsbHandle);
  ReportPortFailure(session, usb.device.Path(), reason,
                    SerialSettingsText(usb.device.RequestedSettings()));
  return text;
}

}  // namespace

std::string UsbStatusText(std::uint32_t status) {
  switch (status) {
    case 0:
      return "No USB device errors.";
    case 1:
      return "Function call to USB device with invalid handle.";
    case 2:
      return "USB device not found.";
    case 3:
      return "USB device not opened.";
    case 4:
      return "USB I/O error.";
    case 5:
      return "Insufficient system resources.";
    default:
      return "Undefined USB error code.";
  }
}

std::string OpenUsbPort(Session& session) {
  UsbLinkState& usb = session.link.usb;
  UsbDevice& dev = usb.device;
  const bool zra7 = session.settings.ZRA7Input;
  const bool zra6Plus = session.settings.ZRA6PlusInput && !zra7;

  if (dev.GetStatus(usb.UsbHandle, usb.UsbRxQueue, usb.UsbTxQueue, usb.UsbEventStatus) == kFtOk) {
    return std::string(kUsbPortIsOpen);
  }
  if (dev.Open(UsbDevicePath(session.settings), usb.UsbHandle) != kFtOk) {
    return OpenFailed(session, "USB port failed to open.", false);
  }
  const std::uint32_t h = usb.UsbHandle;
  if (zra7 && dev.SetDivisor(h, kZra7Divisor) != kFtOk) {
    return OpenFailed(session, "Setting USB port data rate failed.", true);
  }
  if (zra6Plus && dev.SetBaudRate(h, kZra6PlusBaud) != kFtOk) {
    return OpenFailed(session, "Setting USB Baud Rate failed.", true);
  }
  if (dev.SetDataCharacteristics(h, kFtBits8, kFtStopBits1, kFtParityNone) != kFtOk) {
    return OpenFailed(session, "Setting USB port data characteristics failed.", true);
  }
  if (dev.SetFlowControl(h, zra7 ? kFtFlowRtsCts : kFtFlowNone, 0, 0) != kFtOk) {
    return OpenFailed(session, "Setting USB port flow control failed.", true);
  }
  if (dev.SetTimeouts(h, kReadTimeoutMs, zra7 ? kZra7WriteTimeoutMs : kZra6PlusWriteTimeoutMs) !=
      kFtOk) {
    return OpenFailed(session, "Setting USB port timeout failed.", true);
  }
  if (dev.SetLatencyTimer(h, kLatencyMs) != kFtOk) {
    return OpenFailed(session, "Setting USB port latency timer failed.", true);
  }
  if (dev.SetUsbParameters(h, kInTransferSize, 0) != kFtOk) {
    return OpenFailed(session, "Setting USB input buffer size failed.", true);
  }
  if (dev.Purge(h, kPurgeBoth) != kFtOk) {
    return OpenFailed(session, "USB buffer purge failed.", true);
  }
  Blank(usb.UsbReadBuffer);
  Blank(usb.UsbWriteBuffer);
  usb.UsbPortIsOpen = true;
  ClearPortFailure(session, dev.Path());
  return std::string(kUsbPortIsOpen);
}

std::string CloseUsbPort(Session& session) {
  UsbLinkState& usb = session.link.usb;
  if (usb.device.Close(usb.UsbHandle) == kFtOk) {
    usb.UsbPortIsOpen = false;
    return std::string(kUsbPortIsClosed);
  }
  return std::string(kUsbPortFailure);
}

std::string UsbWrite(Session& session, std::string_view command) {
  UsbLinkState& usb = session.link.usb;
  const std::size_t n = command.size() < kUsbWriteBufferSize ? command.size() : kUsbWriteBufferSize;
  Blank(usb.UsbWriteBuffer);
  usb.UsbWriteBuffer.replace(0, n, command.substr(0, n));
  usb.UsbBytesWritten = 0;
  usb.UsbStatus = usb.device.Write(usb.UsbHandle, std::string_view(usb.UsbWriteBuffer).substr(0, n),
                                   usb.UsbBytesWritten);
  if (usb.UsbStatus != kFtOk) {
    const std::string text = UsbStatusText(usb.UsbStatus);
    usb.device.Close(usb.UsbHandle);
    return text;
  }
  return {};
}

std::string UsbRead(Session& session) {
  UsbLinkState& usb = session.link.usb;
  if (usb.device.GetQueueStatus(usb.UsbHandle, usb.UsbRxQueue) != kFtOk || usb.UsbRxQueue == 0) {
    return {};
  }
  const std::uint32_t count = usb.UsbRxQueue < kUsbReadBufferSize
                                  ? usb.UsbRxQueue
                                  : static_cast<std::uint32_t>(kUsbReadBufferSize);
  std::string received;
  const FtStatus status = usb.device.Read(usb.UsbHandle, received, count, usb.UsbBytesRead);
  if (status != kFtOk) return {};
  Blank(usb.UsbReadBuffer);
  usb.UsbReadBuffer.replace(0, received.size(), received);
  std::string result = session.settings.ZRA7Input ? usb.UsbReadBuffer
                                                  : usb.UsbReadBuffer.substr(0, usb.UsbBytesRead);
  Blank(usb.UsbReadBuffer);
  return result;
}

void UsbPurge(Session& session) {
  UsbLinkState& usb = session.link.usb;
  if (usb.device.Purge(usb.UsbHandle, kPurgeBoth) == kFtOk) {
    Blank(usb.UsbReadBuffer);
    Blank(usb.UsbWriteBuffer);
  }
}

void UsbRaiseDtr(Session& session) {
  OpenUsbPort(session);
  session.link.usb.UsbStatus = session.link.usb.device.SetDtr(session.link.usb.UsbHandle);
  CloseUsbPort(session);
}

void UsbLowerDtr(Session& session) {
  OpenUsbPort(session);
  session.link.usb.UsbStatus = session.link.usb.device.ClrDtr(session.link.usb.UsbHandle);
  CloseUsbPort(session);
}

std::string CloseUsbPortAtExit(Session& session) {
  std::string text = CloseUsbPort(session);
  session.link.usb.LastUsbMessage = text;
  return text;
}

}  // namespace torvane

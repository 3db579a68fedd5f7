#include "link/usb_port.hpp"

#include "link/port_access.hpp"

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
// the operating system's reason goes to the status log, and the failed step
// is returned.
PortResult OpenFailed(const LinkContext& ctx, PortResult step, bool closeDevice) {
  UsbLinkState& usb = ctx.link.usb;
  const PortStatus reason = usb.device.LastFailure();
  if (closeDevice) usb.device.Close(usb.UsbHandle);
  ReportPortFailure(ctx, usb.device.Path(), reason,
                    SerialSettingsText(usb.device.RequestedSettings()));
  return step;
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

PortResult OpenUsbPort(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
  UsbDevice& dev = usb.device;
  const bool zra7 = ctx.settings.ZRA7Input;
  const bool zra6Plus = ctx.settings.ZRA6PlusInput && !zra7;

  if (dev.GetStatus(usb.UsbHandle, usb.UsbRxQueue, usb.UsbTxQueue, usb.UsbEventStatus) == kFtOk) {
    return PortResult::Open;
  }
  if (dev.Open(UsbDevicePath(ctx.settings), usb.UsbHandle) != kFtOk) {
    return OpenFailed(ctx, PortResult::OpenFailed, false);
  }
  const std::uint32_t h = usb.UsbHandle;
  if (zra7 && dev.SetDivisor(h, kZra7Divisor) != kFtOk) {
    return OpenFailed(ctx, PortResult::DataRateFailed, true);
  }
  if (zra6Plus && dev.SetBaudRate(h, kZra6PlusBaud) != kFtOk) {
    return OpenFailed(ctx, PortResult::BaudRateFailed, true);
  }
  if (dev.SetDataCharacteristics(h, kFtBits8, kFtStopBits1, kFtParityNone) != kFtOk) {
    return OpenFailed(ctx, PortResult::DataCharacteristicsFailed, true);
  }
  if (dev.SetFlowControl(h, zra7 ? kFtFlowRtsCts : kFtFlowNone, 0, 0) != kFtOk) {
    return OpenFailed(ctx, PortResult::FlowControlFailed, true);
  }
  if (dev.SetTimeouts(h, kReadTimeoutMs, zra7 ? kZra7WriteTimeoutMs : kZra6PlusWriteTimeoutMs) !=
      kFtOk) {
    return OpenFailed(ctx, PortResult::TimeoutFailed, true);
  }
  if (dev.SetLatencyTimer(h, kLatencyMs) != kFtOk) {
    return OpenFailed(ctx, PortResult::LatencyTimerFailed, true);
  }
  if (dev.SetUsbParameters(h, kInTransferSize, 0) != kFtOk) {
    return OpenFailed(ctx, PortResult::InputBufferSizeFailed, true);
  }
  if (dev.Purge(h, kPurgeBoth) != kFtOk) {
    return OpenFailed(ctx, PortResult::PurgeFailed, true);
  }
  Blank(usb.UsbReadBuffer);
  Blank(usb.UsbWriteBuffer);
  usb.UsbPortIsOpen = true;
  ClearPortFailure(ctx.link, dev.Path());
  return PortResult::Open;
}

PortResult CloseUsbPort(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
  if (usb.device.Close(usb.UsbHandle) == kFtOk) {
    usb.UsbPortIsOpen = false;
    return PortResult::Closed;
  }
  return PortResult::CloseFailed;
}

FtStatus UsbWrite(const LinkContext& ctx, std::string_view command) {
  UsbLinkState& usb = ctx.link.usb;
  const std::size_t n = command.size() < kUsbWriteBufferSize ? command.size() : kUsbWriteBufferSize;
  Blank(usb.UsbWriteBuffer);
  usb.UsbWriteBuffer.replace(0, n, command.substr(0, n));
  usb.UsbBytesWritten = 0;
  usb.UsbStatus = usb.device.Write(usb.UsbHandle, std::string_view(usb.UsbWriteBuffer).substr(0, n),
                                   usb.UsbBytesWritten);
  if (usb.UsbStatus != kFtOk) usb.device.Close(usb.UsbHandle);
  return usb.UsbStatus;
}

std::string UsbRead(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
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
  std::string result =
      ctx.settings.ZRA7Input ? usb.UsbReadBuffer : usb.UsbReadBuffer.substr(0, usb.UsbBytesRead);
  Blank(usb.UsbReadBuffer);
  return result;
}

void UsbPurge(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
  if (usb.device.Purge(usb.UsbHandle, kPurgeBoth) == kFtOk) {
    Blank(usb.UsbReadBuffer);
    Blank(usb.UsbWriteBuffer);
  }
}

void UsbRaiseDtr(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
  OpenUsbPort(ctx);
  usb.UsbStatus = usb.device.SetDtr(usb.UsbHandle);
  CloseUsbPort(ctx);
}

void UsbLowerDtr(const LinkContext& ctx) {
  UsbLinkState& usb = ctx.link.usb;
  OpenUsbPort(ctx);
  usb.UsbStatus = usb.device.ClrDtr(usb.UsbHandle);
  CloseUsbPort(ctx);
}

PortResult CloseUsbPortAtExit(const LinkContext& ctx) {
  const PortResult closed = CloseUsbPort(ctx);
  ctx.link.usb.LastUsbMessage = Text(closed);
  return closed;
}

}  // namespace torvane

#include "link/usb_device.hpp"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/serial_port.hpp"

namespace torvane {

FtStatus FtStatusOf(const PortStatus& status) {
  switch (status.kind) {
    case PortErrorKind::None:
      return kFtOk;
    case PortErrorKind::NotOpen:
      return kFtInvalidHandle;
    case PortErrorKind::NoDevice:
      return kFtDeviceNotFound;
    case PortErrorKind::PermissionDenied:
    case PortErrorKind::Busy:
      return kFtDeviceNotOpened;
    case PortErrorKind::NoResources:
      return kFtInsufficientResources;
    case PortErrorKind::BadSettings:
      return kFtInvalidParameter;
    case PortErrorKind::TimedOut:
    case PortErrorKind::IoError:
      return kFtIoError;
  }
  return kFtIoError;
}

namespace {

// The driver's sysfs file for the latency timer of a USB-serial tty.
std::string LatencyTimerFile(const std::string& devicePath) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(devicePath, ec);
  if (ec) return {};
  return "/sys/class/tty/" + real.filename().string() + "/device/latency_timer";
}

}  // namespace

UsbDevice::UsbDevice(std::unique_ptr<BytePort> port)
    : port_(port ? std::move(port) : std::make_unique<SerialPort>()) {}

void UsbDevice::SetPort(std::unique_ptr<BytePort> port) {
  port_ = std::move(port);
  openHandle_ = 0;
}

std::optional<FtStatus> UsbDevice::Injected(UsbOperation op) {
  // Every operation starts here: the reason of an earlier failure is not
  // this one's.
  lastFailure_ = PortStatus::Ok();
  if (injected_ && injected_->first == op) {
    const FtStatus status = injected_->second;
    injected_.reset();
    return status;
  }
  return std::nullopt;
}

FtStatus UsbDevice::Checked(std::uint32_t handle) const {
  if (handle == 0 || handle != openHandle_ || !port_->IsOpen()) return kFtInvalidHandle;
  return kFtOk;
}

FtStatus UsbDevice::Fail(const PortStatus& status) {
  lastFailure_ = status;
  return FtStatusOf(status);
}

FtStatus UsbDevice::Apply(const SerialSettings& settings, FtStatus refusal) {
  requested_ = settings;
  const PortStatus status = port_->Configure(settings);
  if (status.ok()) return kFtOk;
  lastFailure_ = status;
  return status.kind == PortErrorKind::BadSettings ? refusal : FtStatusOf(status);
}

FtStatus UsbDevice::Open(const std::string& path, std::uint32_t& handle) {
  if (auto s = Injected(UsbOperation::Open)) return *s;
  // A handle left over from a device that went away is given up first.
  openHandle_ = 0;
  path_ = path;
  requested_ = SerialSettings{};
  writeLimitMs_ = kDefaultWriteLimitMilliseconds;
  const PortStatus status = port_->Open(path, requested_);
  if (!status.ok()) return Fail(status);
  openHandle_ = nextHandle_++;
  if (nextHandle_ == 0) nextHandle_ = 1;
  handle = openHandle_;
  return kFtOk;
}

FtStatus UsbDevice::Close(std::uint32_t handle) {
  if (auto s = Injected(UsbOperation::Close)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  port_->Close();
  openHandle_ = 0;
  return kFtOk;
}

FtStatus UsbDevice::GetStatus(std::uint32_t handle, std::uint32_t& rxQueue, std::uint32_t& txQueue,
                              std::uint32_t& eventStatus) {
  if (auto s = Injected(UsbOperation::GetStatus)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortCount rx = port_->BytesWaiting();
  if (!rx.status.ok()) return Fail(rx.status);
  const PortCount tx = port_->OutputPending();
  if (!tx.status.ok()) return Fail(tx.status);
  rxQueue = static_cast<std::uint32_t>(rx.count);
  txQueue = static_cast<std::uint32_t>(tx.count);
  eventStatus = 0;
  return kFtOk;
}

FtStatus UsbDevice::GetQueueStatus(std::uint32_t handle, std::uint32_t& rxQueue) {
  if (auto s = Injected(UsbOperation::GetQueueStatus)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortCount rx = port_->BytesWaiting();
  if (!rx.status.ok()) return Fail(rx.status);
  rxQueue = static_cast<std::uint32_t>(rx.count);
  return kFtOk;
}

FtStatus UsbDevice::Read(std::uint32_t handle, std::string& into, std::uint32_t count,
                         std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (auto s = Injected(UsbOperation::Read)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const std::size_t before = into.size();
  const PortStatus status = port_->ReadAvailable(into, count);
  bytesRead = static_cast<std::uint32_t>(into.size() - before);
  if (!status.ok()) return Fail(status);
  return kFtOk;
}

FtStatus UsbDevice::Write(std::uint32_t handle, std::string_view bytes,
                          std::uint32_t& bytesWritten) {
  if (auto s = Injected(UsbOperation::Write)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortStatus status = port_->Write(bytes, writeLimitMs_);
  if (!status.ok()) return Fail(status);
  bytesWritten = static_cast<std::uint32_t>(bytes.size());
  return kFtOk;
}

FtStatus UsbDevice::SetDivisor(std::uint32_t handle, std::uint16_t divisor) {
  if (auto s = Injected(UsbOperation::SetDivisor)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  SerialSettings settings = requested_;
  settings.baud = divisor == 0 ? 3000000u : divisor == 1 ? 2000000u : 3000000u / divisor;
  return Apply(settings, kFtInvalidBaudRate);
}

FtStatus UsbDevice::SetBaudRate(std::uint32_t handle, std::uint32_t baud) {
  if (auto s = Injected(UsbOperation::SetBaudRate)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  if (baud == 0) return kFtInvalidBaudRate;
  SerialSettings settings = requested_;
  settings.baud = baud;
  return Apply(settings, kFtInvalidBaudRate);
}

FtStatus UsbDevice::SetDataCharacteristics(std::uint32_t handle, std::uint8_t wordLength,
                                           std::uint8_t stopBits, std::uint8_t parity) {
  if (auto s = Injected(UsbOperation::SetDataCharacteristics)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  SerialSettings settings = requested_;
  if (wordLength != 7 && wordLength != 8) return kFtInvalidParameter;
  if (stopBits != kFtStopBits1 && stopBits != kFtStopBits2) return kFtInvalidParameter;
  if (parity > kFtParityEven) return kFtInvalidParameter;  // mark and space: no tty equivalent
  settings.dataBits = wordLength;
  settings.stopBits = stopBits == kFtStopBits2 ? 2 : 1;
  settings.parity = parity == kFtParityNone  ? Parity::None
                    : parity == kFtParityOdd ? Parity::Odd
                                             : Parity::Even;
  return Apply(settings, kFtInvalidParameter);
}

FtStatus UsbDevice::SetFlowControl(std::uint32_t handle, std::uint16_t mode, std::uint8_t,
                                   std::uint8_t) {
  if (auto s = Injected(UsbOperation::SetFlowControl)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  SerialSettings settings = requested_;
  if (mode == kFtFlowNone) {
    settings.flow = FlowControl::None;
  } else if (mode == kFtFlowRtsCts) {
    settings.flow = FlowControl::RtsCts;
  } else if (mode == kFtFlowXonXoff) {
    settings.flow = FlowControl::XonXoff;
  } else {
    return kFtInvalidParameter;
  }
  return Apply(settings, kFtInvalidParameter);
}

FtStatus UsbDevice::SetTimeouts(std::uint32_t handle, std::uint32_t, std::uint32_t writeMs) {
  if (auto s = Injected(UsbOperation::SetTimeouts)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  // Reads never wait here (they ask only for bytes already queued). A write
  // time-out of 0 means "no limit" to the driver; this program never waits
  // without one, so it falls back to the default limit.
  writeLimitMs_ = writeMs == 0 ? kDefaultWriteLimitMilliseconds : writeMs;
  return kFtOk;
}

FtStatus UsbDevice::SetLatencyTimer(std::uint32_t handle, std::uint8_t milliseconds) {
  if (auto s = Injected(UsbOperation::SetLatencyTimer)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  // Only the kernel's FTDI driver has the file, and writing it may need more
  // rights than the user has: the default latency then stays, which costs
  // nothing but a little delay.
  const std::string file = LatencyTimerFile(path_);
  std::error_code ec;
  if (!file.empty() && std::filesystem::exists(file, ec)) {
    std::ofstream out(file);
    if (out) out << static_cast<int>(milliseconds) << '\n';
  }
  return kFtOk;
}

FtStatus UsbDevice::SetUsbParameters(std::uint32_t handle, std::uint32_t, std::uint32_t) {
  if (auto s = Injected(UsbOperation::SetUsbParameters)) return *s;
  return Checked(handle);
}

FtStatus UsbDevice::Purge(std::uint32_t handle, std::uint32_t mask) {
  if (auto s = Injected(UsbOperation::Purge)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortStatus status = port_->Purge((mask & kFtPurgeRx) != 0, (mask & kFtPurgeTx) != 0);
  if (!status.ok()) return Fail(status);
  return kFtOk;
}

FtStatus UsbDevice::SetDtr(std::uint32_t handle) {
  if (auto s = Injected(UsbOperation::SetDtr)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortStatus status = port_->SetDtr(true);
  return status.ok() ? kFtOk : Fail(status);
}

FtStatus UsbDevice::ClrDtr(std::uint32_t handle) {
  if (auto s = Injected(UsbOperation::ClrDtr)) return *s;
  if (const FtStatus s = Checked(handle); s != kFtOk) return s;
  const PortStatus status = port_->SetDtr(false);
  return status.ok() ? kFtOk : Fail(status);
}

}  // namespace torvane

#pragma once
// The USB-serial chip of the ZRA6+ and ZRA7 as the USB port layer sees it:
// the driver library's operations, handles and status codes, carried out on
// the tty that the kernel's FTDI driver presents for the chip (or on any
// other byte port put in its place).
//
// How the tty's failures become status codes:
//   port not open / handle not the open one   -> 1 invalid handle
//   no such device, not a serial device       -> 2 device not found
//   permission denied, port in use            -> 3 device not opened
//   I/O error, device gone, write timed out   -> 4 I/O error
//   out of memory, descriptors, buffer space  -> 5 insufficient resources
//   settings refused by the tty               -> 6 invalid parameter
//                                                (7 invalid baud rate for a rate)
// The driver's own meaning of each setting on the tty:
//   divisor d on the chip's 3 MHz clock       -> 3 000 000 / d baud (d 0: 3 MHz, 1: 2 MHz)
//   flow control 256 / 1024 / 0               -> RTS/CTS / XON/XOFF / none
//   purge mask bit 1 / bit 2                  -> discard received / unsent bytes
//   queue status                              -> bytes waiting on the tty
//   DTR                                       -> the modem line (none on a pseudo-terminal)
//   latency timer                             -> the driver's sysfs file, when there is one
//   USB transfer sizes                        -> nothing to set on a tty; accepted

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/byte_port.hpp"

namespace torvane {

using FtStatus = std::uint32_t;

inline constexpr FtStatus kFtOk = 0;
inline constexpr FtStatus kFtInvalidHandle = 1;
inline constexpr FtStatus kFtDeviceNotFound = 2;
inline constexpr FtStatus kFtDeviceNotOpened = 3;
inline constexpr FtStatus kFtIoError = 4;
inline constexpr FtStatus kFtInsufficientResources = 5;
inline constexpr FtStatus kFtInvalidParameter = 6;
inline constexpr FtStatus kFtInvalidBaudRate = 7;

// The chip's data characteristics and flow-control codes.
inline constexpr std::uint8_t kFtBits8 = 8;
inline constexpr std::uint8_t kFtStopBits1 = 0;
inline constexpr std::uint8_t kFtStopBits2 = 2;
inline constexpr std::uint8_t kFtParityNone = 0;
inline constexpr std::uint8_t kFtParityOdd = 1;
inline constexpr std::uint8_t kFtParityEven = 2;
inline constexpr std::uint16_t kFtFlowNone = 0;
inline constexpr std::uint16_t kFtFlowRtsCts = 256;
inline constexpr std::uint16_t kFtFlowXonXoff = 1024;
inline constexpr std::uint32_t kFtPurgeRx = 1;
inline constexpr std::uint32_t kFtPurgeTx = 2;

FtStatus FtStatusOf(const PortStatus& status);

// Operations a test can make fail.
enum class UsbOperation {
  Open,
  Close,
  GetStatus,
  GetQueueStatus,
  Read,
  Write,
  SetDivisor,
  SetBaudRate,
  SetDataCharacteristics,
  SetFlowControl,
  SetTimeouts,
  SetLatencyTimer,
  SetUsbParameters,
  Purge,
  SetDtr,
  ClrDtr,
};

class UsbDevice {
 public:
  // Without a port of its own the device uses the serial port of this machine.
  explicit UsbDevice(std::unique_ptr<BytePort> port = nullptr);
  void SetPort(std::unique_ptr<BytePort> port);

  // Opens the chip at `path` (what device index 0 stands for) with the
  // driver's power-on settings, 9600 baud, 8 data bits, no parity, 1 stop bit.
  FtStatus Open(const std::string& path, std::uint32_t& handle);
  FtStatus Close(std::uint32_t handle);
  FtStatus GetStatus(std::uint32_t handle, std::uint32_t& rxQueue, std::uint32_t& txQueue,
                     std::uint32_t& eventStatus);
  FtStatus GetQueueStatus(std::uint32_t handle, std::uint32_t& rxQueue);
  // Appends at most `count` bytes, those already received, to `into`.
  FtStatus Read(std::uint32_t handle, std::string& into, std::uint32_t count,
                std::uint32_t& bytesRead);
  FtStatus Write(std::uint32_t handle, std::string_view bytes, std::uint32_t& bytesWritten);
  FtStatus SetDivisor(std::uint32_t handle, std::uint16_t divisor);
  FtStatus SetBaudRate(std::uint32_t handle, std::uint32_t baud);
  FtStatus SetDataCharacteristics(std::uint32_t handle, std::uint8_t wordLength,
                                  std::uint8_t stopBits, std::uint8_t parity);
  FtStatus SetFlowControl(std::uint32_t handle, std::uint16_t mode, std::uint8_t xon,
                          std::uint8_t xoff);
  FtStatus SetTimeouts(std::uint32_t handle, std::uint32_t readMs, std::uint32_t writeMs);
  FtStatus SetLatencyTimer(std::uint32_t handle, std::uint8_t milliseconds);
  FtStatus SetUsbParameters(std::uint32_t handle, std::uint32_t inTransfer,
                            std::uint32_t outTransfer);
  FtStatus Purge(std::uint32_t handle, std::uint32_t mask);
  FtStatus SetDtr(std::uint32_t handle);
  FtStatus ClrDtr(std::uint32_t handle);

  // The operating system's side of the last operation that failed, and the
  // settings it was asked for: what the status log explains.
  const PortStatus& LastFailure() const { return lastFailure_; }
  const SerialSettings& RequestedSettings() const { return requested_; }
  const std::string& Path() const { return path_; }
  BytePort& port() { return *port_; }

  // The next call of `op` returns `status` and does nothing else.
  void InjectFailure(UsbOperation op, FtStatus status) { injected_ = {op, status}; }

 private:
  std::optional<FtStatus> Injected(UsbOperation op);
  FtStatus Checked(std::uint32_t handle) const;
  FtStatus Fail(const PortStatus& status);
  FtStatus Apply(const SerialSettings& settings, FtStatus refusal);

  std::unique_ptr<BytePort> port_;
  std::string path_;
  std::uint32_t openHandle_ = 0;
  std::uint32_t nextHandle_ = 1;
  std::uint32_t writeLimitMs_ = kDefaultWriteLimitMilliseconds;
  SerialSettings requested_;
  PortStatus lastFailure_;
  std::optional<std::pair<UsbOperation, FtStatus>> injected_;
};

}  // namespace torvane

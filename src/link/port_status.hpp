#pragma once
// What a port operation came to: success, or the kind of failure with the
// operating system's error number. Every port operation of the link returns
// one of these; none throws. The kinds are what the USB port layer maps onto
// its status codes and what the status log explains to the user.

#include <string>
#include <string_view>

namespace torvane {

enum class PortErrorKind {
  None,
  NotOpen,           // the port is not open (or was closed under the caller)
  NoDevice,          // no such device at that path, or not a serial device
  PermissionDenied,  // the user may not open the device
  Busy,              // another program holds the port
  BadSettings,       // the port refuses the baud rate, framing or flow control
  NoResources,       // out of memory, file handles or buffer space
  TimedOut,          // the bytes could not be sent in time
  IoError,           // the device failed or went away (unplugged, simulator ended)
};

struct PortStatus {
  PortErrorKind kind = PortErrorKind::None;
  int osError = 0;  // errno, 0 when the failure was not the operating system's

  bool ok() const { return kind == PortErrorKind::None; }
  static PortStatus Ok() { return {}; }
  static PortStatus Failed(PortErrorKind kind, int osError = 0) { return {kind, osError}; }
  // The kind an errno value stands for.
  static PortStatus FromErrno(int error);
};

// One line for the status log: why `path` could not be opened or set up,
// and what the user can do about it. `settingsText` names the settings
// ("500000,N,8,1") for a refused configuration.
std::string PortFailureAdvice(std::string_view path, const PortStatus& status,
                              std::string_view settingsText = {});

}  // namespace torvane

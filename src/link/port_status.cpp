#include "link/port_status.hpp"

#include <cerrno>
#include <cstring>

namespace torvane {

PortStatus PortStatus::FromErrno(int error) {
  switch (error) {
    case 0:
      return Ok();
    case EBADF:
      return Failed(PortErrorKind::NotOpen, error);
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case ENOTTY:
      return Failed(PortErrorKind::NoDevice, error);
    case EACCES:
    case EPERM:
    case EROFS:
      return Failed(PortErrorKind::PermissionDenied, error);
    case EBUSY:
    case EWOULDBLOCK:
      return Failed(PortErrorKind::Busy, error);
    case EINVAL:
      return Failed(PortErrorKind::BadSettings, error);
    case ENOMEM:
    case EMFILE:
    case ENFILE:
    case ENOSPC:
      return Failed(PortErrorKind::NoResources, error);
    case ETIMEDOUT:
      return Failed(PortErrorKind::TimedOut, error);
    default:
      return Failed(PortErrorKind::IoError, error);
  }
}

std::string PortFailureAdvice(std::string_view path, const PortStatus& status,
                              std::string_view settingsText) {
  const std::string where = "Port " + std::string(path.empty() ? "(no path)" : path);
  const std::string reason = status.osError != 0 ? std::strerror(status.osError) : "";
  switch (status.kind) {
    case PortErrorKind::None:
      return {};
    case PortErrorKind::PermissionDenied:
      return where +
             ": permission denied. On Linux the user must be a member of the dialout group "
             "(sudo usermod -a -G dialout $USER), then log out and in again.";
    case PortErrorKind::NoDevice:
      if (status.osError == ENOTTY) {
        return where + ": not a serial device. Check the path in the [Ports] section of " +
               "QLXConfig.ini.";
      }
      return where +
             ": no such device. Check the cable and the path in the [Ports] section of "
             "QLXConfig.ini.";
    case PortErrorKind::Busy:
      return where + ": the port is in use by another program. Close that program and try again.";
    case PortErrorKind::BadSettings:
      return where + ": the port does not accept the settings " +
             std::string(settingsText.empty() ? "asked for" : settingsText) + ".";
    case PortErrorKind::NoResources:
      return where + ": the system is short of resources (" + reason +
             "). Close other programs and try again.";
    case PortErrorKind::TimedOut:
      return where + ": the bytes could not be sent in time. Check the cable and the unit's power.";
    case PortErrorKind::NotOpen:
      return where + ": the port is not open.";
    case PortErrorKind::IoError:
      return where + ": input/output error" + (reason.empty() ? "" : " (" + reason + ")") +
             ". Unplug the unit, wait 10 seconds, plug it back in and try again.";
  }
  return where + ": " + reason;
}

}  // namespace torvane

#pragma once
// Where the units' ports are on this machine, and the status-log line that
// explains why one could not be opened.
//
// Device index 0 of the USB layer is the path under the key "USB" of the
// [Ports] section, else the first tty of the kernel's FTDI driver. Serial
// port n ("COMn") is the path under "COMn" in [Ports], else /dev/ttyS(n-1).

#include <cstdint>
#include <string>
#include <string_view>

#include "config/settings_record.hpp"
#include "link/link_context.hpp"
#include "link/port_status.hpp"

namespace torvane {

std::string UsbDevicePath(const SettingsRecord& settings);
// Empty for a port number below 1.
std::string SerialDevicePath(const SettingsRecord& settings, std::int32_t portNumber);

// Logs the operating system's reason why `path` could not be opened or set
// up, once for each new reason; a later success clears it.
void ReportPortFailure(const LinkContext& ctx, const std::string& path, const PortStatus& status,
                       std::string_view settingsText = {});
void ClearPortFailure(LinkState& link, const std::string& path);

}  // namespace torvane

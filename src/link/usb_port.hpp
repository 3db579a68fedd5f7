#pragma once
// The USB port layer: the only code that talks to the USB-serial chip of
// the ZRA6+ and the ZRA7. It configures the link for the selected model and
// reports how an open or close went as a PortResult, whose text (Text) is
// what callers show or keep. No operation waits for the unit to answer.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/link_context.hpp"
#include "link/link_result.hpp"
#include "link/usb_device.hpp"

namespace torvane {

// Opens and configures the port: Open also when the handle is still live,
// otherwise the step that failed.
PortResult OpenUsbPort(const LinkContext& ctx);
// Closed, or CloseFailed (the open flag then stays).
PortResult CloseUsbPort(const LinkContext& ctx);
// Sends the command's bytes (at most 256, every byte value included).
// kFtOk on success; on failure the device's status code (UsbStatusText
// gives its message), and the device closed.
FtStatus UsbWrite(const LinkContext& ctx, std::string_view command);
// What is waiting: for the ZRA7 the 4096-character receive area (the bytes
// followed by blanks), for the ZRA6+ exactly the bytes; empty when nothing
// waits or on any failure.
std::string UsbRead(const LinkContext& ctx);
// Discards what is waiting in both directions and blanks both buffers.
void UsbPurge(const LinkContext& ctx);
std::string UsbStatusText(std::uint32_t status);
// Open, change DTR, close: the port is closed afterwards.
void UsbRaiseDtr(const LinkContext& ctx);
void UsbLowerDtr(const LinkContext& ctx);
// Closes the port and keeps the close's text as the link's last message.
PortResult CloseUsbPortAtExit(const LinkContext& ctx);

}  // namespace torvane

#pragma once
// The USB port layer: the only code that talks to the USB-serial chip of
// the ZRA6+ and the ZRA7. It configures the link for the selected model and
// reports every failure as a message text; callers compare the open result
// with "USB Port is open.". No operation waits for the unit to answer.

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

struct Session;

inline constexpr std::string_view kUsbPortIsOpen = "USB Port is open.";
inline constexpr std::string_view kUsbPortIsClosed = "USB Port is closed.";
inline constexpr std::string_view kUsbPortFailure = "USB Port failure.";

// Opens and configures the port; "USB Port is open." also when the handle
// is still live, otherwise the failing step's text.
std::string OpenUsbPort(Session& session);
// "USB Port is closed.", or "USB Port failure." (the open flag then stays).
std::string CloseUsbPort(Session& session);
// Sends the command's bytes (at most 256, every byte value included).
// Empty text on success; on failure the status text, and the device closed.
std::string UsbWrite(Session& session, std::string_view command);
// What is waiting: for the ZRA7 the 4096-character receive area (the bytes
// followed by blanks), for the ZRA6+ exactly the bytes; empty when nothing
// waits or on any failure.
std::string UsbRead(Session& session);
// Discards what is waiting in both directions and blanks both buffers.
void UsbPurge(Session& session);
std::string UsbStatusText(std::uint32_t status);
// Open, change DTR, close: the port is closed afterwards.
void UsbRaiseDtr(Session& session);
void UsbLowerDtr(Session& session);
// Closes the port and keeps the result as the link's last message.
std::string CloseUsbPortAtExit(Session& session);

}  // namespace torvane

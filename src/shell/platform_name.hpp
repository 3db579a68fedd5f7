#pragma once
// The name of the operating system the program runs on, and whether it is
// modern enough for spreadsheet output (every platform this program builds
// on is).

#include <string>
#include <string_view>

namespace torvane {

struct Session;

// The platform's name: PRETTY_NAME of os-release, else the kernel's name and
// release, else "Failed".
std::string GetWindowsVersionName();
// The same from the texts of os-release and of uname (system name, release).
std::string PlatformName(std::string_view osRelease, std::string_view kernelName,
                         std::string_view kernelRelease);
// The operating system as start-up logs it: the distribution's name and
// version from os-release (PRETTY_NAME, else NAME) and the kernel's name and
// release from uname ("Debian GNU/Linux 12 (bookworm), kernel Linux 6.1.0").
std::string OperatingSystemText(std::string_view osRelease, std::string_view kernelName,
                                std::string_view kernelRelease);
// The same for this machine.
std::string OperatingSystemText();
// False only for the old consumer family ("Windows 95", "Windows 98",
// "Windows Millennium"); an empty name counts as modern.
bool IsModernPlatform(std::string_view name);
// Sets ModernWindows from the platform's name; returns the name.
std::string DetectWindowsFamily(Session& session);

}  // namespace torvane

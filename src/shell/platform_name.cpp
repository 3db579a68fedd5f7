#include "shell/platform_name.hpp"

#include <sys/utsname.h>

#include "common/text_file.hpp"
#include "shell/session.hpp"

namespace torvane {

namespace {

// The value of one os-release key, its quotes removed.
std::string OsReleaseValue(std::string_view text, std::string_view key) {
  for (std::string_view line : SplitLines(text)) {
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=')
      continue;
    std::string_view value = line.substr(key.size() + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return {};
}

}  // namespace

std::string PlatformName(std::string_view osRelease, std::string_view kernelName,
                         std::string_view kernelRelease) {
  std::string name = OsReleaseValue(osRelease, "PRETTY_NAME");
  if (name.empty()) name = OsReleaseValue(osRelease, "NAME");
  if (!name.empty()) return name;
  if (!kernelName.empty()) {
    std::string kernel(kernelName);
    if (!kernelRelease.empty()) kernel += " " + std::string(kernelRelease);
    return kernel;
  }
  return "Failed";
}

std::string OperatingSystemText(std::string_view osRelease, std::string_view kernelName,
                                std::string_view kernelRelease) {
  std::string name = OsReleaseValue(osRelease, "PRETTY_NAME");
  if (name.empty()) name = OsReleaseValue(osRelease, "NAME");
  std::string kernel(kernelName);
  if (!kernel.empty() && !kernelRelease.empty()) kernel += " " + std::string(kernelRelease);
  if (name.empty() && kernel.empty()) return "an operating system that does not name itself";
  if (kernel.empty()) return name;
  if (name.empty()) return "kernel " + kernel;
  return name + ", kernel " + kernel;
}

namespace {

// This machine's os-release text and uname fields.
struct MachineNames {
  std::string osRelease, kernelName, kernelRelease;
};

MachineNames ThisMachine() {
  FileReadResult osRelease = ReadWholeFile("/etc/os-release", 64 * 1024);
  if (!osRelease.ok) osRelease = ReadWholeFile("/usr/lib/os-release", 64 * 1024);
  struct utsname uts {};
  const bool haveUname = ::uname(&uts) == 0;
  return {osRelease.ok ? osRelease.bytes : std::string(), haveUname ? uts.sysname : "",
          haveUname ? uts.release : ""};
}

}  // namespace

std::string OperatingSystemText() {
  const MachineNames m = ThisMachine();
  return OperatingSystemText(m.osRelease, m.kernelName, m.kernelRelease);
}

std::string GetWindowsVersionName() {
  const MachineNames m = ThisMachine();
  return PlatformName(m.osRelease, m.kernelName, m.kernelRelease);
}

bool IsModernPlatform(std::string_view name) {
  return name != "Windows 95" && name != "Windows 98" && name != "Windows Millennium";
}

std::string DetectWindowsFamily(Session& session) {
  std::string name = GetWindowsVersionName();
  session.ModernWindows = IsModernPlatform(name);
  return name;
}

}  // namespace torvane

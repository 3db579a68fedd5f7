#include "link/port_access.hpp"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace torvane {

namespace {

// The ttys the kernel's FTDI driver has made, lowest number first.
std::vector<std::string> FtdiTtys() {
  std::vector<std::pair<int, std::string>> found;
  std::error_code ec;
  const std::filesystem::path driver = "/sys/bus/usb-serial/drivers/ftdi_sio";
  for (std::filesystem::directory_iterator it(driver, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind("ttyUSB", 0) != 0) continue;
    int number = 0;
    for (char c : name.substr(6)) {
      if (c < '0' || c > '9') {
        number = -1;
        break;
      }
      number = number * 10 + (c - '0');
    }
    if (number >= 0) found.emplace_back(number, "/dev/" + name);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> paths;
  for (auto& [n, path] : found) paths.push_back(path);
  return paths;
}

}  // namespace

std::string UsbDevicePath(const SettingsRecord& settings) {
  if (auto it = settings.ports.find("USB"); it != settings.ports.end() && !it->second.empty()) {
    return it->second;
  }
  const std::vector<std::string> ttys = FtdiTtys();
  return ttys.empty() ? std::string("/dev/ttyUSB0") : ttys.front();
}

std::string SerialDevicePath(const SettingsRecord& settings, std::int32_t portNumber) {
  if (portNumber < 1) return {};
  const std::string name = "COM" + std::to_string(portNumber);
  if (auto it = settings.ports.find(name); it != settings.ports.end() && !it->second.empty()) {
    return it->second;
  }
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

void ReportPortFailure(const LinkContext& ctx, const std::string& path, const PortStatus& status,
                       std::string_view settingsText) {
  if (status.ok()) return;
  const std::string advice = PortFailureAdvice(path, status, settingsText);
  std::string& last = ctx.link.reportedPortFailures[path];
  if (last == advice) return;
  last = advice;
  ctx.status.AddStatusMessage(advice);
}

void ClearPortFailure(LinkState& link, const std::string& path) {
  link.reportedPortFailures.erase(path);
}

}  // namespace torvane

#include "cli/unit_link.hpp"

#include <filesystem>

#include "config/data_folders.hpp"

namespace torvane::cli {

std::optional<UnitChoice> ParseUnitChoice(std::string_view name, bool acceptAccelerometer) {
  if (name == "zra6") return UnitChoice::Zra6;
  if (name == "zra6plus") return UnitChoice::Zra6Plus;
  if (name == "zra7") return UnitChoice::Zra7;
  if (acceptAccelerometer && name == "accel") return UnitChoice::Accelerometer;
  return std::nullopt;
}

std::string ConfigurationFile(const std::string& given) {
  if (!given.empty()) return given;
  for (const std::string& folder : DataFolderCandidates()) {
    if (folder.empty()) continue;
    const std::string path = folder + "/" + kConfigFileName;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}

void SelectUnit(SettingsRecord& s, UnitChoice unit, const std::string& port) {
  s.ProgramDataDirectory.clear();
  s.ZRA6Input = unit == UnitChoice::Zra6;
  s.ZRA6PlusInput = unit == UnitChoice::Zra6Plus;
  s.ZRA7Input = unit == UnitChoice::Zra7;
  s.AccelInput = unit == UnitChoice::Accelerometer;
  if (unit == UnitChoice::Zra6) {
    if (s.comportnum < 1) s.comportnum = 1;
    s.ports["COM" + std::to_string(s.comportnum)] = port;
  } else if (unit == UnitChoice::Accelerometer) {
    if (s.accelcomportnum < 1) s.accelcomportnum = 1;
    s.ports["COM" + std::to_string(s.accelcomportnum)] = port;
  } else {
    s.ports["USB"] = port;
  }
}

}  // namespace torvane::cli

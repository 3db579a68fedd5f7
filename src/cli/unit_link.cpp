#include "cli/unit_link.hpp"

#include "cli/analyse_options.hpp"

#include <filesystem>
#include <ostream>

#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "config/settings_io.hpp"
#include "config/settings_keys.hpp"

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

std::string LoadUnitCommandSettings(
    SettingsRecord& s, const std::string& config,
    const std::vector<std::pair<std::string, std::string>>& overrides, std::string_view command,
    std::ostream& err) {
  std::error_code ec;
  if (!config.empty() && !std::filesystem::is_regular_file(config, ec)) {
    return "cannot read the configuration file " + config;
  }
  LoadSettingsReadOnly(s, ConfigurationFile(config), "");
  for (const auto& [key, value] : overrides) {
    if (!SetSettingFromText(s, key, value)) return "unknown setting '" + key + "'";
    if (const std::string problem = SettingValueProblem(*FindSettingKey(key), value);
        !problem.empty()) {
      return OneLineText("--set " + key + "=" + value + ": " + problem);
    }
  }
  if (!config.empty() && !HoldsSettingKeys(config)) {
    const FileReadResult file = ReadWholeFile(config, std::size_t{16} << 20);
    if (file.ok && file.bytes.find_first_not_of(" \t\r\n") != std::string::npos) {
      err << "torvane-cli " << command << ": warning: "
          << OneLineText("the configuration file \"" + config +
                         "\" holds none of the settings keys: the defaults are used")
          << "\n";
    }
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

std::optional<std::string> TakeUnitLinkOption(const std::string& option, const std::string& value,
                                              bool acceptAccelerometer, UnitLinkOptions& o) {
  if (option == "--model") {
    const auto unit = ParseUnitChoice(value, acceptAccelerometer);
    if (!unit) return "unknown model '" + value + "'";
    o.unit = *unit;
    o.modelGiven = true;
  } else if (option == "--port") {
    o.port = value;
  } else if (option == "--frequency") {
    double d = 0;
    if (!ReadNumberArgument(value, d) || !(d >= 4) || d > 10000 || d != static_cast<int>(d)) {
      return "bad value for " + option + ": '" + value + "'";
    }
    o.frequency = d;
  } else if (option == "--config") {
    o.config = value;
  } else if (option == "--set") {
    const std::size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) return std::string("--set needs KEY=VALUE");
    o.overrides.emplace_back(value.substr(0, eq), value.substr(eq + 1));
  } else {
    return std::nullopt;
  }
  return std::string();
}

std::string MissingUnitLinkOption(const UnitLinkOptions& o) {
  if (!o.modelGiven) return "--model is required";
  if (o.port.empty()) return "--port is required";
  return {};
}

}  // namespace torvane::cli

#include "config/data_folders.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/paths.hpp"
#include "common/text_file.hpp"
#include "config/settings_record.hpp"
#include "torvane_version.hpp"

namespace torvane {

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool HoldsConfig(const std::string& folder) {
  return FileExists(JoinPath(folder, kConfigFileName));
}

// The folder looked in, for the status log.
std::string NotFoundText(const std::string& folder) {
  if (folder.empty()) return std::string("No data folder to look in (HOME is not set)");
  return std::string("No ") + kConfigFileName + " in " + folder;
}

}  // namespace

std::vector<std::string> DataFolderCandidates() {
  const std::string home = Env("HOME");
  std::string first = Env("TORVANE_DATA_DIR");
  if (first.empty() && !home.empty()) first = home + "/Documents/" + kDataFolderName;
  std::string xdg = Env("XDG_DATA_HOME");
  if (xdg.empty() && !home.empty()) xdg = home + "/.local/share";
  std::string second = xdg.empty() ? std::string() : xdg + "/" + kDataFolderName;
  return {first, second};
}

std::string DataTemplateFolder() {
  const std::string fromEnv = Env("TORVANE_TEMPLATE_DIR");
  if (!fromEnv.empty()) return fromEnv;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path dir = exe.parent_path();
    for (const fs::path& candidate :
         {dir / "../share/torvane/data", dir / "data", dir / "../data", dir / "../../data"}) {
      if (fs::is_directory(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
    }
  }
  return kSourceDataTemplateDir;
}

std::string CopyTemplateFolder(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (!MakeFolders(to)) return "cannot create " + to;
  if (!fs::is_directory(from, ec)) return {};  // nothing to copy
  for (auto it = fs::recursive_directory_iterator(from, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path rel = fs::relative(it->path(), from, ec);
    if (ec) break;
    const fs::path target = fs::path(to) / rel;
    if (it->is_directory(ec)) {
      fs::create_directories(target, ec);
    } else if (!fs::exists(target, ec)) {
      fs::copy_file(it->path(), target, ec);
    }
    if (ec) return "cannot copy " + it->path().string() + ": " + ec.message();
  }
  return ec ? ec.message() : std::string();
}

bool FindDataFolders(const ConfigContext& context) {
  SettingsRecord& s = context.settings;
  StatusSink& status = context.status;
  const std::vector<std::string> candidates = DataFolderCandidates();
  s.ProgramDataDirectory = candidates[0];
  if (!HoldsConfig(s.ProgramDataDirectory)) {
    status.AddStatusMessage(NotFoundText(s.ProgramDataDirectory));
    s.ProgramDataDirectory = candidates[1];
    if (!HoldsConfig(s.ProgramDataDirectory)) {
      status.AddStatusMessage(NotFoundText(s.ProgramDataDirectory));
      // A first run on this machine: lay out the data folder from the sample
      // files; the configuration file is written from the defaults later.
      const std::string created = candidates[0];
      const std::string failure = created.empty()
                                      ? std::string("no home folder")
                                      : CopyTemplateFolder(DataTemplateFolder(), created);
      if (!failure.empty() || !FolderExists(created)) {
        context.dialogs.ShowMessage(
            MessageIcon::None, "",
            JoinPath(created.empty() ? "~" : created, kConfigFileName) + " not found");
        return false;
      }
      s.ProgramDataDirectory = created;
      context.dataFolderCreated = true;
    }
  }
  s.ConfigFilePath = JoinPath(s.ProgramDataDirectory, kConfigFileName);
  s.DataDirectory = s.ProgramDataDirectory;
  if (context.dataFolderCreated) {
    status.AddStatusMessage("Program data folder created from the sample files: " +
                            s.ProgramDataDirectory);
  }
  status.AddStatusMessage("Program data folder: " + s.ProgramDataDirectory);
  status.AddStatusMessage("Data folder: " + s.DataDirectory);
  if (FileExists(s.ConfigFilePath)) {
    status.AddStatusMessage("Configuration file found: " + FileNameOf(s.ConfigFilePath));
  } else {
    status.AddStatusMessage("Configuration file has NOT been found at " + s.ConfigFilePath);
  }
  return true;
}

}  // namespace torvane

#include "shell/help_pages.hpp"

#include "common/text_file.hpp"
#include "config/data_folders.hpp"
#include "common/paths.hpp"
#include "shell/session.hpp"

namespace torvane {

std::string HelpPagePath(const Session& session, std::string_view relativePath) {
  for (const std::string& folder : {DataTemplateFolder(), session.settings.ProgramDataDirectory}) {
    const std::string path = JoinPath(folder, relativePath);
    if (FileExists(path)) return path;
  }
  return {};
}

}  // namespace torvane

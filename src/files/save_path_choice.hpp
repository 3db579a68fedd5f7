#pragma once
// The save dialog with its overwrite question: Yes takes the name, No shows
// the dialog again, Cancel (or an empty answer) ends the command.

#include <optional>
#include <string>
#include <string_view>

#include "common/user_dialogs.hpp"

namespace torvane {

std::optional<std::string> ChooseSavePath(UserDialogs& dialogs, const FileDialogRequest& request,
                                          std::string_view overwriteTitle);

}  // namespace torvane

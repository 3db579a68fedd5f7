#include "files/save_path_choice.hpp"

#include "common/text_file.hpp"

namespace torvane {

std::optional<std::string> ChooseSavePath(UserDialogs& dialogs, const FileDialogRequest& request,
                                          std::string_view overwriteTitle) {
  for (;;) {
    std::optional<std::string> chosen = dialogs.ChooseFileToSave(request);
    if (!chosen || chosen->empty()) return std::nullopt;
    if (!FileExists(*chosen)) return chosen;
    const DialogAnswer answer =
        dialogs.Ask(MessageIcon::None, MessageButtons::YesNoCancel, overwriteTitle,
                    "File already exists. Do you want to overwrite?");
    if (answer == DialogAnswer::Yes) return chosen;
    if (answer != DialogAnswer::No) return std::nullopt;
  }
}

}  // namespace torvane

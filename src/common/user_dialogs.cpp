#include "common/user_dialogs.hpp"

namespace torvane {

void ScriptedDialogs::ShowMessage(MessageIcon icon, std::string_view title, std::string_view text) {
  shown.push_back({icon, MessageButtons::Ok, std::string(title), std::string(text)});
}

DialogAnswer ScriptedDialogs::Ask(MessageIcon icon, MessageButtons buttons, std::string_view title,
                                  std::string_view text) {
  shown.push_back({icon, buttons, std::string(title), std::string(text)});
  if (!answers.empty()) {
    const DialogAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  switch (buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
      return DialogAnswer::Yes;
    case MessageButtons::RetryCancel:
      return DialogAnswer::Retry;
    default:
      return DialogAnswer::Ok;
  }
}

std::optional<std::string> ScriptedDialogs::ChooseFileToOpen(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (paths.empty()) return std::nullopt;
  auto p = paths.front();
  paths.pop_front();
  return p;
}

std::optional<std::string> ScriptedDialogs::ChooseFileToSave(const FileDialogRequest& request) {
  return ChooseFileToOpen(request);
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(std::string_view title,
                                                         std::string_view initialFolder) {
  return ChooseFileToOpen({std::string(title), {}, std::string(initialFolder), {}});
}

}  // namespace torvane
